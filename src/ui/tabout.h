#pragma once
// The About box.

#include <QDialog>

class QLabel;

class TAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TAbout(QWidget* parent = nullptr);
  QLabel* StaticText10;  // the maker's web page, opened when clicked

  // The maker's web page and contact details shown in the box.
  static QString webAddress();
};
