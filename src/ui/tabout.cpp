#include "ui/tabout.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// The program's icon (the SVG installed for the desktop, built in as a resource), drawn at the
// given size in device-independent pixels.
QPixmap ProgramIcon(int size, qreal ratio) {
  QPixmap pixmap(QSize(size, size) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QSvgRenderer svg(QStringLiteral(":/icons/fieldinput.svg"));
  QPainter painter(&pixmap);
  svg.render(&painter, QRectF(0, 0, size, size));
  return pixmap;
}
}  // namespace

QString TAbout::webAddress() { return QStringLiteral("https://fieldinput.example.org/"); }
QString TAbout::mailAddress() { return QStringLiteral("fieldinput@example.org"); }

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("About"));
  setWindowFlag(Qt::Tool);
  auto* outer = new QHBoxLayout(this);

  auto* panel = new QLabel(this);
  panel->setObjectName(QStringLiteral("AboutIcon"));
  panel->setAutoFillBackground(true);
  panel->setStyleSheet(QStringLiteral("background-color: #2f5d8a;"));
  panel->setPixmap(ProgramIcon(64, devicePixelRatio()));
  panel->setAlignment(Qt::AlignCenter);
  panel->setFixedWidth(96);
  outer->addWidget(panel);

  auto* column = new QVBoxLayout();
  auto* title = new QLabel(tr("手工输入野外电法观测数据"), this);
  title->setObjectName(QStringLiteral("AboutName"));
  QFont f = title->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 2);
  title->setFont(f);
  column->addWidget(title);
  auto* version = new QLabel(tr("FieldInput 版本 %1").arg(QCoreApplication::applicationVersion()), this);
  version->setObjectName(QStringLiteral("AboutVersion"));
  column->addWidget(version);
  auto* contact = new QLabel(tr("制作：FieldInput 开发组\n电子邮件：%1").arg(mailAddress()), this);
  contact->setObjectName(QStringLiteral("AboutMaker"));
  contact->setFrameShape(QFrame::StyledPanel);
  contact->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(contact);
  StaticText10 = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:red\">%1</a>").arg(webAddress()), this);
  StaticText10->setObjectName(QStringLiteral("StaticText10"));
  StaticText10->setCursor(Qt::PointingHandCursor);
  StaticText10->setTextFormat(Qt::RichText);
  // StaticText10Click: the desktop opens the page in the user's web browser.
  connect(StaticText10, &QLabel::linkActivated, this, [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
  column->addWidget(StaticText10);
  const QString rights = tr("版权所有 © FieldInput 开发组，保留所有权利。");
  auto* legal = new QLabel(rights + QLatin1Char('\n') +
                               tr("本软件受著作权法保护。未经许可，不得复制或分发本软件的全部或部分。"),
                           this);
  legal->setObjectName(QStringLiteral("AboutLicence"));
  legal->setWordWrap(true);
  // Wide enough for the copyright line; the longer sentence wraps below it.
  legal->setMinimumWidth(legal->fontMetrics().horizontalAdvance(rights) + 8);
  column->addWidget(legal);
  auto* ok = new QPushButton(tr("确定"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  column->addWidget(ok, 0, Qt::AlignRight);
  outer->addLayout(column);
  setWindowTitle(tr("关于"));
}
