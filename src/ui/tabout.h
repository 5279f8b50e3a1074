#pragma once
// The About box: the program's name and icon, its version (the application version that main
// sets from the CMake project version), the maker with web page and e-mail, and the licence.

#include <QDialog>

class QLabel;

class TAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TAbout(QWidget* parent = nullptr);
  QLabel* StaticText10;  // the maker's web page, opened when clicked

  // The maker's web page and e-mail address shown in the box.
  static QString webAddress();
  static QString mailAddress();
};
