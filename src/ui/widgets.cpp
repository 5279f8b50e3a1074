#include "ui/widgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "io/textconv.h"

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  auto* grid = new QGridLayout(this);
  const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    button->setObjectName(QStringLiteral("item%1").arg(i));  // found in tests as item0, item1, ...
    grid->addWidget(button, i % rows, i / rows);
    group_->addButton(button, i);
  }
  if (!items.isEmpty()) group_->button(0)->setChecked(true);
  connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index) {
  if (auto* b = group_->button(index)) b->setChecked(true);
}

int RadioGroup::count() const { return static_cast<int>(group_->buttons().size()); }

UpDown::UpDown(QLineEdit* associate, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), associate_(associate), minimum_(minimum), maximum_(maximum), position_(minimum) {
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  up_ = new QToolButton(this);
  up_->setObjectName(QStringLiteral("NUDUp"));
  up_->setArrowType(Qt::UpArrow);
  down_ = new QToolButton(this);
  down_->setObjectName(QStringLiteral("NUDDown"));
  down_->setArrowType(Qt::DownArrow);
  for (auto* b : {up_, down_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(16, 11);
    box->addWidget(b);
  }
  connect(up_, &QToolButton::pressed, this, [this] { step(+1); emit pressed(); });
  connect(down_, &QToolButton::pressed, this, [this] { step(-1); emit pressed(); });
  // Arrow keys in the edit step the number too.
  associate_->installEventFilter(this);
}

void UpDown::setPosition(int position) {
  position_ = std::clamp(position, minimum_, maximum_);
}

void UpDown::step(int delta) {
  // Start from the number in the edit when it holds one, as the user may have typed it.
  std::int32_t typed = 0;
  if (TryStrToInt(associate_->text().toStdString(), typed)) setPosition(typed);
  setPosition(position_ + delta);
  associate_->setText(QString::number(position_));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == associate_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
      step(key->key() == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
