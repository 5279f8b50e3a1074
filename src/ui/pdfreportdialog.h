#pragma once
// The export dialog of the PDF report: the file to write (typed, or chosen with the browse
// button) and whether a page per station or line with its plot follows the listing. OK takes a
// name without a suffix with .pdf added; an existing file is replaced only when OK is pressed
// again after the dialog said so (or when the file chooser confirmed it), a folder is refused.

#include <QDialog>
#include <QString>

#include "ui/dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class PdfReportDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PdfReportDialog(const PdfReportRequest& request, QWidget* parent = nullptr);
  // The path in the edit (with .pdf when it has no suffix) and the plots choice.
  PdfReportChoice choice() const;

  void accept() override;

  QLineEdit* PdfPath;
  QPushButton* PdfBrowse;
  QCheckBox* PdfWithPlots;
  QLabel* PdfProblem;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  void browse();
  void showProblem(const QString& text);
  QString confirmed_;  // an existing file the user agreed to replace
};
