#pragma once
// The input window: the view of a Survey. It shows the survey's fields, grid, status and
// browse state, reports every typed change back to it, runs its commands from the buttons
// and menus, and answers its questions with the dialogs (moving the focus where a message
// says). It holds no entry rule of its own.
//   inputdataform.cpp           construction, layout, showing the survey, wiring
//   inputdataform_commands.cpp  the commands, the survey's questions, help and About
//   inputdataform_print.cpp     the printed listing
//   inputdataform_files.cpp     opening files, recent files, drag and drop, the title, the
//                               remembered settings
//   inputdataform_csv.cpp       exporting and importing CSV tables

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "session/survey.h"
#include "ui/dialogs.h"
#include "ui/language.h"

class AppSettings;
class HelpWindow;
class QAction;
class QComboBox;
class QDockWidget;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QSplitter;
class QToolButton;
class ModelPane;
class SectionDock;
class ModelState;
class PlotPane;
class StationDock;
class StationPlanDock;
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
  bool saveSurveyAs();
  // 文件 › 关闭: the survey is closed (after the save question) and the window starts afresh.
  void closeSurvey();
  void printListing();
  // The grid's clipboard and the undo history.
  void pasteCells();
  void copyCells();
  void cutCells();
  void clearCells();
  void undoStep();
  void redoStep();
  void previewListing();
  // Writes the PDF report (listing, and plot pages when chosen) to a file chosen in its dialog.
  void exportPdfReport();
  // Writes the stations as a CSV table (BuildCsvExport) to a file the user chooses.
  void exportCsv();
  // Reads a CSV table the user chooses, shows the preview, and imports its stations when the
  // user confirms (Survey::importStations).
  void importCsv();
  // 解释 › 拟合全部测点: every station without a model (or, when asked, every station) fitted.
  void fitAllStations();
  void showHelp();
  void showAbout();
  void quit();
  // 语言/Language: remembers the interface language for the next start (the window's texts
  // are built once, in the language the program started with) and says so in both languages.
  void chooseLanguage(UiLanguage language);

  // ---- Files and remembered settings ----
  // Opens the files through the survey (one data file of any kind, or several four-pole line
  // files); opened, they head the recent files. True when opened.
  bool openFiles(const QStringList& paths);
  void openFromDialog();                // 文件 › 打开
  void openRecent(const QString& path);  // 文件 › 最近打开的文件; a missing file is removed
  void editDefaultSpacings();           // 文件 › 默认极距设置
  // From now on remembers through settings what is remembered between runs (null: nothing),
  // and puts the remembered values in place: the data type, the operator, instrument and work
  // area, the default spacings, the folders and the recent files.
  void useSettings(AppSettings* settings);
  const QStringList& recentFiles() const { return recent_; }

  // ---- Focus checks; true when a problem was found and shown ----
  bool leaveX();
  bool leaveY();
  bool leaveCount();
  bool enterGrid();

  // Runs a handler; an error escaping it is shown in the error box and the program goes on.
  void guarded(const std::function<void()>& handler);
  // Shows the error box for a message (application title, error icon, OK, full stop rule),
  // with details shown apart when given.
  void showError(const QString& message, const QString& details = QString());

  Dialogs& dialogs() { return dialogs_; }
  QString programPath() const { return programPath_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Typing keys of the station fields: Undo and Redo go to the survey's history, not the field's.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Local files dropped on the window are opened as by 文件 › 打开.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  // Undo, redo and the clipboard commands, in the data menu and the grid's context menu.
  void buildEditActions();
  // Puts the selected cells on the clipboard; cut: and empties them.
  void takeCells(bool cut);
  void connectHandlers();
  void showHistory();
  // The window's size and place from the last run, or its natural size centred on the screen.
  void restoreWindowGeometry();
  // Commits an open cell editor, so that its text is in the survey before a command reads it.
  void finishEditing();
  // Shows what changed in the survey.
  void surveyChanged(unsigned changes) override;
  void showFields();
  // Shows the grid's cells: all of them, or those the survey says changed.
  void showGrid(bool whole = true);
  void showType();
  void showBrowseState();
  QLineEdit* edit(Field field) const;
  // The listing of the survey on a printer's pages.
  enum class Painted { Complete, NotStarted, Incomplete };
  Painted paintListing(QPrinter& printer);
  // False, after saying so, when there is nothing to print.
  bool listingAvailable();
  // The window takes the size of its contents and can be made larger.
  void fitToContents();
  // Makes the window taller by a dock just shown below, within the screen.
  void makeRoomFor(QDockWidget* dock);
  // The docks below the window: the station list and the plan, tabbed.
  std::array<QDockWidget*, 3> bottomDocks() const;
  // The pane shown or hidden from the 查看 menu.
  void fitPlotPane(bool shown);
  // A dock shown right of the charts: the window grows by its width where the screen has room.
  void makeRoomBeside(QDockWidget* dock);
  // ---- Files (inputdataform_files.cpp) ----
  void buildFileMenu();
  void showRecentFiles();
  // "<file name>[*] - 输入野外数据..." with a file, "输入野外数据...[*]" without; the mark while
  // closing would ask to save.
  void showTitle();
  void rememberSettings(unsigned changes);
  void setRecentFiles(const QStringList& files);

  // ---- Questions: the survey's messages and dialogs through Dialogs ----
  Answer ask(const Message& message) override;
  bool chooseSaveFile(SaveDialog& dialog) override;
  std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override;
  AppendChoice askAppendOrReplace() override;
  void runWork(const std::string& label, const std::function<void(const WorkControl&)>& work) override;

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
  // The plot pane beside the grid, in a splitter with the grid's area.
  QSplitter* PlotSplitter = nullptr;
  PlotPane* Plot = nullptr;
  StationDock* StationList = nullptr;  // the station list (its table: StationTable), hidden at first
  QAction* ShowStationList = nullptr;  // 查看 › 测点列表
  StationPlanDock* StationPlan = nullptr;  // the plan of positions (its chart: StationPlan), hidden at first
  QAction* ShowStationPlan = nullptr;      // 查看 › 测点位置图
  // The layered model of the sounding in the grid, drawn by the plot pane and the model panel.
  ModelState* Model = nullptr;
  QDockWidget* ModelDock = nullptr;  // the model panel (ModelPane), right of the charts, hidden at first
  ModelPane* ModelPanel = nullptr;
  SectionDock* Sections = nullptr;    // sections of a line / plan map (its view: SectionView), hidden at first
  QAction* ShowSections = nullptr;    // 查看 › 断面图
  QMenu* InterpMenu = nullptr;            // "解释(&I)"
  QAction* ShowModelPane = nullptr;       // 解释 › 层状模型 (the dock's view action, in 查看 too)
  QAction* FitAllStationsAction = nullptr;  // 解释 › 拟合全部测点…

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
  QAction* SaveAsAction = nullptr; // "另存为(&A)..." Ctrl+Shift+S
  QAction* N2 = nullptr;           // "新测线(&New)"
  QAction* CloseAction = nullptr;  // "关闭(&C)" Ctrl+W
  QAction* N5 = nullptr;           // "打印数据(&P)" Ctrl+P
  QAction* PrintPreview = nullptr; // "打印预览"
  QAction* ImportCsvAction = nullptr;  // "导入 CSV…"
  QAction* ExportCsvAction = nullptr;  // "导出 CSV…"
  QAction* ExportPdfAction = nullptr;  // "导出 PDF 报告(&D)…"
  QAction* N7 = nullptr;           // "退出(&X)" Alt+F4
  QMenu* N8 = nullptr;             // "数据操纵(&D)"
  QAction* N9 = nullptr;           // "插入数据(&I)"
  QAction* N11 = nullptr;          // "清除数据(&C)"
  QAction* N13 = nullptr;          // "上一测点(&P)"
  QAction* N14 = nullptr;          // "下一测点(&N)"
  QAction* N12 = nullptr;          // "删除当前测点"
  QMenu* N17View = nullptr;        // "查看(&V)"
  QAction* ShowPlot = nullptr;     // "显示曲线", checkable; the menu also holds the pane's ExportPlot
  QMenu* N15 = nullptr;            // "帮助(&H)"
  QAction* N16 = nullptr;          // "使用数据输入程序(&H)" F1
  QAction* N10 = nullptr;          // "关于数据输入(&A)"
  QMenu* LanguageMenu = nullptr;   // "语言/Language", the same in both languages
  QAction* LanguageZh = nullptr;   // "中文", checkable
  QAction* LanguageEn = nullptr;   // "English", checkable
  QAction* OpenAction = nullptr;      // 文件 › "打开(&O)..." Ctrl+O
  QMenu* RecentMenu = nullptr;        // 文件 › "最近打开的文件"; items RecentFile1 ...
  QAction* SettingsAction = nullptr;  // 文件 › "默认极距设置(&T)..."

  // Undo, redo and the grid's clipboard (in N8 and PopupMenu1).
  QAction* UndoAction = nullptr;   // "撤销 <step>" Ctrl+Z
  QAction* RedoAction = nullptr;   // "重做 <step>" Ctrl+Y, Ctrl+Shift+Z
  QAction* CutAction = nullptr;    // "剪切" Ctrl+X
  QAction* CopyAction = nullptr;   // "复制" Ctrl+C
  QAction* PasteAction = nullptr;  // "粘贴" Ctrl+V

 private:
  Dialogs& dialogs_;
  int working_ = 0;  // long work is running (runWork): the window is not closed meanwhile
  QString programPath_;
  std::unique_ptr<Survey> survey_;
  bool inCheck_ = false;        // a focus check is showing its message: no other focus check runs
  AppSettings* settings_ = nullptr;
  QStringList recent_;
  QString csvFolder_;            // where the last CSV file was chosen
  HelpWindow* helpWindow_ = nullptr;  // made the first time help is asked for; a child of the window
};

// The application title, the caption of simple message boxes and of the error box.
inline const QString kAppTitle = QStringLiteral("手工输入野外电法观测数据");
// kAppTitle in the interface language.
QString AppTitle();

// Where the window's size and place are kept between runs (QSettings).
inline const QString kSettingsOrganization = QStringLiteral("FieldInput");
inline const QString kSettingsApplication = QStringLiteral("fieldinput");
inline const QString kGeometryKey = QStringLiteral("InputDataForm/geometry");
inline const QString kModelPaneKey = QStringLiteral("InputDataForm/modelPane");
