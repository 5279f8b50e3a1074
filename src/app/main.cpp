// Start-up: the commands without window (src/app/commandline.h), else the application object,
// the input window with what is remembered between runs, the crash recovery (offering what a
// session that did not end cleanly left, then writing this session's recovery file after every
// change), the files named on the command line, the event loop, and a clean end that removes
// the recovery file.
#include <QCoreApplication>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "app/commandline.h"
#include "app/version.h"
#include "io/savetransaction.h"
#include "ui/coretext.h"
#include "ui/dialogs.h"
#include "ui/inputdataform.h"
#include "ui/language.h"
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
    dialogs.message(activeWindow(), AppTitle(), ErrorBoxText(message), Dialogs::Icon::Error, Dialogs::Buttons::Ok);
  }
};

}  // namespace

int main(int argc, char** argv) {
  PrepareFileSaving();
  // A command without window (--fit, --export-csv, --help) runs before any window object
  // exists: it needs no display.
  if (const std::optional<int> status = RunCommandLine(argc, argv)) return *status;
  Application app(argc, argv);
  NameApplication();
  // The desktop matches the window to its .desktop entry.
  QGuiApplication::setDesktopFileName(QStringLiteral(FIELDINPUT_APP_ID));
  // The interface language: --lang, else the one chosen in the 语言/Language menu, else the
  // locale's. Installed before any window text is made.
  QStringList arguments = app.arguments();
  const LanguageOption option = TakeLanguageOption(arguments);
  if (!option.warning.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(option.warning));
  QSettings stored;
  AppSettings settings(stored);
  const UiLanguage wanted = ChooseLanguage(option.language, settings.language(), MessagesLocale());
  if (InstallLanguage(app, wanted) != wanted)
    std::fprintf(stderr, "fieldinput: the English translation could not be loaded; the interface is in Chinese.\n");
  try {
    QtDialogs dialogs;
    TInputDataForm InputDataForm(dialogs);
    InputDataForm.useSettings(&settings);

    // The recovery files: <data folder>/FieldInput/fieldinput/recovery.
    WindowRecovery recovery(InputDataForm, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                            QCoreApplication::organizationName() + QStringLiteral("/") +
                                QCoreApplication::applicationName() + QStringLiteral("/recovery"));
    InputDataForm.show();

    const QStringList files = arguments.mid(1);
    QTimer::singleShot(0, &InputDataForm, [&] {
      InputDataForm.guarded([&] {
        recovery.start();
        if (!files.isEmpty()) InputDataForm.openFiles(files);
      });
    });
    if (const QString script = qEnvironmentVariable("FIELDINPUT_TEST_SCRIPT"); !script.isEmpty())
      StartTestScript(InputDataForm, recovery.autosave(), script);

    app.exec();
    // The window was closed through its close query: a clean end.
    recovery.finish();
  } catch (const std::exception& e) {
    Application::showError(QString::fromUtf8(e.what()));
  } catch (...) {
    Application::showError(QString());
  }
  return 0;
}
