#pragma once
// The default-spacings dialog: the AB/2 values the sounding grids are laid out with, one per
// line. OK takes the list only when the survey's rule accepts it (the problem is shown in the
// dialog otherwise); the reset button puts the built-in values back into the edit.

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class SpacingsDialog : public QDialog {
  Q_OBJECT
 public:
  SpacingsDialog(const QStringList& current, const QStringList& builtIn, QWidget* parent = nullptr);
  // The values in the edit: its lines (or blank- or comma-separated words), empty ones left out.
  QStringList spacings() const;

  void accept() override;

  QPlainTextEdit* SpacingsEdit;
  QLabel* ProblemLabel;
  QPushButton* ResetButton;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  QStringList builtIn_;
};
