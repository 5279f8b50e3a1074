#pragma once
// The input window: the whole working surface of the program. Its handlers carry the names
// of the controls and events they belong to (BitBtn2Click, EABExit, ...). The handlers are
// spread over several files by subject:
//   inputdataform.cpp         construction, layout per data type, grid commands of the layout
//   inputdataform_checks.cpp  field and grid checks
//   inputdataform_commit.cpp  committing a station
//   inputdataform_browse.cpp  browsing, showing, updating, grid rows, new line, close query
//   inputdataform_save.cpp    the save command and the four writers
//   inputdataform_print.cpp   the printed listing

#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "model/sdata.h"
#include "ui/dialogs.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class StringGrid;
class RadioGroup;
class UpDown;

class TInputDataForm : public QMainWindow {
  Q_OBJECT
 public:
  // dialogs answers every modal question; programPath locates the Data and Help folders
  // (empty: the running program's own path).
  explicit TInputDataForm(Dialogs& dialogs, const QString& programPath = QString(),
                          QWidget* parent = nullptr);
  ~TInputDataForm() override;

  // ---- Model state ----
  StationList Stations;
  int CurrentIndex = 0;
  bool Saved = true;
  SaveDialogState SaveDialog;  // the window's one save dialog, kept between saves

  ::DataType dataType() const;  // the item index of the DataType radio group, read when needed

  // ---- Layout (inputdataform.cpp) ----
  void FormCreate();
  void DataTypeClick();
  void BitBtn4Click();
  void ABChange();
  void NUDMouseDown();

  // ---- Checks (inputdataform_checks.cpp); true when a problem was found and shown ----
  bool EXExit();
  bool EYExit();
  bool EABExit();
  bool SGExit();    // may throw ConvertError for a non-numeric cell in column 1 or 2
  bool SGEnter();

  // ---- Commit (inputdataform_commit.cpp) ----
  void BitBtn2Click();

  // ---- Browsing and editing (inputdataform_browse.cpp) ----
  void PreviousClick();
  void NextClick();
  void ShowStation(int index);
  static QString RowLabel(int n);
  void InsertClick();
  void DeleteClick();
  void BitBtn1Click();
  void newProfileClick();
  void UpdateDataClick();
  // The close query: may save; returns whether the window may close.
  bool FormCloseQuery();

  // ---- Saving (inputdataform_save.cpp) ----
  // Returns true when every file the command set out to write was written completely.
  bool SaveBtnClick();
  bool SaveVesFile();
  bool SaveSoundingDat();
  bool WriteCombinedProfile();
  bool WriteFourPoleProfile();

  // ---- Printing (inputdataform_print.cpp) ----
  void N5Click();

  // ---- Help and About ----
  void Image1Click();
  void N10Click();
  void N7Click();

  // Runs a handler; an error escaping it is shown in the error box and the program goes on.
  void guarded(const std::function<void()>& handler);
  // Shows the error box for a message (application title, error icon, OK, full stop rule).
  void showError(const QString& message);

  Dialogs& dialogs() { return dialogs_; }
  QString programPath() const { return programPath_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  void connectHandlers();
  // Simple message box: application title, OK only.
  void simpleMessage(const QString& text);
  // The station the edits, EAB and the grid describe, as the commit and the update build it:
  // Name from nameEdit (or "A"/"B" from the AB branch when nameEdit is null), grid cells read
  // in cellOrder for every row up to the count in EAB (a count below 1 reads none and is kept
  // as 0). Throws ConvertError for a text that is not a number. When a text holds a character
  // that GBK cannot hold, says so naming the field ("...请修改后再" + verb) and returns nothing.
  std::optional<sdata> StationFromControls(const QLineEdit* nameEdit, const std::vector<int>& cellOrder,
                                           const QString& verb);
  // Nothing to browse: CurrentIndex 0, Previous, Next and UpdateData disabled.
  void ResetBrowsing();

 public:
  // ---- Controls, named as in the window definition (each widget's objectName is its name) ----
  RadioGroup* DataType = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLineEdit* ES = nullptr;
  QLineEdit* EP = nullptr;
  QLineEdit* EW = nullptr;
  QLineEdit* EX = nullptr;
  QLineEdit* EY = nullptr;
  QLineEdit* EO = nullptr;
  QLineEdit* EI = nullptr;
  QLabel* NST = nullptr;
  QLineEdit* EAB = nullptr;
  UpDown* NUD = nullptr;
  QLabel* StaticText2 = nullptr;
  StringGrid* SG = nullptr;
  QLabel* ABST = nullptr;
  QComboBox* AB = nullptr;
  QPushButton* BitBtn4 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QLabel* ST = nullptr;
  QPushButton* Previous = nullptr;
  QPushButton* Next = nullptr;
  QPushButton* SaveBtn = nullptr;
  QPushButton* newProfile = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QLabel* Label8 = nullptr;
  QToolButton* Image1 = nullptr;

  // Context menu of the grid.
  QMenu* PopupMenu1 = nullptr;
  QAction* Insert = nullptr;      // "插入一行"
  QAction* Delete = nullptr;      // "删除该行"
  QAction* N4 = nullptr;          // "插入测点"
  QAction* UpdateData = nullptr;  // "更新当前测点"

  // Main menu.
  QMenu* N1 = nullptr;            // "文件(&F)"
  QAction* VES1 = nullptr;        // "保存数据" Ctrl+S
  QAction* N2 = nullptr;          // "新测线(&New)"
  QAction* N5 = nullptr;          // "打印数据(&P)" Ctrl+P
  QAction* N7 = nullptr;          // "退出(&X)" Alt+F4
  QMenu* N8 = nullptr;            // "数据操纵(&D)"
  QAction* N9 = nullptr;          // "插入数据(&I)"
  QAction* N11 = nullptr;         // "清除数据(&C)"
  QAction* N13 = nullptr;         // "上一测点(&P)"
  QAction* N14 = nullptr;         // "下一测点(&N)"
  QMenu* N15 = nullptr;           // "帮助(&H)"
  QAction* N16 = nullptr;         // "使用数据输入程序(&H)" F1
  QAction* N10 = nullptr;         // "关于数据输入(&A)"

 private:
  Dialogs& dialogs_;
  QString programPath_;
  bool inCheck_ = false;  // a focus check is showing its message: no other focus check runs
  // The data type the grid is laid out for; lets a switch save in the format of the old type.
  ::DataType shownType_ = dtSounding;
};

// The application title, the caption of simple message boxes and of the error box.
inline const QString kAppTitle = QStringLiteral("手工输入野外电法观测数据");
