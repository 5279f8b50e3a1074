#pragma once
// Drives the real input window in tests: a window with scripted dialogs, shown and active on
// the offscreen platform, and helpers that type and click through real events.

#include <QtWidgets>
#include <QTemporaryDir>
#include <memory>

#include "scripteddialogs.h"
#include "ui/inputdataform.h"
#include "ui/stringgrid.h"

class QAbstractButton;
class QAction;

class FormDriver {
 public:
  FormDriver();
  ~FormDriver();

  ScriptedDialogs dialogs;
  QTemporaryDir dir;  // a scratch folder; the program "lives" in dir/bin
  std::unique_ptr<TInputDataForm> form;

  // Path of a file in the scratch folder.
  QString path(const QString& name) const;

  // Focuses the edit with a click, replaces its text by typing, and leaves the focus there.
  void type(QLineEdit* edit, const QString& text);
  // Moves the focus to another widget of the window (by a mouse click when it is a button-free
  // widget, else setFocus with a tab reason), as a user leaving a field would.
  void focus(QWidget* widget);
  // Replaces the selected text of a focused editor by typing (through the input method for
  // text beyond ASCII); empty text deletes the selection.
  void enterText(QWidget* editor, const QString& text);
  // Types text into a grid cell through the cell editor.
  void typeCell(int col, int row, const QString& text);
  // Sets a cell directly (for filling many cells quickly).
  void setCell(int col, int row, const QString& text);
  // Presses a key (with modifiers) in the widget that has the focus, as the keyboard does.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // Types ASCII text key by key into whatever has the focus (the first key typed on a grid cell
  // opens its editor, the rest go to the editor).
  void keys(const QString& text);
  // Focuses the grid on a cell (column, data row), no editor open.
  void startAt(int col, int row);
  // The grid's current cell in the grid's numbering (column, data row); (-1, 0) for none.
  std::pair<int, int> currentCell() const;
  // Left-clicks a button.
  void click(QAbstractButton* button);
  // Triggers a menu or context-menu item.
  void trigger(QAction* action);
  // Clicks an item of the DataType radio group.
  void chooseDataType(int index);

  // Puts stations in the survey as if just committed in the window's current data type: the
  // current index given, nothing shown, saved or not.
  void load(StationList stations, int currentIndex = 0, bool saved = false);

  // Fills the sounding grid with count rows of (AB/2, resistivity) and sets EAB.
  void fillRows(const QList<std::pair<QString, QString>>& rows);
};
