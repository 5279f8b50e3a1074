// Start-up: the application object with its title, the input window, the event loop.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "ui/dialogs.h"
#include "ui/inputdataform.h"

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
}  // namespace

int main(int argc, char** argv) {
  Application app(argc, argv);
  QApplication::setApplicationName(kAppTitle);
  try {
    QtDialogs dialogs;
    TInputDataForm InputDataForm(dialogs);
    InputDataForm.show();
    app.exec();
  } catch (const std::exception& e) {
    Application::showError(QString::fromUtf8(e.what()));
  } catch (...) {
    Application::showError(QString());
  }
  return 0;
}
