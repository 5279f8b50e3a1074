// The window in English and in Chinese: after the same scripted session (a refused entry, the
// unsaved-data question, saves of every file kind, a save that fails), no visible text of the
// English window, its menus, headings, tooltips and the message boxes shown is left in Chinese;
// the Chinese window shows exactly the source texts; and both write the same bytes.
#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "formdriver.h"
#include "print/listing.h"
#include "stationfiles.h"
#include "ui/language.h"
#include "ui/stringgrid.h"

namespace {

bool HasCjk(const QString& text) {
  for (QChar c : text)
    if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9fff) || (c.unicode() >= 0xff00 && c.unicode() <= 0xffef)) return true;
  return false;
}

// Every visible text of the window, each with where it was found. The language menu's title
// and its 中文 item read the same in both languages; the fields and the grid's data rows hold
// what the user typed.
QStringList WindowTexts(TInputDataForm& f) {
  QStringList texts;
  auto add = [&](const QString& where, const QString& text) {
    if (!text.isEmpty()) texts << where + QStringLiteral(": ") + text;
  };
  for (QWidget* w : f.findChildren<QWidget*>()) {
    const QString name = w->objectName();
    add(name + QStringLiteral(" tip"), w->toolTip());
    if (auto* l = qobject_cast<QLabel*>(w)) add(name, l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) add(name, b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) add(name, g->title());
    if (auto* c = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < c->count(); ++i) add(name, c->itemText(i));
    if (auto* m = qobject_cast<QMenu*>(w); m != nullptr && m != f.LanguageMenu) add(name, m->title());
    if (auto* t = qobject_cast<QTableWidget*>(w))
      for (int c = 0; c < t->columnCount(); ++c)
        if (QTableWidgetItem* h = t->horizontalHeaderItem(c)) {
          add(name + QStringLiteral(" heading"), h->text());
          add(name + QStringLiteral(" heading tip"), h->toolTip());
        }
  }
  for (QAction* a : f.findChildren<QAction*>()) {
    if (a == f.LanguageZh || a == f.LanguageMenu->menuAction()) continue;
    add(a->objectName(), a->text());
    if (a->toolTip() != QString(a->text()).remove(QLatin1Char('&'))) add(a->objectName() + QStringLiteral(" tip"), a->toolTip());
  }
  add(QStringLiteral("title"), f.windowTitle());
  return texts;
}

struct Session {
  QStringList shown;                    // window texts at each data type, then every dialog
  QMap<QString, QByteArray> files;      // what was written, by name
  std::vector<std::string> listing;     // the listing of the sounding stations
};

// The same typing and saving in whatever language is installed.
Session RunSession() {
  Session s;
  FormDriver d;
  TInputDataForm& f = *d.form;
  const QString out = d.path(QStringLiteral("out"));
  QDir().mkpath(out);
  s.shown << WindowTexts(f);

  // A sounding: a refused entry first, then the station.
  d.type(f.ES, QStringLiteral("S1"));
  d.fillRows({{QStringLiteral("1.5"), QStringLiteral("150")}, {QStringLiteral("2.5"), QStringLiteral("abc")},
              {QStringLiteral("4"), QStringLiteral("340")}});
  d.click(f.BitBtn2);
  d.setCell(2, 2, QStringLiteral("225"));
  d.click(f.BitBtn2);
  s.shown << WindowTexts(f);
  // A save that fails, then the save.
  d.dialogs.setNextFileName(out + QStringLiteral("/missing/s.ves"));
  d.click(f.SaveBtn);
  d.dialogs.setNextFileName(out + QStringLiteral("/s.ves"));
  d.click(f.SaveBtn);
  BuildVesListing(f.survey().stations(), s.listing);
  // Another station, and the switch to water finding asks about it: not saved.
  d.type(f.ES, QStringLiteral("S2"));
  d.type(f.EX, QStringLiteral("50"));
  d.fillRows({{QStringLiteral("1.5"), QStringLiteral("15")}, {QStringLiteral("2.5"), QStringLiteral("25")}});
  d.click(f.BitBtn2);
  d.dialogs.setNextAnswer(Dialogs::Answer::No);
  d.chooseDataType(1);
  s.shown << WindowTexts(f);

  // Water finding: a sounding .dat.
  d.load({MakeSounding("100", 100, 0, {{1.5f, 35.2f, 3.75f, 1.25f, 45, 2.1f, 0.5f}, {2.5f, 40, 4, 1.5f, 50.5f, 2.3f, 0.8f}})});
  d.dialogs.setNextFileName(out + QStringLiteral("/w.dat"));
  d.click(f.SaveBtn);

  // A four-pole line, saved in a folder, then a combined-profiling line.
  d.chooseDataType(2);
  s.shown << WindowTexts(f);
  d.load({MakeProfile("L1", {{20, 50, 20, 123.4f}, {40, 50, 20, 130}})});
  d.dialogs.setNextFolder(out);
  d.click(f.SaveBtn);
  d.chooseDataType(3);
  s.shown << WindowTexts(f);
  d.type(f.EP, QStringLiteral("12"));
  d.load({MakeProfile("A", {{20, 50, 20, 123.4f}})});
  d.dialogs.setNextFileName(out + QStringLiteral("/12.dat"));
  d.click(f.SaveBtn);
  s.shown << WindowTexts(f);

  // The open dialog (cancelled) and the About box.
  d.trigger(f.OpenAction);
  QTimer::singleShot(0, [&s] {
    QWidget* about = QApplication::activeModalWidget();
    if (about == nullptr) return;
    s.shown << QStringLiteral("about: ") + about->windowTitle();
    about->close();
  });
  d.trigger(f.N10);
  for (const auto& open : d.dialogs.openDialogs)
    s.shown << QStringLiteral("open dialog: ") + open.title << QStringLiteral("open dialog: ") + open.filter;

  for (const ShownMessage& m : d.dialogs.messages)
    s.shown << QStringLiteral("box: ") + m.caption << QStringLiteral("box: ") + m.text << QStringLiteral("box: ") + m.details;
  for (const SaveDialogState& state : d.dialogs.saveDialogs)
    s.shown << QStringLiteral("save dialog: ") + state.title << QStringLiteral("save dialog: ") + state.filter;
  for (const QString& title : d.dialogs.folderTitles) s.shown << QStringLiteral("folder chooser: ") + title;
  s.files = Snapshot(out);
  return s;
}

}  // namespace

class I18nWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    source_ = RunSession();  // no translator: the source texts
    QVERIFY(!source_.files.isEmpty());
    QVERIFY(InstallLanguage(*qApp, UiLanguage::Chinese) == UiLanguage::Chinese);
    chinese_ = RunSession();
    QVERIFY(InstallLanguage(*qApp, UiLanguage::English) == UiLanguage::English);
    english_ = RunSession();
    InstallLanguage(*qApp, UiLanguage::Chinese);
  }

  void sessionShowedWhatItShouldCover() {
    const QString all = source_.shown.join(QLatin1Char('\n'));
    for (const char* expected : {"第 2 行，视电阻率", "输入的数据尚没有保存", "文件保存失败", "测线信息", "综合激电参数",
                                 "about: 电法勘探数据处理软件", "open dialog: 野外数据文件"})
      QVERIFY2(all.contains(QString::fromUtf8(expected)), expected);
    QCOMPARE(source_.files.keys(), (QStringList{"12.dat", "L1.dat", "s.ves", "w.dat"}));
  }

  void englishLeavesNothingInChinese() {
    QStringList left;
    for (const QString& text : english_.shown)
      if (HasCjk(text)) left << text;
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    QCOMPARE(english_.shown.size(), source_.shown.size());
    // One of a thing is never counted as many.
    static const QRegularExpression oneMany(QStringLiteral("\\b1 (station|line|branch|row|cell|point)s\\b"));
    QStringList plural;
    for (const QString& text : english_.shown)
      if (oneMany.match(text).hasMatch()) plural << text;
    QVERIFY2(plural.isEmpty(), qPrintable(plural.join(QLatin1Char('\n'))));
  }

  void chineseShowsTheSourceTexts() { QCOMPARE(chinese_.shown, source_.shown); }

  void filesAndListingDoNotDependOnTheLanguage() {
    QCOMPARE(english_.files, chinese_.files);
    QCOMPARE(chinese_.files, source_.files);
    QCOMPARE(english_.listing, chinese_.listing);
    QVERIFY(!english_.listing.empty());
  }

 private:
  Session source_, chinese_, english_;
};

QTEST_MAIN(I18nWindowTest)
#include "i18n_window_test.moc"
