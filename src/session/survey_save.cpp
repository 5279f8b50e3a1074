// The save command: the writer of the data type, its dialogs and questions, appending to an
// existing sounding file. Every writer works on copies of the stations, so the survey holds
// the same stations, order and current index after a save as before it, whichever way the save
// ends. Every file is written whole into a temporary file beside the target and renamed over it
// only when complete: a failed save leaves an existing file byte for byte as it was.

#include <algorithm>
#include <map>
#include <new>
#include <vector>

#include "io/atomicfile.h"
#include "io/filenames.h"
#include "io/savetransaction.h"
#include "io/fileidentity.h"
#include "io/folders.h"
#include "io/messages.h"
#include "io/profiledat.h"
#include "io/soundingdat.h"
#include "io/textconv.h"
#include "io/textfile.h"
#include "io/vesfile.h"
#include "session/survey.h"
#include "io/templates.h"

namespace {
const char* const kWarningCaption = QT_TRANSLATE_NOOP("core", "警告");
const char* const kSaveCaption = QT_TRANSLATE_NOOP("core", "保存文件");
const char* const kSavingLabel = QT_TRANSLATE_NOOP("core", "正在保存文件…");
const char* const kFolderTitle = QT_TRANSLATE_NOOP("core", "选择保存数据的目录...");
const char* const kAppendUnreadable = QT_TRANSLATE_NOOP("core", "数据文件无法完整读取，文件未作改动，新数据没有保存。");
const char* const kCombinedNameRule = QT_TRANSLATE_NOOP("core", "联合剖面数据文件名必须是测线号(整数)，例如 12.dat。");
const char* const kRenameSharedLine =
    QT_TRANSLATE_NOOP("core", "一个文件只能保存一条测线。请修改测线号后再保存；没有写入任何文件。");
const char* const kOutOfMemory = QT_TRANSLATE_NOOP("core", "内存不足，无法完成保存。数据仍在程序中，文件未作改动。");
constexpr int kDatFilterItem = 2;  // "DZD测深数据文件(*.dat)"
// The one type a combined line is saved as.
const char* const kCombinedFilter = QT_TRANSLATE_NOOP("core", "联合剖面数据文件(*.dat)|*.dat");

std::string DropsRecordsText(std::size_t n) {
  return Fill(tmpl::kDroppedRecords, {std::to_string(n)});
}

std::string ReplaceLineFileText(const std::string& path) {
  return Fill(tmpl::kReplaceLineFile, {path});
}

// One line per pair of lines whose files would be the same, each later line paired with the
// first of its file; "" when every line has a file of its own.
std::string SharedLineFiles(const std::string& folder, const StationList& lines) {
  std::map<std::string, std::vector<std::string>> byFile;
  std::vector<std::string> order;
  for (const sdata& line : lines) {
    std::string path = FourPoleFilePath(folder, ShownText(line.Name));
    auto [it, added] = byFile.try_emplace(path);
    if (added) order.push_back(path);
    it->second.push_back(ShownText(line.Name));
  }
  std::string text;
  for (const std::string& path : order) {
    const std::vector<std::string>& names = byFile[path];
    for (std::size_t i = 1; i < names.size(); ++i) {
      if (!text.empty()) text += "\n";
      text += Fill(tmpl::kLinesShareFile, {names[0], names[i], path});
    }
  }
  return text;
}

enum class Opening { Write, Append, DialogCancelled, QuestionCancelled };
struct Target {
  Opening how;
  std::string path;
};
}  // namespace

Message Survey::noticeMessage(const Notice& notice) {
  Message m = Message::plain(kWarningCaption, notice.text,
                             notice.icon == Notice::Icon::Error ? Message::Icon::Error : Message::Icon::Warning,
                             Message::Buttons::Ok);
  m.owned = !notice.ownerless;
  return m;
}

bool Survey::save() {
  Batch batch(*this);
  saveDialog_.initialDir = saveStartFolder();
  bool done = false;
  switch (spec().save) {
    case SaveFormat::Ves: done = runSave([this] { return saveVes(); }); break;
    case SaveFormat::SoundingDat: done = runSave([this] { return saveSoundingDat(); }); break;
    case SaveFormat::FourPoleLines: done = runSave([this] { return saveFourPoleLines(); }); break;
    case SaveFormat::CombinedLine: done = runSave([this] { return saveCombinedLine(); }); break;
  }
  // Only a save that wrote everything it set out to write makes the stations saved; after a
  // cancel or a failure, closing still offers to save them.
  if (done) {
    // The save is no step of the history: the position reached by the operation running
    // (this one, or the one that asked to save first) becomes the saved one.
    cleanAfterStep_ = true;
    touch(change::kHistory);
  }
  if (done && !saved_) {
    saved_ = true;
    touch(change::kSaved);
  }
  return done;
}

bool Survey::saveAs() {
  Batch batch(*this);
  const std::string keptName = saveDialog_.fileName;
  const bool keptReplace = replaceProposed_;
  saveDialog_.fileName.clear();
  replaceProposed_ = false;
  const bool done = save();
  if (!done) {
    // Not saved: the survey still belongs to the file it was linked to, and the next save
    // proposes it as before.
    saveDialog_.fileName = keptName;
    replaceProposed_ = keptReplace;
  }
  return done;
}

bool Survey::runSave(const std::function<bool()>& flow) {
  try {
    return flow();
  } catch (const std::bad_alloc&) {
    ask(Message::plain(kWarningCaption, kOutOfMemory, Message::Icon::Warning, Message::Buttons::Ok));
  } catch (const std::exception& e) {
    ask(Message::error(e.what()));
  }
  return false;
}

bool Survey::readCompletely(ReadStatus status) {
  if (status == ReadStatus::Complete) return true;
  const std::string reason = ReadStatusMessage(status, kMaxReadBytes);
  ask(Message::plain(kWarningCaption, status == ReadStatus::OutOfMemory ? reason : std::string(kAppendUnreadable),
                     Message::Icon::Warning, Message::Buttons::Ok));
  return false;
}

bool Survey::appendLocked(const std::string& path,
                          const std::function<std::optional<std::string>(const std::string& bytes)>& merge) {
  // The lock is held from reading the file to the rename, so another save of this program
  // waits; a change by another program in between is read and merged again.
  SaveTransaction tx(path);
  SaveTransaction::UpdateResult result = SaveTransaction::UpdateResult::Failed;
  // Read, merged and written off the window's thread. Cancelled before the rename, nothing is
  // written and the stations stay unsaved; the rename itself is not interrupted.
  runWork(kSavingLabel, [&](const WorkControl& control) {
    result = tx.update([&](const std::string& bytes, bool exists) -> std::optional<std::string> {
      if (control.cancelled()) return std::nullopt;
      std::optional<std::string> merged = merge(exists ? bytes : std::string());
      if (control.cancelled()) return std::nullopt;
      return merged;
    });
  });
  if (result != SaveTransaction::UpdateResult::Failed) return result == SaveTransaction::UpdateResult::Saved;
  const FileProblem& problem = tx.problem();
  // A file that could not be read or written keeps the save's usual texts; what only a shared
  // or changing file gives (busy, changed by another program, a planted link, no memory) says so.
  std::string text = msg::kSaveFailed;
  switch (problem.fault) {
    case FileFault::NotRegularFile:
    case FileFault::TooLarge: text = kAppendUnreadable; break;
    case FileFault::Busy:
    case FileFault::Changed:
    case FileFault::UntrustedLink:
    case FileFault::OutOfMemory: text = problem.message; break;
    default: break;
  }
  Message m = Message::plain(kWarningCaption, text, Message::Icon::Warning, Message::Buttons::Ok);
  m.details = DescribeProblem(problem);
  ask(m);
  return false;
}

Survey::WriteOutcome Survey::writeWholeFile(const std::string& path, const std::function<std::string()>& build,
                                            const std::string& failureText) {
  std::string error;
  bool written = false;
  bool cancelled = false;
  runWork(kSavingLabel, [&](const WorkControl& control) {
    const std::string bytes = build();
    cancelled = control.cancelled();
    if (!cancelled) written = SaveFileAtomically(path, bytes, error);
  });
  if (written) return WriteOutcome::Written;
  if (cancelled) return WriteOutcome::Cancelled;
  Message m = Message::plain(kWarningCaption, failureText, Message::Icon::Warning, Message::Buttons::Ok);
  m.details = error;
  ask(m);
  return WriteOutcome::Failed;
}

namespace {
// The empty-list refusal of the sounding writers; true when the list is empty.
bool RefuseEmptyList(const StationList& stations, const std::function<Answer(const Message&)>& ask) {
  if (!stations.empty()) return false;
  ask(Message::plain(kSaveCaption, msg::kNoDataToSave, Message::Icon::None, Message::Buttons::Ok));
  return true;
}

// The save dialog, the forced extension and, when the target exists, the append/replace
// question of the sounding writers; it proposes Replace when the target is replaceable (the
// file the survey holds whole; "" for none).
Target ChooseSoundingTarget(Questions& questions, SaveDialog& dialog, std::string_view extension,
                            const std::string& replaceable) {
  if (!questions.chooseSaveFile(dialog)) return {Opening::DialogCancelled, {}};
  std::string path = ForceExtension(dialog.fileName, extension);
  if (!FileExists(path)) return {Opening::Write, std::move(path)};
  dialog.proposedChoice =
      !replaceable.empty() && SameFile(path, replaceable) ? AppendChoice::Replace : AppendChoice::Append;
  switch (questions.askAppendOrReplace()) {
    case AppendChoice::Append: return {Opening::Append, std::move(path)};
    case AppendChoice::Replace: return {Opening::Write, std::move(path)};
    case AppendChoice::Cancel: break;
  }
  return {Opening::QuestionCancelled, {}};
}
}  // namespace

bool Survey::saveVes() {
  auto asker = [this](const Message& m) { return ask(m); };
  if (RefuseEmptyList(stations_, asker)) return false;
  flush();
  const Target target = ChooseSoundingTarget(questions_, saveDialog_, ".ves", replaceableFile());
  if (target.how == Opening::DialogCancelled || target.how == Opening::QuestionCancelled) return false;

  if (target.how == Opening::Append) {
    // The work has a copy of the stations of its own: the window's thread goes on meanwhile.
    const bool appended = appendLocked(target.path, [this, mine = stations_](const std::string& bytes) -> std::optional<std::string> {
      const VesReadResult read = ReadVesFile(bytes, [this](const Notice& n) { ask(noticeMessage(n)); });
      // Appending rewrites the file with its stations and the new ones, so it goes on only when
      // the file was read to its end; otherwise the rewrite would drop what could not be read.
      if (!readCompletely(read.status)) return std::nullopt;
      StationList all = mine;
      MergeVesStations(all, read.stations);
      if (!mayWriteManyRows(all)) return std::nullopt;
      return BuildVesFile(std::move(all));
    });
    if (!appended) return false;
  } else if (!mayWriteManyRows(stations_) ||
             writeWholeFile(target.path, [mine = stations_] { return BuildVesFile(mine); }, msg::kSaveFailed) !=
                 WriteOutcome::Written) {
    return false;
  }
  rememberSavedFile(target.path, target.how == Opening::Write);
  return true;
}

bool Survey::mayWriteManyRows(const StationList& stations) {
  // Other programs that read .ves files may stop at 200 rows of a station; such a station is
  // written only when the user says so. Named in file order (x order), as the file will have them.
  std::vector<const sdata*> many;
  for (const sdata& s : stations)
    if (s.Columns[colAB2].size() > static_cast<std::size_t>(kMaxVesRows)) many.push_back(&s);
  if (many.empty()) return true;
  std::stable_sort(many.begin(), many.end(), [](const sdata* a, const sdata* b) { return a->X < b->X; });
  std::string names;
  for (const sdata* s : many) names += (names.empty() ? "“" : "、“") + ShownText(s->Name) + "”";
  return ask(Message::plain(kWarningCaption, Fill(tmpl::kManyRowsQuestion, {names}), Message::Icon::Warning,
                            Message::Buttons::YesNo)) == Answer::Yes;
}

bool Survey::saveSoundingDat() {
  auto asker = [this](const Message& m) { return ask(m); };
  if (RefuseEmptyList(stations_, asker)) return false;
  flush();
  const int previousFilter = saveDialog_.filterIndex;
  saveDialog_.filterIndex = kDatFilterItem;
  const Target target = ChooseSoundingTarget(questions_, saveDialog_, ".dat", replaceableFile());
  // A cancelled question leaves the .dat item selected; every other way out puts the previous
  // item back.
  if (target.how == Opening::QuestionCancelled) return false;
  saveDialog_.filterIndex = previousFilter;
  if (target.how == Opening::DialogCancelled) return false;

  if (target.how == Opening::Append) {
    const bool appended = appendLocked(target.path, [this, mine = stations_](const std::string& bytes) -> std::optional<std::string> {
      const DatReadResult read = ReadSoundingDat(bytes, [this](const Notice& n) { ask(noticeMessage(n)); });
      if (!readCompletely(read.status)) return std::nullopt;
      // Records outside the format's ranges are not taken in, so the rewritten file would lose
      // them: the user decides whether that is acceptable.
      if (read.skippedRecords > 0 &&
          ask(Message::plain(kWarningCaption, DropsRecordsText(read.skippedRecords), Message::Icon::Warning,
                             Message::Buttons::YesNo)) != Answer::Yes)
        return std::nullopt;
      StationList all = mine;
      all.insert(all.end(), read.stations.begin(), read.stations.end());
      return BuildSoundingDatFile(std::move(all));
    });
    if (!appended) return false;
  } else if (writeWholeFile(target.path, [mine = stations_] { return BuildSoundingDatFile(mine); }, msg::kSaveFailed) !=
             WriteOutcome::Written) {
    return false;
  }
  rememberSavedFile(target.path, target.how == Opening::Write);
  return true;
}

bool Survey::saveCombinedLine() {
  // The line's file once it is known (opened or written); else named after the line number (剖面
  //编号, or the number the branches were typed with), in the one type a combined line has.
  SaveDialog dialog = saveDialog_;
  dialog.filter = kCombinedFilter;
  dialog.filterIndex = 1;
  dialog.fileName = replaceableFile();
  if (dialog.fileName.empty()) {
    std::vector<std::string> numbers = {form_.field(Field::EP)};
    for (const sdata& s : stations_) numbers.push_back(ShownText(s.Profile));
    for (const std::string& text : numbers) {
      std::int32_t line = 0;
      if (TryStrToInt(text, line)) {
        dialog.fileName = std::to_string(line) + ".dat";
        break;
      }
    }
  }
  flush();
  if (!questions_.chooseSaveFile(dialog)) return false;
  saveDialog_.fileName = dialog.fileName;
  const std::string chosen = dialog.fileName;
  // The file is named after the line number; any other name would not be found by the
  // processing programs, so it is refused with a message instead of being written.
  if (!IsCombinedProfileName(chosen)) {
    ask(Message::plain(kSaveCaption, kCombinedNameRule, Message::Icon::Warning, Message::Buttons::Ok));
    return false;
  }
  const std::string path = ForceExtension(chosen, ".dat");
  // Another line's file of the same number is never replaced without asking.
  if (FileExists(path) &&
      ask(Message::plain(kWarningCaption, ReplaceLineFileText(path), Message::Icon::Question,
                         Message::Buttons::ReplaceSkipCancel)) != Answer::Replace)
    return false;
  if (writeWholeFile(path, [mine = stations_] { return BuildCombinedProfileFile(mine); }, msg::kSaveFailed) !=
      WriteOutcome::Written)
    return false;
  rememberSavedFile(path, true);
  return true;
}

bool Survey::saveFourPoleLines() {
  flush();
  const std::optional<std::string> folder = questions_.chooseFolder(kFolderTitle, saveDialog_.initialDir);
  if (!folder) return false;

  // Every line goes to its own file in the chosen folder, named after it.
  const StationList lines = stations_;
  bool all = !lines.empty();
  setLastFolder(type_, *folder);
  // A line name that makes no file name of its own (empty, hidden, "." or "..", too long) is
  // refused before any file is written.
  for (const sdata& line : lines) {
    const FileNameFault fault = CheckFileNameOf(FourPoleFilePath(*folder, ShownText(line.Name)));
    if (fault != FileNameFault::None) {
      ask(Message::plain(kWarningCaption, Fill(tmpl::kLineNameFault, {ShownText(line.Name), FileNameFaultMessage(fault)}),
                         Message::Icon::Warning, Message::Buttons::Ok));
      return false;
    }
  }
  // Two lines whose names make the same file name ("1.5" and "1.7" both make 1.dat) would
  // leave only the later one in the file: the save is refused before anything is written, so
  // that the user can rename a line.
  if (const std::string clash = SharedLineFiles(*folder, lines); !clash.empty()) {
    ask(Message::plain(kWarningCaption, clash + "\n\n" + kRenameSharedLine, Message::Icon::Warning, Message::Buttons::Ok));
    return false;
  }
  for (const sdata& line : lines) {
    const std::string path = FourPoleFilePath(*folder, ShownText(line.Name));
    if (FileExists(path)) {
      const Answer a = ask(Message::plain(kWarningCaption, ReplaceLineFileText(path), Message::Icon::Question,
                                          Message::Buttons::ReplaceSkipCancel));
      if (a == Answer::Skip) {
        all = false;
        continue;
      }
      if (a != Answer::Replace) return false;
    }
    const std::string failure = Fill(tmpl::kSaveFileFailed, {path});
    const WriteOutcome written = writeWholeFile(path, [&line] { return BuildFourPoleProfileFile(line); }, failure);
    // Cancelled in the progress dialog: no further line is written.
    if (written == WriteOutcome::Cancelled) return false;
    if (written == WriteOutcome::Failed) all = false;
  }
  return all;
}
