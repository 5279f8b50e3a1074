#include "ui/spacingsdialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "ui/coretext.h"
#include "session/survey.h"

SpacingsDialog::SpacingsDialog(const QStringList& current, const QStringList& builtIn, QWidget* parent)
    : QDialog(parent), builtIn_(builtIn) {
  setObjectName(QStringLiteral("SpacingsDialog"));
  setWindowTitle(QCoreApplication::translate("SpacingsDialog", "默认极距"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QCoreApplication::translate("SpacingsDialog", "“默认极距”按钮和新的测深表格使用的 AB/2 值，每行一个，从小到大："), this);
  label->setWordWrap(true);
  layout->addWidget(label);
  SpacingsEdit = new QPlainTextEdit(this);
  SpacingsEdit->setObjectName(QStringLiteral("SpacingsEdit"));
  SpacingsEdit->setPlainText(current.join(QLatin1Char('\n')));
  SpacingsEdit->setTabChangesFocus(true);
  layout->addWidget(SpacingsEdit, 1);
  label->setBuddy(SpacingsEdit);
  ProblemLabel = new QLabel(this);
  ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
  ProblemLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
  ProblemLabel->setWordWrap(true);
  ProblemLabel->hide();
  layout->addWidget(ProblemLabel);

  auto* buttons = new QDialogButtonBox(this);
  OKButton = buttons->addButton(QCoreApplication::translate("SpacingsDialog", "确定"), QDialogButtonBox::AcceptRole);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  CancelButton = buttons->addButton(QCoreApplication::translate("SpacingsDialog", "取消"), QDialogButtonBox::RejectRole);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  ResetButton = buttons->addButton(QCoreApplication::translate("SpacingsDialog", "恢复默认值"), QDialogButtonBox::ResetRole);
  ResetButton->setObjectName(QStringLiteral("ResetButton"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &SpacingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(ResetButton, &QPushButton::clicked, this, [this] {
    SpacingsEdit->setPlainText(builtIn_.join(QLatin1Char('\n')));
    ProblemLabel->hide();
  });
  resize(360, 420);
}

QStringList SpacingsDialog::spacings() const {
  static const QRegularExpression separators(QStringLiteral("[\\s,，]+"));
  return SpacingsEdit->toPlainText().split(separators, Qt::SkipEmptyParts);
}

void SpacingsDialog::accept() {
  std::vector<std::string> list;
  for (const QString& value : spacings()) list.push_back(value.toStdString());
  const std::string problem = Survey::checkSpacingList(list);
  if (!problem.empty()) {
    ProblemLabel->setText(CoreText(problem));
    ProblemLabel->show();
    SpacingsEdit->setFocus();
    return;
  }
  QDialog::accept();
}
