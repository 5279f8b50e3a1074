// The program's own dialogs behind the new questions: the append/replace question opened with
// Replace after opening a file, the recovery question and its three answers, the default-
// spacings dialog as QtDialogs shows it.
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/appendreplacedialog.h"
#include "ui/dialogs.h"
#include "ui/spacingsdialog.h"
#include "ui/widgets.h"

namespace {
// Once a modal window of type T is up, acts on it.
template <class T>
void WhenShown(std::function<void(T&)> act) {
  QTimer::singleShot(0, [act] {
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if (w == nullptr) {
      WhenShown<T>(act);  // not up yet: look again on the next turn of its loop
      return;
    }
    act(*w);
  });
}

QAbstractButton* Button(QMessageBox& box, const QString& text) {
  for (QAbstractButton* b : box.buttons())
    if (b->text() == text) return b;
  return nullptr;
}
}  // namespace

class NewDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void appendReplaceOpensWithTheChoiceGiven() {
    QtDialogs dialogs;
    for (const auto selected : {Dialogs::AppendChoice::Append, Dialogs::AppendChoice::Replace}) {
      int shown = -1;
      WhenShown<AppendReplaceDialog>([&shown](AppendReplaceDialog& d) {
        shown = d.DataRG->itemIndex();
        QTest::keyClick(&d, Qt::Key_Return);
      });
      QCOMPARE(dialogs.askAppendOrReplace(selected), selected);
      QCOMPARE(shown, selected == Dialogs::AppendChoice::Replace ? 1 : 0);
    }
  }

  void recoveryQuestionAnswers_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("恢复") << "恢复" << int(Dialogs::RecoveryChoice::Restore);
    QTest::newRow("放弃") << "放弃" << int(Dialogs::RecoveryChoice::Discard);
    QTest::newRow("以后再说") << "以后再说" << int(Dialogs::RecoveryChoice::Later);
    QTest::newRow("Enter") << "enter" << int(Dialogs::RecoveryChoice::Restore);
    QTest::newRow("Esc") << "esc" << int(Dialogs::RecoveryChoice::Later);
  }
  void recoveryQuestionAnswers() {
    QFETCH(QString, action);
    QFETCH(int, expected);
    QtDialogs dialogs;
    QString text;
    QString details;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
      text = box.text();
      details = box.informativeText();
      QCOMPARE(box.buttons().size(), 3);
      if (action == QLatin1String("enter")) QTest::keyClick(&box, Qt::Key_Return);
      else if (action == QLatin1String("esc")) QTest::keyClick(&box, Qt::Key_Escape);
      else QTest::mouseClick(Button(box, action), Qt::LeftButton);
    });
    const auto answer = dialogs.askRecovery(nullptr, QStringLiteral("上次运行未正常结束，是否恢复未保存的数据?"),
                                            QStringLiteral("数据类型：电阻率测深"));
    QCOMPARE(int(answer), expected);
    QCOMPARE(text, QStringLiteral("上次运行未正常结束，是否恢复未保存的数据?"));
    QCOMPARE(details, QStringLiteral("数据类型：电阻率测深"));
  }

  void spacingsDialogThroughQtDialogs() {
    QtDialogs dialogs;
    WhenShown<SpacingsDialog>([](SpacingsDialog& d) { QTest::mouseClick(d.CancelButton, Qt::LeftButton); });
    QCOMPARE(dialogs.editDefaultSpacings(nullptr, {"1", "2"}, {"1.5"}), std::nullopt);
    WhenShown<SpacingsDialog>([](SpacingsDialog& d) {
      QTest::mouseClick(d.ResetButton, Qt::LeftButton);
      QTest::mouseClick(d.OKButton, Qt::LeftButton);
    });
    QCOMPARE(dialogs.editDefaultSpacings(nullptr, {"1", "2"}, {"1.5", "3"}), std::optional<QStringList>({"1.5", "3"}));
  }
};

QTEST_MAIN(NewDialogsTest)
#include "newdialogs_test.moc"
