#pragma once
// The append/replace question, asked when the chosen sounding file exists: append the new stations to the
// file's data, or replace it. Created afresh for every question, so append is always preselected.

#include <QDialog>

class RadioGroup;
class QPushButton;

class AppendReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AppendReplaceDialog(QWidget* parent = nullptr);
  RadioGroup* DataRG;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};
