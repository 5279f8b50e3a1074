// The append/replace question as the program shows it: a real AppendReplaceDialog, made afresh for every
// question, with append preselected every time.
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/dialogs.h"
#include "ui/appendreplacedialog.h"
#include "ui/widgets.h"

namespace {

struct Seen {
  bool shown = false;
  QString title;
  int preselected = -1;
  bool hasOwner = true;
  QPointer<AppendReplaceDialog> dialog;
};

// Once the modal dialog is up, records what it shows and answers it with act.
void AnswerWhenShown(Seen& seen, std::function<void(AppendReplaceDialog&)> act) {
  QTimer::singleShot(0, [&seen, act] {
    auto* dialog = qobject_cast<AppendReplaceDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      AnswerWhenShown(seen, act);  // not up yet: look again on the next turn of its loop
      return;
    }
    seen.shown = true;
    seen.title = dialog->windowTitle();
    seen.preselected = dialog->DataRG->itemIndex();
    seen.hasOwner = dialog->parentWidget() != nullptr;
    seen.dialog = dialog;
    act(*dialog);
  });
}

// Clicks the second item on its label, where a user clicks (the button is wider than its label).
void ChooseReplace(AppendReplaceDialog& dialog) {
  auto* item = dialog.DataRG->findChild<QRadioButton*>(QStringLiteral("item1"));
  QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(10, item->height() / 2));
}

}  // namespace

class AppendReplaceDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void answers_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("OK") << "ok" << static_cast<int>(Dialogs::AppendChoice::Append);
    QTest::newRow("Enter") << "enter" << static_cast<int>(Dialogs::AppendChoice::Append);
    QTest::newRow("replace, OK") << "replace ok" << static_cast<int>(Dialogs::AppendChoice::Replace);
    QTest::newRow("replace, Enter") << "replace enter" << static_cast<int>(Dialogs::AppendChoice::Replace);
    QTest::newRow("Cancel") << "cancel" << static_cast<int>(Dialogs::AppendChoice::Cancel);
    QTest::newRow("replace, Cancel") << "replace cancel" << static_cast<int>(Dialogs::AppendChoice::Cancel);
    QTest::newRow("Esc") << "esc" << static_cast<int>(Dialogs::AppendChoice::Cancel);
    QTest::newRow("closed") << "close" << static_cast<int>(Dialogs::AppendChoice::Cancel);
  }
  void answers() {
    QFETCH(QString, action);
    QFETCH(int, expected);
    QtDialogs dialogs;
    Seen seen;
    AnswerWhenShown(seen, [action](AppendReplaceDialog& dialog) {
      if (action.startsWith(QLatin1String("replace"))) ChooseReplace(dialog);
      if (action.endsWith(QLatin1String("ok"))) QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
      else if (action.endsWith(QLatin1String("enter"))) QTest::keyClick(&dialog, Qt::Key_Return);
      else if (action.endsWith(QLatin1String("cancel"))) QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
      else if (action == QLatin1String("esc")) QTest::keyClick(&dialog, Qt::Key_Escape);
      else dialog.close();
    });

    const auto answer = dialogs.askAppendOrReplace();

    QVERIFY(seen.shown);
    QCOMPARE(static_cast<int>(answer), expected);
    QCOMPARE(seen.title, QStringLiteral("数据处理方式"));
    QCOMPARE(seen.preselected, 0);
    QVERIFY(!seen.hasOwner);
    QVERIFY(seen.dialog.isNull());  // destroyed when closed
  }

  // Every question starts from append, also right after one answered with replace.
  void appendIsPreselectedEveryTime() {
    QtDialogs dialogs;
    const QList<Dialogs::AppendChoice> answers = {Dialogs::AppendChoice::Replace, Dialogs::AppendChoice::Replace,
                                                  Dialogs::AppendChoice::Cancel, Dialogs::AppendChoice::Append};
    for (const auto wanted : answers) {
      Seen seen;
      AnswerWhenShown(seen, [wanted](AppendReplaceDialog& dialog) {
        if (wanted != Dialogs::AppendChoice::Append) ChooseReplace(dialog);
        QTest::mouseClick(wanted == Dialogs::AppendChoice::Cancel ? dialog.CancelBtn : dialog.OKBtn, Qt::LeftButton);
      });
      QCOMPARE(dialogs.askAppendOrReplace(), wanted);
      QCOMPARE(seen.preselected, 0);
    }
  }

  void looksAsDesigned() {
    AppendReplaceDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("数据处理方式"));
    QCOMPARE(dialog.DataRG->title(), QStringLiteral("数据文件已经存在，新数据"));
    QCOMPARE(dialog.DataRG->count(), 2);
    QCOMPARE(dialog.DataRG->findChild<QRadioButton*>(QStringLiteral("item0"))->text(), QStringLiteral("追加到数据文件中"));
    QCOMPARE(dialog.DataRG->findChild<QRadioButton*>(QStringLiteral("item1"))->text(), QStringLiteral("替换文件中的数据"));
    QCOMPARE(dialog.OKBtn->text(), QStringLiteral("确定"));
    QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("取消"));
    QVERIFY(dialog.OKBtn->isDefault());
  }
};

QTEST_MAIN(AppendReplaceDialogTest)
#include "appendreplacedialog_test.moc"
