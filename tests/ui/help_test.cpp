// The help window: opened by F1, the help icon and the Help menu; its contents list, its
// search, the language of its document, and the choice between the built-in documents and a
// newer one in the Help folder beside the program's folder.
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <algorithm>
#include <unistd.h>

#include "formdriver.h"
#include "ui/helpwindow.h"
#include "ui/language.h"

namespace {
// The help window the main window shows, or null.
HelpWindow* ShownHelp(const TInputDataForm& form) {
  auto* help = form.findChild<HelpWindow*>(QStringLiteral("HelpWindow"));
  return help != nullptr && help->isVisible() ? help : nullptr;
}

// The ids of a document's headings, in order, from its source.
QStringList HeadingIds(const QString& html) {
  static const QRegularExpression heading(QStringLiteral("<h([1-6])\\b[^>]*\\bid=\"([^\"]+)\""));
  QStringList ids;
  for (auto it = heading.globalMatch(html); it.hasNext();) ids << it.next().captured(2);
  return ids;
}

// The ids of the contents list's items, in order.
QStringList ContentIds(const HelpWindow& help) {
  QStringList ids;
  for (int i = 0; i < help.contents()->count(); ++i) ids << help.contents()->item(i)->data(Qt::UserRole).toString();
  return ids;
}

QListWidgetItem* ContentItem(const HelpWindow& help, const QString& id) {
  for (int i = 0; i < help.contents()->count(); ++i)
    if (help.contents()->item(i)->data(Qt::UserRole).toString() == id) return help.contents()->item(i);
  return nullptr;
}

// A help document with a version stamp and a text to recognise it by.
QByteArray Stamped(const QByteArray& version, const QByteArray& marker) {
  return "<html><head><meta charset=\"utf-8\"><meta name=\"fieldinput-help-version\" content=\"" + version +
         "\"></head><body><h2 id=\"purpose\">" + marker + "</h2><p>" + marker + "</p></body></html>";
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

void ClickItem(QListWidget* list, QListWidgetItem* item) {
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Where the heading block of a contents item stands in the view: its top relative to the
// top of the viewport, in pixels.
int HeadingOffset(const HelpWindow& help, const QString& title) {
  const QTextDocument* doc = help.view()->document();
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
    if (b.text().trimmed() == title)
      return static_cast<int>(doc->documentLayout()->blockBoundingRect(b).top()) -
             help.view()->verticalScrollBar()->value();
  return -1000000;
}
}  // namespace

class HelpTest : public QObject {
  Q_OBJECT
 private slots:
  // F1, the help icon and Help › 使用数据输入程序 open one non-modal window with the Chinese
  // document; opened again, the same window comes back as it was left. No message box.
  void f1IconAndMenuOpenTheChineseHelp() {
    FormDriver d;
    d.form->EX->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QTRY_VERIFY(ShownHelp(*d.form) != nullptr);
    HelpWindow* help = ShownHelp(*d.form);
    QCOMPARE(help->language(), QStringLiteral("zh"));
    QVERIFY(!help->usesHelpFolder());
    QCOMPARE(help->windowModality(), Qt::NonModal);
    QVERIFY(help->isWindow());
    QVERIFY(help->view()->toPlainText().contains(QStringLiteral("电阻率找水")));
    QVERIFY(help->contents()->count() > 10);
    QVERIFY(help->findChild<QLineEdit*>(QStringLiteral("HelpSearch")) == help->searchField());
    QVERIFY(help->findChild<QLabel*>(QStringLiteral("HelpStatus")) == help->statusLabel());
    QVERIFY(help->findChild<QTextBrowser*>(QStringLiteral("HelpView")) == help->view());
    QVERIFY(help->findChild<QListWidget*>(QStringLiteral("HelpContents")) == help->contents());
    QTest::keyClicks(help->searchField(), QStringLiteral("GBK"));
    help->close();
    QVERIFY(ShownHelp(*d.form) == nullptr);

    d.click(d.form->Image1);
    QTRY_VERIFY(ShownHelp(*d.form) == help);
    QCOMPARE(help->searchField()->text(), QStringLiteral("GBK"));
    help->close();

    d.trigger(d.form->N16);
    QTRY_VERIFY(ShownHelp(*d.form) == help);
    QCOMPARE(d.form->findChildren<HelpWindow*>().size(), 1);
    QVERIFY(d.dialogs.messages.isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  // A click on a contents item brings its section's heading to the top of the view and puts
  // the cursor there; another click goes back up.
  void contentsClickShowsTheSection() {
    HelpWindow help(QStringLiteral("zh"));
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QListWidgetItem* files = ContentItem(help, QStringLiteral("files"));
    QVERIFY(files != nullptr);
    QCOMPARE(files->text().trimmed(), QStringLiteral("数据文件"));
    QCOMPARE(help.view()->verticalScrollBar()->value(), 0);

    ClickItem(help.contents(), files);
    QTRY_VERIFY(help.view()->verticalScrollBar()->value() > 0);
    QCOMPARE(help.view()->textCursor().block().text().trimmed(), QStringLiteral("数据文件"));
    const int offset = HeadingOffset(help, QStringLiteral("数据文件"));
    QVERIFY2(offset >= 0 && offset < help.view()->viewport()->height() / 4, qPrintable(QString::number(offset)));

    ClickItem(help.contents(), ContentItem(help, QStringLiteral("purpose")));
    QTRY_VERIFY(HeadingOffset(help, QStringLiteral("程序的用途")) >= 0);
    QVERIFY(HeadingOffset(help, QStringLiteral("数据文件")) > help.view()->viewport()->height());
    QVERIFY(help.showSection(QStringLiteral("recovery")));
    QCOMPARE(help.view()->textCursor().block().text().trimmed(), QStringLiteral("意外退出后的恢复"));
    QVERIFY(!help.showSection(QStringLiteral("no-such-section")));
  }

  // Enter in the search field selects each occurrence in turn, then starts again at the top
  // and says so; a text that does not occur is said in the window, with no message box, and
  // the view and its cursor stay where they were. Typing clears what was said.
  void searchFindsWrapsAndSaysNotFound() {
    HelpWindow help(QStringLiteral("zh"));
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QString word = QStringLiteral("CR LF");
    int occurrences = 0;
    for (QTextCursor c = help.view()->document()->find(word); !c.isNull(); c = help.view()->document()->find(word, c))
      ++occurrences;
    QVERIFY(occurrences >= 2);

    help.searchField()->setFocus();
    QTest::keyClicks(help.searchField(), word);
    QList<int> found;
    for (int i = 0; i < occurrences; ++i) {
      QTest::keyClick(help.searchField(), Qt::Key_Return);
      QCOMPARE(help.view()->textCursor().selectedText(), word);
      found << help.view()->textCursor().selectionStart();
      QVERIFY(help.statusLabel()->text().isEmpty());
    }
    QVERIFY(std::is_sorted(found.begin(), found.end()) && found.first() < found.last());
    QTest::keyClick(help.searchField(), Qt::Key_Return);
    QCOMPARE(help.view()->textCursor().selectionStart(), found.first());
    QVERIFY(!help.statusLabel()->text().isEmpty());
    QVERIFY(!help.statusLabel()->property("notFound").toBool());

    help.searchField()->clear();
    QTest::keyClicks(help.searchField(), QStringLiteral("xyzzy"));
    QVERIFY(help.statusLabel()->text().isEmpty());
    QVERIFY(help.showSection(QStringLiteral("files")));
    const int scrolled = help.view()->verticalScrollBar()->value();
    const int cursorAt = help.view()->textCursor().position();
    QVERIFY(scrolled > 0);
    QTest::keyClick(help.searchField(), Qt::Key_Return);
    QVERIFY(help.statusLabel()->text().contains(QStringLiteral("xyzzy")));
    QVERIFY(help.statusLabel()->property("notFound").toBool());
    QVERIFY(help.statusLabel()->isVisible());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(help.view()->verticalScrollBar()->value(), scrolled);
    QCOMPARE(help.view()->textCursor().position(), cursorAt);
    QTest::keyClick(help.searchField(), Qt::Key_Backspace);
    QVERIFY(help.statusLabel()->text().isEmpty());
  }

  // A document in the Help folder is shown instead of the built-in one only when it is newer
  // (a higher version stamp) and sound; everything else leaves the built-in document.
  void helpFolderDocumentReplacesOnlyWhenNewer_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");  // "<dir>": a folder of that name; "<none>": no file
    QTest::addColumn<bool>("used");
    const int builtIn = HelpDocumentVersion(BuiltInHelp(QStringLiteral("zh"))).value_or(-1);
    QVERIFY(builtIn >= 1);
    const QByteArray newer = QByteArray::number(builtIn + 1);
    const QByteArray marker = QStringLiteral("外部帮助").toUtf8();
    const QString zh = QStringLiteral("help_zh.html");
    QTest::newRow("newer") << zh << Stamped(newer, marker) << true;
    QTest::newRow("much newer, content before name, single quotes")
        << zh
        << QByteArray("<meta content='120' NAME='fieldinput-help-version'><h2 id=\"purpose\">" + marker + "</h2>")
        << true;
    QTest::newRow("newer, UTF-8 byte-order mark") << zh << QByteArray("\xEF\xBB\xBF" + Stamped(newer, marker)) << true;
    QTest::newRow("equal") << zh << Stamped(QByteArray::number(builtIn), marker) << false;
    QTest::newRow("older") << zh << Stamped("0", marker) << false;
    QTest::newRow("missing") << zh << QByteArray("<none>") << false;
    QTest::newRow("a folder of that name") << zh << QByteArray("<dir>") << false;
    QTest::newRow("other language only") << QStringLiteral("help_en.html") << Stamped(newer, marker) << false;
    QTest::newRow("no stamp") << zh << QByteArray("<html><body><h2>" + marker + "</h2></body></html>") << false;
    QTest::newRow("stamp not a number") << zh << Stamped(newer + "a", marker) << false;
    QTest::newRow("stamp too large") << zh << Stamped("99999999999999999999", marker) << false;
    QTest::newRow("empty") << zh << QByteArray() << false;
    QTest::newRow("white space only") << zh << QByteArray(" \r\n\t ") << false;
    QTest::newRow("GBK text, not UTF-8") << zh << Stamped(newer, "\xB5\xE7\xD7\xE8\xC2\xCA") << false;
    QTest::newRow("cut in a character") << zh << Stamped(newer, marker).left(Stamped(newer, marker).indexOf(marker) + 4) << false;
  }
  void helpFolderDocumentReplacesOnlyWhenNewer() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, used);
    QTemporaryDir dir;
    const QString helpFolder = dir.filePath(QStringLiteral("Help"));
    QVERIFY(QDir().mkpath(helpFolder));
    const QString path = QDir(helpFolder).filePath(fileName);
    if (bytes == "<dir>") {
      QVERIFY(QDir().mkpath(path));
    } else if (bytes != "<none>") {
      QVERIFY(WriteFile(path, bytes));
    }
    const HelpDocument chosen = LoadHelpDocument(QStringLiteral("zh"), helpFolder);
    QCOMPARE(chosen.fromHelpFolder, used);
    if (used) {
      QVERIFY(chosen.html.contains(QStringLiteral("外部帮助")));
      QVERIFY(!chosen.html.startsWith(QChar(0xFEFF)));
    } else {
      QCOMPARE(chosen.html, BuiltInHelp(QStringLiteral("zh")));
    }
  }

  // A file that cannot be read is passed over (not testable as root, who reads every file).
  void unreadableHelpFolderDocumentIsPassedOver() {
    if (::geteuid() == 0) QSKIP("root reads files without read permission");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("help_zh.html"));
    QVERIFY(WriteFile(path, Stamped("1000", "x")));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    const HelpDocument chosen = LoadHelpDocument(QStringLiteral("zh"), dir.path());
    QVERIFY(!chosen.fromHelpFolder);
    QCOMPARE(chosen.html, BuiltInHelp(QStringLiteral("zh")));
  }

  // The window takes its document from the Help folder beside the program's folder; a damaged
  // one there leaves the built-in help, without a message.
  void windowUsesTheProgramsHelpFolder() {
    for (const bool damaged : {false, true}) {
      FormDriver d;
      const QString helpFolder = d.path(QStringLiteral("Help"));
      QVERIFY(QDir().mkpath(helpFolder));
      QVERIFY(WriteFile(QDir(helpFolder).filePath(QStringLiteral("help_zh.html")),
                        damaged ? QByteArray("\xFF\xFE garbage") : Stamped("1000", "外部帮助")));
      d.trigger(d.form->N16);
      QTRY_VERIFY(ShownHelp(*d.form) != nullptr);
      HelpWindow* help = ShownHelp(*d.form);
      QCOMPARE(help->usesHelpFolder(), !damaged);
      QCOMPARE(help->view()->toPlainText().contains(QStringLiteral("外部帮助")), !damaged);
      QCOMPARE(help->view()->toPlainText().contains(QStringLiteral("电阻率找水")), damaged);
      QVERIFY(d.dialogs.messages.isEmpty());
    }
  }

  // "en" chooses the English document, anything else the Chinese one; setLanguage reloads the
  // document and its contents, which list the same sections in the same order.
  // In the English interface F1 opens the English document.
  void englishInterfaceOpensTheEnglishHelp() {
    QVERIFY(InstallLanguage(*QCoreApplication::instance(), UiLanguage::English) == UiLanguage::English);
    {
      FormDriver d;
      d.form->EX->setFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
      QTRY_VERIFY(ShownHelp(*d.form) != nullptr);
      QCOMPARE(ShownHelp(*d.form)->language(), QStringLiteral("en"));
      ShownHelp(*d.form)->close();
    }
    InstallLanguage(*QCoreApplication::instance(), UiLanguage::Chinese);
  }

  void languageChoosesTheDocument() {
    HelpWindow help(QStringLiteral("en"));
    QCOMPARE(help.language(), QStringLiteral("en"));
    QVERIFY(help.view()->toPlainText().contains(QStringLiteral("Sounding for water finding")));
    QVERIFY(!help.view()->toPlainText().contains(QStringLiteral("程序的用途")));
    QCOMPARE(help.contents()->item(0)->text(), QStringLiteral("What the program is for"));
    const QStringList englishIds = ContentIds(help);

    help.searchField()->setText(QStringLiteral("xyzzy"));
    QVERIFY(!help.findNext());
    help.setLanguage(QStringLiteral("zh"));
    QCOMPARE(help.language(), QStringLiteral("zh"));
    QVERIFY(help.view()->toPlainText().contains(QStringLiteral("程序的用途")));
    QCOMPARE(help.contents()->item(0)->text(), QStringLiteral("程序的用途"));
    QCOMPARE(ContentIds(help), englishIds);
    QVERIFY(help.statusLabel()->text().isEmpty());

    help.setLanguage(QStringLiteral("fr"));
    QCOMPARE(help.language(), QStringLiteral("zh"));
  }

  // Both documents carry the same version stamp and the same section ids in the same order,
  // every id once; the contents list holds every section heading below the title with its id.
  void bothDocumentsHaveTheSameSections() {
    const QString zh = BuiltInHelp(QStringLiteral("zh"));
    const QString en = BuiltInHelp(QStringLiteral("en"));
    QVERIFY(!zh.isEmpty() && !en.isEmpty());
    QVERIFY(HelpDocumentVersion(zh).has_value());
    QCOMPARE(HelpDocumentVersion(en), HelpDocumentVersion(zh));
    const QStringList ids = HeadingIds(zh);
    QCOMPARE(HeadingIds(en), ids);
    QVERIFY(ids.size() > 15);
    QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
    HelpWindow help(QStringLiteral("zh"));
    QCOMPARE(ContentIds(help), ids.mid(1));  // the title (h1) heads the view, not the list
  }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
