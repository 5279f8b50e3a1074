#pragma once
// The input window: the view of a Survey. It shows the survey's fields, grid, status and
// browse state, reports every typed change back to it, runs its commands from the buttons
// and menus, and answers its questions with the dialogs (moving the focus where a message
// says). It holds no entry rule of its own.
//   inputdataform.cpp           construction, layout, showing the survey, wiring
//   inputdataform_commands.cpp  the commands, the survey's questions, help and About
//   inputdataform_print.cpp     the printed listing
//   inputdataform_csv.cpp       exporting and importing CSV tables

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "session/survey.h"
#include "ui/dialogs.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QToolButton;
class StringGrid;
class RadioGroup;
class UpDown;

class TInputDataForm : public QMainWindow, private Questions, private SurveyObserver {
  Q_OBJECT
 public:
  // dialogs answers every modal question; programPath locates the Data and Help folders
  // (empty: the running program's own path).
  explicit TInputDataForm(Dialogs& dialogs, const QString& programPath = QString(),
                          QWidget* parent = nullptr);
  ~TInputDataForm() override;

  Survey& survey() { return *survey_; }
  const Survey& survey() const { return *survey_; }

  // ---- Commands, as the buttons and menus run them ----
  void chooseDataType();
  void commitStation();
  void updateStation();
  void deleteStation();
  void showPrevious();
  void showNext();
  void insertRow();
  void deleteRow();
  void clearValues();
  void fillDefaultSpacings();
  void branchChosen();
  void startNewLine();
  // Returns true when every file the command set out to write was written completely.
  bool saveSurvey();
  void printListing();
  void previewListing();
  // Writes the stations as a CSV table (BuildCsvExport) to a file the user chooses.
  void exportCsv();
  // Reads a CSV table the user chooses, shows the preview, and imports its stations when the
  // user confirms (Survey::importStations).
  void importCsv();
  void showHelp();
  void showAbout();
  void quit();

  // ---- Focus checks; true when a problem was found and shown ----
  bool leaveX();
  bool leaveY();
  bool leaveCount();
  bool enterGrid();

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
  // Commits an open cell editor, so that its text is in the survey before a command reads it.
  void finishEditing();
  // Shows what changed in the survey.
  void surveyChanged(unsigned changes) override;
  void showFields();
  void showGrid();
  void showType();
  void showBrowseState();
  QLineEdit* edit(Field field) const;
  // The listing of the survey on a printer's pages.
  enum class Painted { Complete, NotStarted, Incomplete };
  Painted paintListing(QPrinter& printer);
  // False, after saying so, when there is nothing to print.
  bool listingAvailable();

  // ---- Questions: the survey's messages and dialogs through Dialogs ----
  Answer ask(const Message& message) override;
  bool chooseSaveFile(SaveDialog& dialog) override;
  std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override;
  AppendChoice askAppendOrReplace() override;

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
  QAction* Insert = nullptr;         // "插入一行"
  QAction* Delete = nullptr;         // "删除该行"
  QAction* N4 = nullptr;             // "插入测点"
  QAction* UpdateData = nullptr;     // "更新当前测点"
  QAction* DeleteStation = nullptr;  // "删除当前测点"

  // Main menu.
  QMenu* N1 = nullptr;             // "文件(&F)"
  QAction* VES1 = nullptr;         // "保存数据" Ctrl+S
  QAction* N2 = nullptr;           // "新测线(&New)"
  QAction* N5 = nullptr;           // "打印数据(&P)" Ctrl+P
  QAction* PrintPreview = nullptr; // "打印预览"
  QAction* ImportCsvAction = nullptr;  // "导入 CSV…"
  QAction* ExportCsvAction = nullptr;  // "导出 CSV…"
  QAction* N7 = nullptr;           // "退出(&X)" Alt+F4
  QMenu* N8 = nullptr;             // "数据操纵(&D)"
  QAction* N9 = nullptr;           // "插入数据(&I)"
  QAction* N11 = nullptr;          // "清除数据(&C)"
  QAction* N13 = nullptr;          // "上一测点(&P)"
  QAction* N14 = nullptr;          // "下一测点(&N)"
  QAction* N12 = nullptr;          // "删除当前测点"
  QMenu* N15 = nullptr;            // "帮助(&H)"
  QAction* N16 = nullptr;          // "使用数据输入程序(&H)" F1
  QAction* N10 = nullptr;          // "关于数据输入(&A)"

 private:
  Dialogs& dialogs_;
  QString programPath_;
  std::unique_ptr<Survey> survey_;
  bool inCheck_ = false;        // a focus check is showing its message: no other focus check runs
  QString csvFolder_;            // where the last CSV file was chosen
};

// The application title, the caption of simple message boxes and of the error box.
inline const QString kAppTitle = QStringLiteral("手工输入野外电法观测数据");
