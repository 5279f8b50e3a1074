#include "ui/pdfreportdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PdfReportDialog::PdfReportDialog(const PdfReportRequest& request, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PdfReportDialog"));
  setWindowTitle(tr("导出 PDF 报告"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(tr("报告文件(&F)："), this);
  layout->addWidget(label);
  auto* row = new QHBoxLayout();
  PdfPath = new QLineEdit(QDir::toNativeSeparators(request.proposedPath), this);
  PdfPath->setObjectName(QStringLiteral("PdfPath"));
  PdfPath->setMinimumWidth(360);
  label->setBuddy(PdfPath);
  PdfBrowse = new QPushButton(tr("浏览(&B)…"), this);
  PdfBrowse->setObjectName(QStringLiteral("PdfBrowse"));
  PdfBrowse->setAutoDefault(false);
  row->addWidget(PdfPath, 1);
  row->addWidget(PdfBrowse);
  layout->addLayout(row);

  PdfWithPlots = new QCheckBox(tr("每个测点/测线附曲线图页(&P)"), this);
  PdfWithPlots->setObjectName(QStringLiteral("PdfWithPlots"));
  if (!request.hasListing) {
    // Without a listing the report is made of the plot pages.
    PdfWithPlots->setChecked(true);
    PdfWithPlots->setEnabled(false);
    PdfWithPlots->setToolTip(tr("剖面数据没有打印列表，报告由每条测线的曲线图页组成。"));
  }
  layout->addWidget(PdfWithPlots);

  PdfProblem = new QLabel(this);
  PdfProblem->setObjectName(QStringLiteral("PdfProblem"));
  PdfProblem->setStyleSheet(QStringLiteral("color: #b00000;"));
  PdfProblem->setWordWrap(true);
  PdfProblem->hide();
  layout->addWidget(PdfProblem);

  auto* buttons = new QDialogButtonBox(this);
  OKButton = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  CancelButton = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &PdfReportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(PdfBrowse, &QPushButton::clicked, this, &PdfReportDialog::browse);
  auto edited = [this] {
    OKButton->setEnabled(!PdfPath->text().trimmed().isEmpty());
    PdfProblem->hide();
  };
  connect(PdfPath, &QLineEdit::textChanged, this, edited);
  edited();
}

PdfReportChoice PdfReportDialog::choice() const {
  QString path = QDir::fromNativeSeparators(PdfPath->text().trimmed());
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
  return {path, PdfWithPlots->isChecked()};
}

void PdfReportDialog::browse() {
  const QString chosen = QFileDialog::getSaveFileName(this, tr("导出 PDF 报告"), choice().path, tr("PDF 文档 (*.pdf)"));
  if (chosen.isEmpty()) return;
  PdfPath->setText(QDir::toNativeSeparators(chosen));
  // The file chooser has asked before choosing an existing file.
  confirmed_ = choice().path;
}

void PdfReportDialog::showProblem(const QString& text) {
  PdfProblem->setText(text);
  PdfProblem->show();
  PdfPath->setFocus();
}

void PdfReportDialog::accept() {
  const QString typed = QDir::fromNativeSeparators(PdfPath->text().trimmed());
  if (typed.isEmpty()) return;
  if (typed.endsWith(QLatin1Char('/')) || QFileInfo(typed).isDir()) {
    showProblem(tr("%1 是一个文件夹，请输入文件名。").arg(QDir::toNativeSeparators(typed)));
    return;
  }
  const QString path = choice().path;
  const QFileInfo info(path);
  if (info.isDir()) {
    showProblem(tr("%1 是一个文件夹，请输入文件名。").arg(QDir::toNativeSeparators(path)));
    return;
  }
  if (info.exists() && path != confirmed_) {
    showProblem(tr("文件 %1 已经存在。再按“确定”将替换它。").arg(QDir::toNativeSeparators(path)));
    confirmed_ = path;
    return;
  }
  QDialog::accept();
}
