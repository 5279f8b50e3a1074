#include "ui/recoveryui.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QRadioButton>
#include <string>
#include <vector>

#include "ui/coretext.h"
#include "session/recoverystore.h"
#include "ui/autosave.h"
#include "ui/inputdataform.h"
#include "ui/uitext.h"
#include "ui/widgets.h"

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("RecoveryUi", text); }
const char* const kQuestion = QT_TRANSLATE_NOOP("RecoveryUi", "上次运行未正常结束，是否恢复未保存的数据?");

QString TypeName(const TInputDataForm& form, ::DataType type) {
  const auto* item = form.DataType->findChild<QRadioButton*>(QStringLiteral("item%1").arg(static_cast<int>(type)));
  return item != nullptr ? item->text() : QString::number(static_cast<int>(type));
}

// What the session holds, for the user to recognise it.
QString Details(const TInputDataForm& form, const LeftSession& left, const RecoveryReadResult& read) {
  const QString file = read.session.file.empty() ? QCoreApplication::translate("RecoveryUi", "（未打开文件）") : ShownPath(read.session.file);
  // The status line as the window showed it ("已输入3个测点").
  return QCoreApplication::translate("RecoveryUi", "数据类型：%1\n%2（%3）\n文件：%4\n最后写入：%5")
      .arg(TypeName(form, read.session.type), CoreText(read.session.status),
           read.session.saved ? QCoreApplication::translate("RecoveryUi", "已保存") : QCoreApplication::translate("RecoveryUi", "未保存"), file,
           QDateTime::fromSecsSinceEpoch(static_cast<qint64>(left.modified()))
               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

// Discarding a session with unsaved units loses them for good: asked once more, naming how
// many. True when the session may be discarded.
bool ConfirmDiscard(TInputDataForm& form, const RecoveryReadResult& read) {
  if (read.session.saved || read.stations.empty()) return true;
  const QString count = QString::number(static_cast<qulonglong>(read.stations.size()));
  QString text;
  switch (read.session.type) {
    case dtFourPoleProfile:
      text = QCoreApplication::translate("RecoveryUi", "恢复文件中有 %1 条未保存的测线。放弃后它们将永远丢失。\n\n确定放弃吗?");
      break;
    case dtCombinedProfile:
      text = QCoreApplication::translate("RecoveryUi", "恢复文件中有 %1 个未保存的分支。放弃后它们将永远丢失。\n\n确定放弃吗?");
      break;
    default:
      text = QCoreApplication::translate("RecoveryUi", "恢复文件中有 %1 个未保存的测点。放弃后它们将永远丢失。\n\n确定放弃吗?");
  }
  return form.dialogs().message(&form, QCoreApplication::translate("RecoveryUi", "放弃恢复"), text.arg(count),
                                Dialogs::Icon::Warning, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}

void Warn(TInputDataForm& form, const QString& text, const QString& details = QString()) {
  form.dialogs().message(&form, AppTitle(), text, Dialogs::Icon::Warning, Dialogs::Buttons::Ok, details);
}
}  // namespace

bool OfferRecovery(TInputDataForm& form, RecoveryStore& store, Autosave& autosave) {
  std::vector<LeftSession> left = store.claimLeftSessions();
  for (LeftSession& session : left) {
    const RecoveryReadResult read = session.read();
    std::string error;
    if (!read.ok) {
      if (const std::optional<std::string> aside = session.setAside(error)) {
        Warn(form, QCoreApplication::translate("RecoveryUi", "上次运行留下的恢复文件已损坏，不能恢复：%1\n文件已改名为 %2，留作查看。")
                       .arg(CoreText(read.error), ShownPath(*aside)));
      } else {
        Warn(form, QCoreApplication::translate("RecoveryUi", "上次运行留下的恢复文件已损坏，不能恢复：%1").arg(CoreText(read.error)), CoreText(error));
      }
      continue;
    }
    Dialogs::RecoveryChoice choice = Dialogs::RecoveryChoice::Later;
    do {
      choice = form.dialogs().askRecovery(&form, Tr(kQuestion), Details(form, session, read));
    } while (choice == Dialogs::RecoveryChoice::Discard && !ConfirmDiscard(form, read));
    switch (choice) {
      case Dialogs::RecoveryChoice::Restore:
        form.survey().restore(read.session, read.stations);
        // The old file goes only once the session is in this program's own file.
        if (!autosave.writeNow()) {
          session.release();
          Warn(form, QCoreApplication::translate("RecoveryUi", "数据已恢复，但不能写入新的恢复文件；原来的恢复文件保留在 %1。")
                         .arg(ShownPath(session.path())));
        } else if (!session.discard(error)) {
          Warn(form, QCoreApplication::translate("RecoveryUi", "数据已恢复，但原来的恢复文件 %1 不能删除。").arg(ShownPath(session.path())),
               Text(error));
        }
        return true;  // the sessions not asked about stay for the next start
      case Dialogs::RecoveryChoice::Discard:
        if (!session.discard(error))
          Warn(form, QCoreApplication::translate("RecoveryUi", "恢复文件 %1 不能删除。").arg(ShownPath(session.path())), Text(error));
        break;
      case Dialogs::RecoveryChoice::Later: session.release(); break;
    }
  }
  return false;
}

void ReportAutosaveFailures(TInputDataForm& form, Autosave& autosave) {
  QObject::connect(&autosave, &Autosave::writeFailed, &form, [&form](const QString& reason) {
    Warn(form, QCoreApplication::translate("RecoveryUi", "不能写入恢复文件：程序意外退出时，未保存的数据将不能恢复。请尽快保存数据。"), reason);
  });
}

WindowRecovery::WindowRecovery(TInputDataForm& form, const QString& dataFolder, const QString& subfolder,
                               int intervalMs)
    : form_(form), folder_(dataFolder.isEmpty() ? QString() : dataFolder + QStringLiteral("/") + subfolder) {
  if (dataFolder.isEmpty()) {
    error_ = "no data folder";
    return;
  }
  store_ = std::make_unique<RecoveryStore>(DiskPath(dataFolder), DiskPath(subfolder));
  if (!store_->open(error_)) return;
  autosave_ = std::make_unique<Autosave>(form.survey(), *store_, intervalMs);
  ReportAutosaveFailures(form, *autosave_);
}

WindowRecovery::~WindowRecovery() = default;

bool WindowRecovery::start() {
  if (autosave_) return OfferRecovery(form_, *store_, *autosave_);
  const QString details = folder_ + QStringLiteral("\n") + CoreText(error_);
  if (store_ && store_->unsafe()) {
    Warn(form_,
         QCoreApplication::translate("RecoveryUi",
                                     "恢复文件夹 %1 可能被其他用户改动（它或它的上级文件夹不属于当前用户，或者其他用户可以写入）。"
                                     "为安全起见，本次运行不使用恢复文件：程序意外退出时，未保存的数据将不能恢复。请及时保存数据。")
             .arg(folder_),
         details);
  } else {
    Warn(form_, QCoreApplication::translate("RecoveryUi", "不能建立恢复文件：程序意外退出时，未保存的数据将不能恢复。"), details);
  }
  return false;
}

void WindowRecovery::finish() {
  if (autosave_) autosave_->finish();
}
