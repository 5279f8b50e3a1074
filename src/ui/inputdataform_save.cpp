#include <QByteArray>
#include <QFile>
#include <QLineEdit>
#include <optional>
#include <string>
#include <string_view>

#include "app/folders.h"
#include "io/atomicfile.h"
#include "io/messages.h"
#include "io/profiledat.h"
#include "io/soundingdat.h"
#include "io/textfile.h"
#include "io/vesfile.h"
#include "ui/gbkqt.h"
#include "ui/inputdataform.h"

// Saving. Every writer works on copies of Stations, so the window holds the same stations,
// rows, order and CurrentIndex after a save as before it, whichever way the save ends. Every
// file is written whole into a temporary file beside the target and renamed over it only when
// complete: a failed save leaves an existing file byte for byte as it was. Nothing here
// processes window events; only the modal dialogs run their own loops.

namespace {

const QString kWarningCaption = QStringLiteral("警告");
const QString kSaveCaption = QStringLiteral("保存文件");
const QString kFourPoleDialogTitle = QStringLiteral("选择保存数据的目录...");
const QString kAppendUnreadable = QStringLiteral("数据文件无法完整读取，文件未作改动，新数据没有保存。");
const QString kAppendDropsRecords = QStringLiteral(
    "数据文件中有 %1 条记录不符合测深数据要求(|N|>10000、视电阻率≤0 或 AB/2<0.1)，"
    "追加保存后文件中将不再有这些记录。\n\n是否继续保存?");
const QString kCombinedNameRule = QStringLiteral("联合剖面数据文件名必须是测线号(整数)，例如 12.dat。");
constexpr int kDatFilterItem = 2;  // "DZD测深数据文件(*.dat)"

// File names travel as Qt text in the window and as the system's encoding on disk.
std::string DiskPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString ShownPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

void ShowNotice(TInputDataForm& form, const Notice& notice) {
  form.dialogs().message(notice.ownerless ? nullptr : &form, kWarningCaption, QString::fromUtf8(notice.text),
                         notice.icon == Notice::Icon::Error ? Dialogs::Icon::Error : Dialogs::Icon::Warning,
                         Dialogs::Buttons::Ok);
}

// Writes the whole file or, on failure, shows failureText (with the system's reason) and
// leaves any existing file as it was.
bool WriteWholeFile(TInputDataForm& form, const std::string& path, std::string_view bytes, const QString& failureText) {
  std::string error;
  if (SaveFileAtomically(path, bytes, error)) return true;
  form.dialogs().message(&form, kWarningCaption, failureText, Dialogs::Icon::Warning, Dialogs::Buttons::Ok,
                         QString::fromLocal8Bit(error.data(), static_cast<qsizetype>(error.size())));
  return false;
}

// The empty-list refusal of the sounding writers; true when the list is empty.
bool RefuseEmptyList(TInputDataForm& form) {
  if (!form.Stations.empty()) return false;
  form.dialogs().message(&form, kSaveCaption, QString::fromUtf8(msg::kNoDataToSave), Dialogs::Icon::None,
                         Dialogs::Buttons::Ok);
  return true;
}

enum class Opening { Write, Append, DialogCancelled, QuestionCancelled };
struct Target {
  Opening how;
  std::string path;
};

// The save dialog, the forced extension and, when the target exists, the append/replace
// question of the sounding writers.
Target ChooseSoundingTarget(TInputDataForm& form, std::string_view extension) {
  if (!form.dialogs().saveFile(&form, form.SaveDialog)) return {Opening::DialogCancelled, {}};
  std::string path = ForceExtension(DiskPath(form.SaveDialog.fileName), extension);
  if (!FileExists(path)) return {Opening::Write, std::move(path)};
  switch (form.dialogs().askAppendOrReplace()) {
    case Dialogs::AppendChoice::Append: return {Opening::Append, std::move(path)};
    case Dialogs::AppendChoice::Replace: return {Opening::Write, std::move(path)};
    case Dialogs::AppendChoice::Cancel: break;
  }
  return {Opening::QuestionCancelled, {}};
}

// Appending rewrites the file with its stations and the new ones, so it goes on only when the
// file was read to its end; otherwise the rewrite would drop what could not be read.
bool ReadCompletely(TInputDataForm& form, ReadStatus status) {
  if (status == ReadStatus::Complete) return true;
  form.dialogs().message(&form, kWarningCaption, kAppendUnreadable, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
  return false;
}

}  // namespace

bool TInputDataForm::SaveBtnClick() {
  SaveDialog.initialDir = QString::fromStdString(DataDir(programPath().toStdString()));
  bool saved = false;
  switch (dataType()) {
    case dtSounding: saved = SaveVesFile(); break;
    case dtWaterFinding: saved = SaveSoundingDat(); break;
    case dtFourPoleProfile: saved = WriteFourPoleProfile(); break;
    default: saved = WriteCombinedProfile(); break;
  }
  // Only a save that wrote everything it set out to write makes the stations saved; after a
  // cancel or a failure closing the window still offers to save them.
  if (saved) Saved = true;
  return saved;
}

bool TInputDataForm::SaveVesFile() {
  if (RefuseEmptyList(*this)) return false;
  const Target target = ChooseSoundingTarget(*this, ".ves");
  if (target.how == Opening::DialogCancelled || target.how == Opening::QuestionCancelled) return false;

  StationList all = Stations;
  if (target.how == Opening::Append) {
    const VesReadResult read = ReadVesFileAt(target.path, [this](const Notice& n) { ShowNotice(*this, n); });
    if (!ReadCompletely(*this, read.status)) return false;
    MergeVesStations(all, read.stations);
  }
  return WriteWholeFile(*this, target.path, BuildVesFile(std::move(all)), QString::fromUtf8(msg::kSaveFailed));
}

bool TInputDataForm::SaveSoundingDat() {
  if (RefuseEmptyList(*this)) return false;
  const int previousFilter = SaveDialog.filterIndex;
  SaveDialog.filterIndex = kDatFilterItem;
  const Target target = ChooseSoundingTarget(*this, ".dat");
  // A cancelled question leaves the .dat item selected; every other way out puts the
  // previous item back.
  if (target.how == Opening::QuestionCancelled) return false;
  SaveDialog.filterIndex = previousFilter;
  if (target.how == Opening::DialogCancelled) return false;

  StationList all = Stations;
  if (target.how == Opening::Append) {
    const DatReadResult read = ReadSoundingDatAt(target.path, [this](const Notice& n) { ShowNotice(*this, n); });
    if (!ReadCompletely(*this, read.status)) return false;
    // Records outside the format's ranges are not taken in, so the rewritten file would lose
    // them: the user decides whether that is acceptable.
    if (read.skippedRecords > 0 &&
        dialogs().message(this, kWarningCaption, kAppendDropsRecords.arg(read.skippedRecords), Dialogs::Icon::Warning,
                          Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
      return false;
    all.insert(all.end(), read.stations.begin(), read.stations.end());
  }
  return WriteWholeFile(*this, target.path, BuildSoundingDatFile(std::move(all)), QString::fromUtf8(msg::kSaveFailed));
}

bool TInputDataForm::WriteCombinedProfile() {
  SaveDialog.fileName = EP->text() + QStringLiteral(".dat");
  if (!dialogs().saveFile(this, SaveDialog)) return false;
  const std::string chosen = DiskPath(SaveDialog.fileName);
  // The file is named after the line number; any other name would not be found by the
  // processing programs, so it is refused with a message instead of being written.
  if (!IsCombinedProfileName(chosen)) {
    dialogs().message(this, kSaveCaption, kCombinedNameRule, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
    return false;
  }
  return WriteWholeFile(*this, ForceExtension(chosen, ".dat"), BuildCombinedProfileFile(Stations),
                        QString::fromUtf8(msg::kSaveFailed));
}

bool TInputDataForm::WriteFourPoleProfile() {
  const QString title = SaveDialog.title;
  SaveDialog.title = kFourPoleDialogTitle;
  SaveDialog.fileName = QStringLiteral("none.dat");
  const bool chosen = dialogs().saveFile(this, SaveDialog);
  SaveDialog.title = title;
  if (!chosen) return false;

  // The chosen name only gives the folder; every line goes to its own file named after it.
  const std::string folder = FolderOf(DiskPath(SaveDialog.fileName));
  const StationList lines = Stations;
  bool all = !lines.empty();
  for (const sdata& line : lines) {
    const std::string path = FourPoleFilePath(folder, DiskPath(FromGbk(line.Name)));
    const QString failure = QStringLiteral("保存文件") + ShownPath(path) +
                            QStringLiteral("\n失败.\n非常抱歉，您的处理结果没有及时保存。");
    if (!WriteWholeFile(*this, path, BuildFourPoleProfileFile(line), failure)) all = false;
  }
  return all;
}
