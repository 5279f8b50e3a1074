#pragma once
// Two small controls the window needs and Qt does not have as such.

#include <QGroupBox>
#include <QWidget>

class QButtonGroup;
class QLineEdit;
class QToolButton;

// A group of radio buttons read by item index, in a captioned frame, laid out in columns.
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);
  int itemIndex() const;
  // Selects an item without emitting clicked.
  void setItemIndex(int index);
  int count() const;

 signals:
  // The user picked an item (by mouse or keyboard).
  void clicked(int index);

 private:
  QButtonGroup* group_;
};

// Up and down arrows attached to an edit that holds an integer: an arrow press steps the
// number within [minimum, maximum] and writes it into the edit, then emits pressed().
class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(QLineEdit* associate, int minimum, int maximum, QWidget* parent = nullptr);
  int position() const { return position_; }
  void setPosition(int position);
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  // A mouse button was pressed on one of the arrows, after the step.
  void pressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void step(int delta);
  QLineEdit* associate_;
  int minimum_, maximum_, position_;
  QToolButton* up_;
  QToolButton* down_;
};
