// The interface language: which one is chosen from --lang, the remembered choice and the
// locale; the translators installed for it, and Chinese when the English translation is
// missing or damaged; the window's translation of the core's texts (whole texts, texts filled
// from templates, nested parts, several lines, user data left alone).
#include <QTemporaryDir>
#include <QTest>

#include "io/messages.h"
#include "io/templates.h"
#include "ui/coretext.h"
#include "ui/language.h"

namespace {
QString Utf8(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

class LanguageTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { InstallLanguage(*QCoreApplication::instance(), UiLanguage::Chinese); }

  void choice_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("remembered");  // "" for none
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("warned");
    const QStringList none{QStringLiteral("fieldinput")};
    QTest::newRow("zh_CN") << none << "" << "zh_CN" << false << false;
    QTest::newRow("zh_TW.UTF-8") << none << "" << "zh_TW.UTF-8" << false << false;
    QTest::newRow("C") << none << "" << "C" << false << false;
    QTest::newRow("C.UTF-8") << none << "" << "C.UTF-8" << false << false;
    QTest::newRow("POSIX") << none << "" << "POSIX" << false << false;
    QTest::newRow("en_US") << none << "" << "en_US.UTF-8" << true << false;
    QTest::newRow("de_DE") << none << "" << "de_DE" << true << false;
    QTest::newRow("garbage locale") << none << "" << "!!garbage@@" << true << false;
    QTest::newRow("remembered over locale") << none << "en" << "zh_CN" << true << false;
    QTest::newRow("remembered zh over en locale") << none << "zh" << "en_US" << false << false;
    QTest::newRow("--lang over remembered") << QStringList{"fieldinput", "--lang", "zh"} << "en" << "en_US" << false << false;
    QTest::newRow("--lang=en") << QStringList{"fieldinput", "--lang=en", "a.ves"} << "zh" << "C" << true << false;
    QTest::newRow("bad --lang ignored") << QStringList{"fieldinput", "--lang", "fr"} << "en" << "C" << true << true;
    QTest::newRow("--lang without value") << QStringList{"fieldinput", "--lang"} << "" << "de_DE" << true << true;
  }
  void choice() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, remembered);
    QFETCH(QString, locale);
    QFETCH(bool, english);
    QFETCH(bool, warned);
    const QStringList files = arguments.filter(QStringLiteral(".ves"));
    const LanguageOption option = TakeLanguageOption(arguments);
    QCOMPARE(!option.warning.isEmpty(), warned);
    // The option leaves the program name and the files.
    QCOMPARE(arguments, QStringList{QStringLiteral("fieldinput")} + files);
    const UiLanguage chosen = ChooseLanguage(option.language, LanguageFromCode(remembered), locale);
    QCOMPARE(chosen == UiLanguage::English, english);
  }

  void englishAndChineseInstalled() {
    QCOMPARE(InstallLanguage(*QCoreApplication::instance(), UiLanguage::English), UiLanguage::English);
    QCOMPARE(CurrentLanguage(), UiLanguage::English);
    QCOMPARE(QCoreApplication::translate("TInputDataForm", "保存到文件"), QStringLiteral("Save to file"));
    QCOMPARE(InstallLanguage(*QCoreApplication::instance(), UiLanguage::Chinese), UiLanguage::Chinese);
    QCOMPARE(QCoreApplication::translate("TInputDataForm", "保存到文件"), QStringLiteral("保存到文件"));
    // Qt's own buttons read Chinese.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
  }

  void missingOrDamagedTranslationFallsBackToChinese_data() {
    QTest::addColumn<QByteArray>("content");  // empty: no file
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("damaged") << QByteArray("\x3c\xb8\x64\x18\xca\xef\x9c\x95\xcd\x21\x1c\xbf\x60\xa1\xbd\xdd garbage");
    QTest::newRow("not a translation") << QByteArray("<TS version=\"2.1\"></TS>");
  }
  void missingOrDamagedTranslationFallsBackToChinese() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString qm = dir.filePath(QStringLiteral("fieldinput_en.qm"));
    if (!content.isEmpty()) {
      QFile f(qm);
      QVERIFY(f.open(QIODevice::WriteOnly));
      QCOMPARE(f.write(content), content.size());
      f.close();
    }
    QCOMPARE(InstallLanguage(*QCoreApplication::instance(), UiLanguage::English, qm), UiLanguage::Chinese);
    QCOMPARE(CurrentLanguage(), UiLanguage::Chinese);
    QCOMPARE(QCoreApplication::translate("TInputDataForm", "保存到文件"), QStringLiteral("保存到文件"));
    QCOMPARE(CoreText(Fill(tmpl::kStationCount, {"3"})), QStringLiteral("已输入3个测点"));
  }

  void coreTextsInEnglish_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("english");
    QTest::newRow("whole text") << Utf8(msg::kNoDataToSave) << "There are no data to save.";
    QTest::newRow("template") << Utf8(Fill(tmpl::kStationCount, {"12"})) << "Stations entered: 12";
    // An empty reading is named by its row (the box's details name the column), never as a spacing.
    QTest::newRow("a cell that is not valid") << Utf8(Fill(tmpl::kIllegalSpacing, {"1"}))
                                              << "Row 1 holds a value that is not valid.\n\n\n\tPlease check.";
    QTest::newRow("template with a heading") << Utf8(Fill(tmpl::kCellName, {"3", "视电阻率"})) << "Row 3, App. resistivity";
    QTest::newRow("user data kept") << Utf8(Fill(tmpl::kDeleteStation, {"测点7", "1.5"}))
                                    << QStringLiteral("Delete the current station 测点7 (x=1.5)?");
    QTest::newRow("nested") << Utf8(Fill(tmpl::kNamedFile, {"a.dat", Fill(tmpl::kLineOfFile, {"4", "这里应是数字。"})}))
                            << "File “a.dat”: Line 4: a number was expected here.";
    QTest::newRow("the more specific template")
        << Utf8(Fill(tmpl::kLineNameFault, {"L1", "测线名为空，不能作为文件名。"}))
        << "Line L1: The line name is empty; it cannot be a file name.";
    QTest::newRow("lines") << Utf8(std::string("打开文件失败。\n") + Fill(tmpl::kLineOnly, {"2"}))
                           << "The file could not be opened.\nLine 2.";
    QTest::newRow("two fields, two commands") << Utf8(Fill(tmpl::kUnsavableField, {"测区", "插入"}))
                                              << "Area holds characters that cannot be saved in a data file; correct it before inserting.";
    QTest::newRow("unknown text") << "S1" << "S1";
    QTest::newRow("empty") << "" << "";
  }
  void coreTextsInEnglish() {
    QFETCH(QString, shown);
    QFETCH(QString, english);
    QCOMPARE(CoreText(shown), shown);  // Chinese: as the core wrote it
    QCOMPARE(InstallLanguage(*QCoreApplication::instance(), UiLanguage::English), UiLanguage::English);
    QCOMPARE(CoreText(shown), english);
  }

  // Every template fills back to what the core composed: in Chinese, each reads back unchanged.
  void everyTemplateReadsBackInChinese() {
    for (const char* t : tmpl::kAll) {
      const std::string filled = Fill(t, {"7", "8", "9"});
      QCOMPARE(CoreText(filled), Utf8(filled));
    }
    QCOMPARE(InstallLanguage(*QCoreApplication::instance(), UiLanguage::English), UiLanguage::English);
    for (const char* t : tmpl::kAll) {
      const QString english = CoreText(Fill(t, {"7", "8", "9"}));
      for (QChar c : english) QVERIFY2(c.unicode() < 0x3000 || c.unicode() > 0x9fff, qPrintable(english));
    }
  }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
