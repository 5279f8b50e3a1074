#include "ui/appendreplacedialog.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/widgets.h"

AppendReplaceDialog::AppendReplaceDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TDataType"));
  setWindowTitle(QCoreApplication::translate("AppendReplaceDialog", "数据处理方式"));
  setFixedSize(313, 214);
  DataRG = new RadioGroup(QCoreApplication::translate("AppendReplaceDialog", "数据文件已经存在，新数据"),
                          {QCoreApplication::translate("AppendReplaceDialog", "追加到数据文件中"), QCoreApplication::translate("AppendReplaceDialog", "替换文件中的数据")}, 1, this);
  DataRG->setObjectName(QStringLiteral("DataRG"));
  DataRG->setGeometry(24, 32, 265, 81);
  DataRG->setItemIndex(0);

  auto* label = new QLabel(QStringLiteral("Karvelo"), this);
  label->setEnabled(false);
  label->move(8, 128);
  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setGeometry(64, 136, 249, 2);

  OKBtn = new QPushButton(QCoreApplication::translate("AppendReplaceDialog", "确定"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(209, 145, 75, 25);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QCoreApplication::translate("AppendReplaceDialog", "取消"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  CancelBtn->setGeometry(209, 181, 75, 25);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects too
}
