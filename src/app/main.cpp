// Start-up: the application object, the input window with what is remembered between runs,
// the crash recovery (offering what a session that did not end cleanly left, then writing this
// session's recovery file after every change), the files named on the command line, the event
// loop, and a clean end that removes the recovery file.
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/version.h"
#include "io/savetransaction.h"
#include "session/recoverystore.h"
#include "ui/autosave.h"
#include "ui/dialogs.h"
#include "ui/inputdataform.h"
#include "ui/recoveryui.h"
#include "ui/settings.h"
#include "ui/testscript.h"
#include "ui/uitext.h"

namespace {
// Errors that escape a handler are shown in the error box and the program goes on; nothing
// leaves through Qt's event loop.
class Application : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      showError(QString::fromUtf8(e.what()));
    } catch (...) {
      showError(QString());
    }
    return false;
  }
  static void showError(const QString& message) {
    QtDialogs dialogs;
    dialogs.message(activeWindow(), kAppTitle, ErrorBoxText(message), Dialogs::Icon::Error, Dialogs::Buttons::Ok);
  }
};

// The folder of the recovery files, in the user's data folder; "" when there is none.
QString RecoveryFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}
}  // namespace

int main(int argc, char** argv) {
  PrepareFileSaving();
  Application app(argc, argv);
  // Where the settings and the recovery files are kept.
  QCoreApplication::setOrganizationName(QStringLiteral("FieldInput"));
  QCoreApplication::setApplicationName(QStringLiteral("fieldinput"));
  // The About box shows this version; the desktop matches the window to its .desktop entry.
  QCoreApplication::setApplicationVersion(QStringLiteral(FIELDINPUT_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral(FIELDINPUT_APP_ID));
  try {
    QtDialogs dialogs;
    TInputDataForm InputDataForm(dialogs);
    QSettings stored;
    AppSettings settings(stored);
    InputDataForm.useSettings(&settings);

    const QString folder = RecoveryFolder();
    RecoveryStore store(DiskPath(folder));
    std::string error = "no data folder";
    std::unique_ptr<Autosave> autosave;
    if (!folder.isEmpty() && store.open(error)) {
      autosave = std::make_unique<Autosave>(InputDataForm.survey(), store);
      ReportAutosaveFailures(InputDataForm, *autosave);
    }
    InputDataForm.show();

    const QStringList files = app.arguments().mid(1);
    QTimer::singleShot(0, &InputDataForm, [&] {
      InputDataForm.guarded([&] {
        if (autosave) {
          OfferRecovery(InputDataForm, store, *autosave);
        } else {
          dialogs.message(&InputDataForm, kAppTitle,
                          QStringLiteral("不能建立恢复文件：程序意外退出时，未保存的数据将不能恢复。"),
                          Dialogs::Icon::Warning, Dialogs::Buttons::Ok, folder + QStringLiteral("\n") + Text(error));
        }
        if (!files.isEmpty()) InputDataForm.openFiles(files);
      });
    });
    if (const QString script = qEnvironmentVariable("FIELDINPUT_TEST_SCRIPT"); !script.isEmpty())
      StartTestScript(InputDataForm, autosave.get(), script);

    app.exec();
    // The window was closed through its close query: a clean end.
    if (autosave) autosave->finish();
  } catch (const std::exception& e) {
    Application::showError(QString::fromUtf8(e.what()));
  } catch (...) {
    Application::showError(QString());
  }
  return 0;
}
