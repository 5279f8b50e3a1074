// The About box opened from the Help menu: the program's name and icon, the application version
// (main sets it from the CMake project version), the maker and the licence, and its OK button.
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/version.h"
#include "formdriver.h"
#include "ui/tabout.h"

class AboutTest : public QObject {
  Q_OBJECT

  struct Shown {
    QMap<QString, QString> texts;  // label objectName -> text
    QImage icon;
    QStringList cut;               // labels whose text does not fit
  };

  // Opens the box through the menu command, reads it and closes it with OK.
  static void openAbout(FormDriver& d, Shown& shown) {
    bool closed = false;
    QTimer::singleShot(0, [&] {
      auto* about = qobject_cast<TAbout*>(QApplication::activeModalWidget());
      QVERIFY(about);
      QCOMPARE(about->objectName(), QStringLiteral("About"));
      QVERIFY(QTest::qWaitForWindowExposed(about));
      for (auto* label : about->findChildren<QLabel*>()) {
        shown.texts.insert(label->objectName(), label->text());
        if (!label->pixmap().isNull()) shown.icon = label->pixmap().toImage();
        if (!label->wordWrap() && label->width() < label->sizeHint().width()) shown.cut << label->objectName();
      }
      auto* ok = about->findChild<QPushButton*>(QStringLiteral("OKButton"));
      QVERIFY(ok && ok->isDefault());
      QTest::mouseClick(ok, Qt::LeftButton);
      closed = true;
    });
    d.trigger(d.form->N10);
    QVERIFY(closed);
    QVERIFY(d.form->findChildren<TAbout*>().isEmpty());  // destroyed when closed
  }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationVersion(QStringLiteral(FIELDINPUT_VERSION)); }

  void showsNameVersionMakerAndLicence() {
    FormDriver d;
    Shown shown;
    openAbout(d, shown);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(shown.texts.value("AboutName"), QStringLiteral("手工输入野外电法观测数据"));
    QCOMPARE(shown.texts.value("AboutVersion"), QStringLiteral("FieldInput 版本 %1").arg(FIELDINPUT_VERSION));
    QCOMPARE(shown.texts.value("AboutMaker"), QStringLiteral("制作：FieldInput 开发组\n电子邮件：fieldinput@example.org"));
    QVERIFY(shown.texts.value("StaticText10").contains(QStringLiteral("href=\"https://fieldinput.example.org/\"")));
    const QString licence = shown.texts.value("AboutLicence");
    QVERIFY2(licence.contains(QStringLiteral("保留所有权利")), qPrintable(licence));
    QVERIFY2(licence.contains(QStringLiteral("本软件受著作权法保护。未经许可，不得复制或分发本软件的全部或部分。")),
             qPrintable(licence));
    // No date or version from anywhere but the project version.
    for (const QString& text : shown.texts)
      QVERIFY2(!text.contains(QStringLiteral("2004")) && !text.contains(QStringLiteral("最后日期")), qPrintable(text));
    QVERIFY2(shown.cut.isEmpty(), qPrintable(shown.cut.join(' ')));
    // The icon is the program's SVG drawn: the red sounding curve on the pale grid.
    QVERIFY(!shown.icon.isNull());
    int red = 0, pale = 0;
    for (int y = 0; y < shown.icon.height(); ++y)
      for (int x = 0; x < shown.icon.width(); ++x) {
        const QColor c = shown.icon.pixelColor(x, y);
        if (c.alpha() == 255 && c.red() > 180 && c.green() < 80 && c.blue() < 80) ++red;
        if (c.alpha() == 255 && c.red() > 240 && c.green() > 240 && c.blue() > 230) ++pale;
      }
    QVERIFY2(red > 20 && pale > 500, qPrintable(QStringLiteral("red %1 pale %2").arg(red).arg(pale)));
  }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
