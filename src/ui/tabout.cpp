#include "ui/tabout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

QString TAbout::webAddress() { return QStringLiteral("https://fieldinput.example.org/"); }

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("About"));
  setWindowFlag(Qt::Tool);
  auto* outer = new QHBoxLayout(this);

  auto* panel = new QLabel(this);
  panel->setAutoFillBackground(true);
  panel->setStyleSheet(QStringLiteral("background-color: #2f5d8a;"));
  panel->setPixmap(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  panel->setAlignment(Qt::AlignCenter);
  panel->setFixedWidth(80);
  outer->addWidget(panel);

  auto* column = new QVBoxLayout();
  auto* title = new QLabel(QStringLiteral("Karvelo电法数据处理软件系统"), this);
  QFont f = title->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 2);
  title->setFont(f);
  column->addWidget(title);
  column->addWidget(new QLabel(QStringLiteral("版本: 2004.04"), this));
  column->addWidget(new QLabel(QStringLiteral("最后日期:  2004-04-25"), this));
  auto* contact = new QLabel(QStringLiteral("联系: FieldInput 开发组\n电子邮件: fieldinput@example.org"), this);
  contact->setFrameShape(QFrame::StyledPanel);
  column->addWidget(contact);
  StaticText10 = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:red\">%1</a>").arg(webAddress()), this);
  StaticText10->setObjectName(QStringLiteral("StaticText10"));
  StaticText10->setCursor(Qt::PointingHandCursor);
  StaticText10->setTextFormat(Qt::RichText);
  // StaticText10Click: the desktop opens the page in the user's web browser.
  connect(StaticText10, &QLabel::linkActivated, this, [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
  column->addWidget(StaticText10);
  auto* legal = new QLabel(QStringLiteral("本软件受著作权法保护。未经许可，不得复制或分发本软件的全部或部分。"), this);
  legal->setWordWrap(true);
  column->addWidget(legal);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  column->addWidget(ok, 0, Qt::AlignRight);
  outer->addLayout(column);
  setWindowTitle(QStringLiteral("关于"));
}
