#include "ui/inputdataform.h"

#include <algorithm>

#include <QCoreApplication>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "ui/coretext.h"
#include "session/datatypespec.h"
#include "ui/modelpane.h"
#include "ui/modelstate.h"
#include "ui/plotpane.h"
#include "ui/sectionview.h"
#include "ui/stationlist.h"
#include "ui/stationplan.h"
#include "ui/stringgrid.h"
#include "ui/uitext.h"
#include "ui/widgets.h"

namespace {
// A scroll area as large as the column of controls it holds, that may be made lower than them:
// then it scrolls vertically. It never scrolls sideways.
class ControlColumn : public QScrollArea {
 public:
  explicit ControlColumn(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  }
  QSize sizeHint() const override {
    const QWidget* w = widget();
    if (w == nullptr) return QScrollArea::sizeHint();
    return w->sizeHint() + QSize(verticalScrollBar()->sizeHint().width(), 0);
  }
  QSize minimumSizeHint() const override {
    const QWidget* w = widget();
    if (w == nullptr) return QScrollArea::minimumSizeHint();
    // As wide as the controls and a scroll bar; a few lines high.
    return QSize(w->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width(), 8 * fontMetrics().height());
  }
};
QLineEdit* MakeEdit(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  return e;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

QAction* MakeAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& keys = {}) {
  auto* a = menu->addAction(text);
  a->setObjectName(QString::fromLatin1(name));
  if (!keys.isEmpty()) a->setShortcut(keys);
  return a;
}
}  // namespace

QString AppTitle() { return QCoreApplication::translate("TInputDataForm", "手工输入野外电法观测数据"); }

TInputDataForm::TInputDataForm(Dialogs& dialogs, const QString& programPath, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      programPath_(programPath.isEmpty() ? QCoreApplication::applicationFilePath() : programPath),
      survey_(std::make_unique<Survey>(static_cast<Questions&>(*this), programPath_.toStdString())) {
  setObjectName(QStringLiteral("InputDataForm"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  buildControls();
  buildMenus();
  buildEditActions();
  buildFileMenu();
  // The Help menu stands at the right end of the menu bar.
  auto* helpBar = new QMenuBar(menuBar());
  helpBar->setObjectName(QStringLiteral("HelpMenuBar"));
  helpBar->addMenu(N15);
  menuBar()->removeAction(N15->menuAction());
  menuBar()->setCornerWidget(helpBar, Qt::TopRightCorner);

  showFields();
  showGrid();
  SG->fitColumns(true);
  showBrowseState();
  showHistory();
  showTitle();
  ST->setText(CoreText(survey_->status()));
  survey_->addObserver(this);
  connectHandlers();
  Plot->rememberLayout(PlotSplitter, ShowPlot);
  Plot->tintOutliersIn(SG);
  connect(ShowPlot, &QAction::toggled, this, &TInputDataForm::fitPlotPane);
  fitToContents();
  restoreWindowGeometry();
  if (QSettings(kSettingsOrganization, kSettingsApplication).value(kModelPaneKey, false).toBool()) {
    ModelDock->show();
    QTimer::singleShot(0, ModelDock, [this] { resizeDocks({ModelDock}, {ModelDock->sizeHint().width()}, Qt::Horizontal); });
  }
}

void TInputDataForm::restoreWindowGeometry() {
  QSettings settings(kSettingsOrganization, kSettingsApplication);
  if (restoreGeometry(settings.value(kGeometryKey).toByteArray())) return;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TInputDataForm::~TInputDataForm() {
  // The plot pane, the station list and the plan observe the survey, which goes before the window's child
  // widgets do.
  delete Plot;
  delete StationList;
  delete StationPlan;
  delete ModelDock;
  delete Sections;
  delete Model;
  survey_->removeObserver(this);
}

void TInputDataForm::buildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* outer = new QHBoxLayout(central);

  // The controls on the left scroll when the window is lower than they are (a small screen, or
  // the docks below taking room), so that every one of them can be reached.
  auto* controls = new ControlColumn(central);
  controls->setObjectName(QStringLiteral("ControlColumn"));
  auto* panel = new QWidget(controls);
  auto* left = new QVBoxLayout(panel);
  left->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(controls);

  DataType = new RadioGroup(QCoreApplication::translate("TInputDataForm", "数据类型"),
                            {QCoreApplication::translate("TInputDataForm", "电阻率测深"), QCoreApplication::translate("TInputDataForm", "电阻率找水"), QCoreApplication::translate("TInputDataForm", "四极剖面数据"),
                             QCoreApplication::translate("TInputDataForm", "联合剖面法")},
                            2, central);
  DataType->setObjectName(QStringLiteral("DataType"));
  left->addWidget(DataType);

  GroupBox1 = new QGroupBox(QCoreApplication::translate("TInputDataForm", "测点信息"), central);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* form = new QGridLayout(GroupBox1);
  ES = MakeEdit(GroupBox1, "ES");
  EP = MakeEdit(GroupBox1, "EP");
  EW = MakeEdit(GroupBox1, "EW");
  EX = MakeEdit(GroupBox1, "EX");
  EY = MakeEdit(GroupBox1, "EY");
  EO = MakeEdit(GroupBox1, "EO");
  EI = MakeEdit(GroupBox1, "EI");
  const std::pair<QString, QLineEdit*> rows[] = {
      {QCoreApplication::translate("TInputDataForm", "测点编号"), ES}, {QCoreApplication::translate("TInputDataForm", "剖面编号"), EP},   {QCoreApplication::translate("TInputDataForm", "测区"), EW},
      {QCoreApplication::translate("TInputDataForm", "点位x-坐标"), EX}, {QCoreApplication::translate("TInputDataForm", "点位y-坐标"), EY}, {QCoreApplication::translate("TInputDataForm", "操作员"), EO},
      {QCoreApplication::translate("TInputDataForm", "仪器类型"), EI}};
  int r = 0;
  for (const auto& [label, edit] : rows) {
    auto* l = new QLabel(label, GroupBox1);
    l->setBuddy(edit);
    form->addWidget(l, r, 0);
    form->addWidget(edit, r, 1);
    ++r;
  }
  left->addWidget(GroupBox1);

  auto* countRow = new QHBoxLayout();
  NST = new QLabel(QCoreApplication::translate("TInputDataForm", "极距个数:"), central);
  NST->setObjectName(QStringLiteral("NST"));
  NST->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  EAB = MakeEdit(central, "EAB");
  NUD = new UpDown(EAB, 1, 100, central);
  NUD->setObjectName(QStringLiteral("NUD"));
  NUD->setPosition(13);
  countRow->addWidget(NST);
  countRow->addWidget(EAB);
  countRow->addWidget(NUD);
  left->addLayout(countRow);

  auto* gridButtons = new QHBoxLayout();
  BitBtn4 = MakeButton(central, "BitBtn4", QCoreApplication::translate("TInputDataForm", "默认极距"));
  BitBtn1 = MakeButton(central, "BitBtn1", QCoreApplication::translate("TInputDataForm", "清除数据"));
  BitBtn2 = MakeButton(central, "BitBtn2", QCoreApplication::translate("TInputDataForm", "插入数据"));
  gridButtons->addWidget(BitBtn4);
  gridButtons->addWidget(BitBtn1);
  gridButtons->addWidget(BitBtn2);
  left->addLayout(gridButtons);

  ST = new QLabel(central);
  ST->setObjectName(QStringLiteral("ST"));
  ST->setFrameShape(QFrame::StyledPanel);
  left->addWidget(ST);

  auto* browse = new QHBoxLayout();
  Previous = MakeButton(central, "Previous", QCoreApplication::translate("TInputDataForm", "前一个测点"));
  Next = MakeButton(central, "Next", QCoreApplication::translate("TInputDataForm", "下一个测点"));
  browse->addWidget(Previous);
  browse->addWidget(Next);
  left->addLayout(browse);

  auto* commands = new QGridLayout();
  SaveBtn = MakeButton(central, "SaveBtn", QCoreApplication::translate("TInputDataForm", "保存到文件"));
  newProfile = MakeButton(central, "newProfile", QCoreApplication::translate("TInputDataForm", "新测线"));
  Button1 = MakeButton(central, "Button1", QCoreApplication::translate("TInputDataForm", "打印数据"));
  BitBtn3 = MakeButton(central, "BitBtn3", QCoreApplication::translate("TInputDataForm", "&退出"));
  commands->addWidget(SaveBtn, 0, 0);
  commands->addWidget(newProfile, 0, 1);
  commands->addWidget(Button1, 1, 0);
  commands->addWidget(BitBtn3, 1, 1);
  left->addLayout(commands);

  auto* brand = new QHBoxLayout();
  Label8 = new QLabel(QStringLiteral("Karvelo"), central);
  Label8->setObjectName(QStringLiteral("Label8"));
  Label8->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
  Label8->setEnabled(false);
  Image1 = new QToolButton(central);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  Image1->setIconSize(QSize(32, 32));
  Image1->setAutoRaise(true);
  Image1->setToolTip(QCoreApplication::translate("TInputDataForm", "帮助..."));
  brand->addWidget(Label8);
  brand->addStretch();
  brand->addWidget(Image1);
  left->addLayout(brand);
  left->addStretch();
  controls->setWidget(panel);

  PlotSplitter = new QSplitter(Qt::Horizontal, central);
  PlotSplitter->setObjectName(QStringLiteral("PlotSplitter"));
  PlotSplitter->setChildrenCollapsible(false);
  auto* gridArea = new QWidget(PlotSplitter);
  gridArea->setObjectName(QStringLiteral("GridArea"));
  auto* right = new QVBoxLayout(gridArea);
  right->setContentsMargins(0, 0, 0, 0);
  PlotSplitter->addWidget(gridArea);
  outer->addWidget(PlotSplitter, 1);
  StaticText2 = new QLabel(QCoreApplication::translate("TInputDataForm", "观测数据:"), central);
  StaticText2->setObjectName(QStringLiteral("StaticText2"));
  right->addWidget(StaticText2);
  SG = new StringGrid(central);
  SG->setObjectName(QStringLiteral("SG"));
  // The grid takes whatever room the window is given.
  SG->setMinimumSize(260, 240);
  right->addWidget(SG, 1);
  auto* branchRow = new QHBoxLayout();
  ABST = new QLabel(QCoreApplication::translate("TInputDataForm", "当前输入"), central);
  ABST->setObjectName(QStringLiteral("ABST"));
  AB = new QComboBox(central);
  AB->setObjectName(QStringLiteral("AB"));
  AB->setEditable(true);
  AB->addItems({QStringLiteral("RhoA"), QStringLiteral("RhoB")});
  AB->setCurrentIndex(0);
  branchRow->addWidget(ABST);
  branchRow->addWidget(AB);
  branchRow->addStretch();
  right->addLayout(branchRow);
  ABST->hide();
  AB->hide();
  // The plot pane comes after the grid's controls in the tab order; it takes the room the
  // window gains when it is made larger.
  Model = new ModelState(*survey_, this);
  Plot = new PlotPane(*survey_, *Model, dialogs_, PlotSplitter);
  PlotSplitter->addWidget(Plot);
  // A wider window widens the grid and the plot alike.
  PlotSplitter->setStretchFactor(0, 1);
  PlotSplitter->setStretchFactor(1, 1);

  // The station list and the plan of positions, docked below; a double click on a row or a
  // click on a point shows the station as Previous/Next would.
  auto showStation = [this](int index) {
    finishEditing();
    survey_->showAt(index);
  };
  StationList = new StationDock(*survey_, showStation, this);
  addDockWidget(Qt::BottomDockWidgetArea, StationList);
  StationList->hide();
  StationPlan = new StationPlanDock(*survey_, showStation, this);
  addDockWidget(Qt::BottomDockWidgetArea, StationPlan);
  // Both share the room below as tabs: shown together they take one row's height, not two.
  tabifyDockWidget(StationList, StationPlan);
  StationPlan->hide();
  Sections = new SectionDock(*survey_, dialogs_, showStation, this);
  addDockWidget(Qt::BottomDockWidgetArea, Sections);
  tabifyDockWidget(StationPlan, Sections);
  Sections->hide();

  // The model panel, right of the charts.
  ModelDock = new QDockWidget(QCoreApplication::translate("TInputDataForm", "层状模型"), this);
  ModelDock->setObjectName(QStringLiteral("ModelDock"));
  ModelPanel = new ModelPane(*Model, dialogs_, ModelDock);
  ModelDock->setWidget(ModelPanel);
  addDockWidget(Qt::RightDockWidgetArea, ModelDock);
  ModelDock->hide();

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  Insert = MakeAction(PopupMenu1, "Insert", QCoreApplication::translate("TInputDataForm", "插入一行"));
  Delete = MakeAction(PopupMenu1, "Delete", QCoreApplication::translate("TInputDataForm", "删除该行"));
  PopupMenu1->addSeparator();
  N4 = MakeAction(PopupMenu1, "N4", QCoreApplication::translate("TInputDataForm", "插入测点"));
  UpdateData = MakeAction(PopupMenu1, "UpdateData", QCoreApplication::translate("TInputDataForm", "更新当前测点"));
  DeleteStation = MakeAction(PopupMenu1, "DeleteStation", QCoreApplication::translate("TInputDataForm", "删除当前测点"));
  SG->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SG, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(SG->viewport()->mapToGlobal(pos)); });
}

void TInputDataForm::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  N1 = bar->addMenu(QCoreApplication::translate("TInputDataForm", "文件(&F)"));
  N1->setObjectName(QStringLiteral("N1"));
  VES1 = MakeAction(N1, "VES1", QCoreApplication::translate("TInputDataForm", "保存数据"), QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveAsAction = MakeAction(N1, "SaveAsAction", QCoreApplication::translate("TInputDataForm", "另存为(&A)..."),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  N2 = MakeAction(N1, "N2", QCoreApplication::translate("TInputDataForm", "新测线(&New)"));
  CloseAction = MakeAction(N1, "CloseAction", QCoreApplication::translate("TInputDataForm", "关闭(&C)"),
                           QKeySequence(Qt::CTRL | Qt::Key_W));
  N1->addSeparator();
  N5 = MakeAction(N1, "N5", QCoreApplication::translate("TInputDataForm", "打印数据(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P));
  PrintPreview = MakeAction(N1, "PrintPreview", QCoreApplication::translate("TInputDataForm", "打印预览"));
  ExportPdfAction = MakeAction(N1, "ExportPdfAction", tr("导出 PDF 报告(&D)…"));
  N1->addSeparator();
  ImportCsvAction = MakeAction(N1, "ImportCsvAction", QCoreApplication::translate("TInputDataForm", "导入 CSV…"));
  ExportCsvAction = MakeAction(N1, "ExportCsvAction", QCoreApplication::translate("TInputDataForm", "导出 CSV…"));
  N1->addSeparator();
  N7 = MakeAction(N1, "N7", QCoreApplication::translate("TInputDataForm", "退出(&X)"), QKeySequence(Qt::ALT | Qt::Key_F4));

  N8 = bar->addMenu(QCoreApplication::translate("TInputDataForm", "数据操纵(&D)"));
  N8->setObjectName(QStringLiteral("N8"));
  N9 = MakeAction(N8, "N9", QCoreApplication::translate("TInputDataForm", "插入数据(&I)"));
  N11 = MakeAction(N8, "N11", QCoreApplication::translate("TInputDataForm", "清除数据(&C)"));
  N8->addSeparator();
  N13 = MakeAction(N8, "N13", QCoreApplication::translate("TInputDataForm", "上一测点(&P)"));
  N14 = MakeAction(N8, "N14", QCoreApplication::translate("TInputDataForm", "下一测点(&N)"));
  N8->addSeparator();
  N12 = MakeAction(N8, "N12", QCoreApplication::translate("TInputDataForm", "删除当前测点"));

  N17View = bar->addMenu(QCoreApplication::translate("TInputDataForm", "查看(&V)"));
  N17View->setObjectName(QStringLiteral("N17View"));
  ShowPlot = MakeAction(N17View, "ShowPlot", QCoreApplication::translate("TInputDataForm", "显示曲线"));
  ShowPlot->setCheckable(true);
  N17View->addAction(Plot->exportAction());
  ShowStationList = StationList->toggleViewAction();
  ShowStationList->setObjectName(QStringLiteral("ShowStationList"));
  ShowStationList->setText(QCoreApplication::translate("TInputDataForm", "测点列表"));
  N17View->addAction(ShowStationList);
  // Shown below the window's contents, a dock takes room of its own where the screen has it.
  for (QDockWidget* dock : bottomDocks())
    connect(dock->toggleViewAction(), &QAction::toggled, this, [this, dock](bool shown) {
      if (!shown) return;
      makeRoomFor(dock);
      // In front of the dock it shares its tabs with, once the tabs have taken it in.
      QTimer::singleShot(0, dock, [dock] { dock->raise(); });
    });
  ShowStationPlan = StationPlan->toggleViewAction();
  ShowStationPlan->setObjectName(QStringLiteral("ShowStationPlan"));
  ShowStationPlan->setText(QCoreApplication::translate("TInputDataForm", "测点位置图"));
  N17View->addAction(ShowStationPlan);
  ShowSections = Sections->toggleViewAction();
  ShowSections->setObjectName(QStringLiteral("ShowSections"));
  ShowSections->setText(QCoreApplication::translate("TInputDataForm", "断面图"));
  N17View->addAction(ShowSections);

  InterpMenu = bar->addMenu(QCoreApplication::translate("TInputDataForm", "解释(&I)"));
  InterpMenu->setObjectName(QStringLiteral("InterpMenu"));
  ShowModelPane = ModelDock->toggleViewAction();
  ShowModelPane->setObjectName(QStringLiteral("ShowModelPane"));
  ShowModelPane->setText(QCoreApplication::translate("TInputDataForm", "层状模型面板"));
  InterpMenu->addAction(ShowModelPane);
  N17View->addAction(ShowModelPane);
  FitAllStationsAction =
      MakeAction(InterpMenu, "FitAllStations", QCoreApplication::translate("TInputDataForm", "拟合全部测点(&A)…"));
  connect(ShowModelPane, &QAction::triggered, this, [this](bool shown) {
    QSettings(kSettingsOrganization, kSettingsApplication).setValue(kModelPaneKey, shown);
    if (shown) makeRoomBeside(ModelDock);
  });

  // The language menu reads the same in both languages, so that it can be found in either.
  LanguageMenu = bar->addMenu(QStringLiteral("语言/Language"));
  LanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
  LanguageZh = MakeAction(LanguageMenu, "LanguageZh", QStringLiteral("中文"));
  LanguageEn = MakeAction(LanguageMenu, "LanguageEn", QStringLiteral("English"));
  auto* languages = new QActionGroup(LanguageMenu);
  for (QAction* a : {LanguageZh, LanguageEn}) {
    a->setCheckable(true);
    languages->addAction(a);
  }
  (CurrentLanguage() == UiLanguage::English ? LanguageEn : LanguageZh)->setChecked(true);

  N15 = bar->addMenu(QCoreApplication::translate("TInputDataForm", "帮助(&H)"));
  N15->setObjectName(QStringLiteral("N15"));
  N16 = MakeAction(N15, "N16", QCoreApplication::translate("TInputDataForm", "使用数据输入程序(&H)"), QKeySequence(Qt::Key_F1));
  N15->addSeparator();
  N10 = MakeAction(N15, "N10", QCoreApplication::translate("TInputDataForm", "关于数据输入(&A)"));
}

void TInputDataForm::buildEditActions() {
  N8->addSeparator();
  UndoAction = MakeAction(N8, "UndoAction", QCoreApplication::translate("TInputDataForm", "撤销"), QKeySequence(Qt::CTRL | Qt::Key_Z));
  RedoAction = MakeAction(N8, "RedoAction", QCoreApplication::translate("TInputDataForm", "重做"));
  RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  N8->addSeparator();
  CutAction = MakeAction(N8, "CutAction", QCoreApplication::translate("TInputDataForm", "剪切"), QKeySequence(Qt::CTRL | Qt::Key_X));
  CopyAction = MakeAction(N8, "CopyAction", QCoreApplication::translate("TInputDataForm", "复制"), QKeySequence(Qt::CTRL | Qt::Key_C));
  PasteAction = MakeAction(N8, "PasteAction", QCoreApplication::translate("TInputDataForm", "粘贴"), QKeySequence(Qt::CTRL | Qt::Key_V));
  PopupMenu1->addSeparator();
  PopupMenu1->addActions({UndoAction, RedoAction});
  PopupMenu1->addSeparator();
  PopupMenu1->addActions({CutAction, CopyAction, PasteAction});
  // Ctrl+Enter commits the station from anywhere in the window.
  N4->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  addAction(N4);
  BitBtn2->setToolTip(QCoreApplication::translate("TInputDataForm", "插入数据 (Ctrl+Enter)"));
}

void TInputDataForm::connectHandlers() {
  auto on = [this](auto* sender, auto signal, auto handler) {
    connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
  };
  connect(DataType, &RadioGroup::clicked, this, [this](int) { guarded([this] { chooseDataType(); }); });
  on(BitBtn4, &QPushButton::clicked, &TInputDataForm::fillDefaultSpacings);
  connect(AB, &QComboBox::activated, this, [this](int) { guarded([this] { branchChosen(); }); });
  connect(AB->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString&) { guarded([this] { survey_->branchEdited(); }); });
  on(NUD, &UpDown::pressed, &TInputDataForm::leaveCount);
  on(BitBtn1, &QPushButton::clicked, &TInputDataForm::clearValues);
  on(N11, &QAction::triggered, &TInputDataForm::clearValues);
  on(BitBtn2, &QPushButton::clicked, &TInputDataForm::commitStation);
  on(N4, &QAction::triggered, &TInputDataForm::commitStation);
  on(Previous, &QPushButton::clicked, &TInputDataForm::showPrevious);
  on(N13, &QAction::triggered, &TInputDataForm::showPrevious);
  on(Next, &QPushButton::clicked, &TInputDataForm::showNext);
  on(N14, &QAction::triggered, &TInputDataForm::showNext);
  on(SaveBtn, &QPushButton::clicked, &TInputDataForm::saveSurvey);
  on(VES1, &QAction::triggered, &TInputDataForm::saveSurvey);
  on(newProfile, &QPushButton::clicked, &TInputDataForm::startNewLine);
  on(N2, &QAction::triggered, &TInputDataForm::startNewLine);
  on(SaveAsAction, &QAction::triggered, &TInputDataForm::saveSurveyAs);
  on(CloseAction, &QAction::triggered, &TInputDataForm::closeSurvey);
  on(Button1, &QPushButton::clicked, &TInputDataForm::printListing);
  on(N5, &QAction::triggered, &TInputDataForm::printListing);
  on(PrintPreview, &QAction::triggered, &TInputDataForm::previewListing);
  on(ExportPdfAction, &QAction::triggered, &TInputDataForm::exportPdfReport);
  on(ImportCsvAction, &QAction::triggered, &TInputDataForm::importCsv);
  on(ExportCsvAction, &QAction::triggered, &TInputDataForm::exportCsv);
  on(FitAllStationsAction, &QAction::triggered, &TInputDataForm::fitAllStations);
  on(BitBtn3, &QPushButton::clicked, &TInputDataForm::quit);
  on(N7, &QAction::triggered, &TInputDataForm::quit);
  on(Image1, &QToolButton::clicked, &TInputDataForm::showHelp);
  on(N16, &QAction::triggered, &TInputDataForm::showHelp);
  on(N10, &QAction::triggered, &TInputDataForm::showAbout);
  connect(LanguageZh, &QAction::triggered, this, [this] { guarded([this] { chooseLanguage(UiLanguage::Chinese); }); });
  connect(LanguageEn, &QAction::triggered, this, [this] { guarded([this] { chooseLanguage(UiLanguage::English); }); });
  on(Insert, &QAction::triggered, &TInputDataForm::insertRow);
  on(N9, &QAction::triggered, &TInputDataForm::insertRow);
  on(Delete, &QAction::triggered, &TInputDataForm::deleteRow);
  on(UpdateData, &QAction::triggered, &TInputDataForm::updateStation);
  on(DeleteStation, &QAction::triggered, &TInputDataForm::deleteStation);
  on(N12, &QAction::triggered, &TInputDataForm::deleteStation);
  on(UndoAction, &QAction::triggered, &TInputDataForm::undoStep);
  on(RedoAction, &QAction::triggered, &TInputDataForm::redoStep);
  on(CutAction, &QAction::triggered, &TInputDataForm::cutCells);
  on(CopyAction, &QAction::triggered, &TInputDataForm::copyCells);
  on(PasteAction, &QAction::triggered, &TInputDataForm::pasteCells);
  on(SG, &StringGrid::clearRequested, &TInputDataForm::clearCells);
  for (int f = 0; f < static_cast<int>(kFieldCount); ++f) edit(static_cast<Field>(f))->installEventFilter(this);
  AB->lineEdit()->installEventFilter(this);

  // Every typed change goes to the survey as it happens.
  for (int f = 0; f < static_cast<int>(kFieldCount); ++f) {
    const auto field = static_cast<Field>(f);
    connect(edit(field), &QLineEdit::textChanged, this,
            [this, field](const QString& text) { survey_->editField(field, text.toStdString()); });
  }
  connect(SG, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    survey_->editCell(item->column(), item->row() + 1, item->text().toStdString());
  });

  // Leaving EX, EY, EAB runs their checks; entering the grid runs its check. Only focus that
  // moves between controls of this window counts: focus that leaves for a message box, a menu
  // or another program, or comes back from one, does not run a check again.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (inCheck_ || old == nullptr || now == nullptr || old->window() != this || now->window() != this) return;
    auto inGrid = [this](QWidget* w) { return w == SG || SG->isAncestorOf(w); };
    auto run = [this](const std::function<void()>& check) {
      inCheck_ = true;
      guarded(check);
      inCheck_ = false;
    };
    if (old == EX) run([this] { leaveX(); });
    else if (old == EY) run([this] { leaveY(); });
    else if (old == EAB) run([this] { leaveCount(); });
    if (inGrid(now) && !inGrid(old) && QApplication::focusWidget() == now) run([this] { enterGrid(); });
  });
}

void TInputDataForm::fitPlotPane(bool shown) {
  // The window grows or shrinks by the pane; the grid keeps the width the user gave it.
  const int pane = (shown ? Plot->sizeHint().width() : Plot->width()) + PlotSplitter->handleWidth();
  if (QLayout* l = layout()) l->activate();
  setMinimumSize(minimumSizeHint());
  int w = width() + (shown ? pane : -pane);
  if (const QScreen* s = screen()) w = std::min(w, s->availableGeometry().width());
  resize(std::max(w, minimumWidth()), height());
}

std::array<QDockWidget*, 3> TInputDataForm::bottomDocks() const { return {StationList, StationPlan, Sections}; }

void TInputDataForm::makeRoomFor(QDockWidget* dock) {
  if (dock->isFloating() || isMaximized() || isFullScreen()) return;
  // Tabbed with a dock already shown, it takes that one's room.
  for (QDockWidget* other : bottomDocks())
    if (other != dock && other->isVisible() && !other->isFloating()) return;
  const QScreen* s = screen();
  if (s == nullptr) return;
  // Taller by the dock, within the screen; moved up where its bottom would leave the screen.
  // Whatever the screen cannot give, the controls' column gives up, and scrolls.
  const QRect room = s->availableGeometry();
  const int frame = frameGeometry().height() - height();
  resize(width(), std::min(height() + dock->sizeHint().height(), room.height() - frame));
  const int below = frameGeometry().bottom() - room.bottom();
  if (below > 0) move(x(), std::max(room.top(), y() - below));
}

void TInputDataForm::makeRoomBeside(QDockWidget* dock) {
  if (dock->isFloating()) return;
  // The dock takes the width it asks for from the grid's side where the window cannot grow.
  QTimer::singleShot(0, dock, [this, dock] { resizeDocks({dock}, {dock->sizeHint().width()}, Qt::Horizontal); });
  if (isMaximized() || isFullScreen()) return;
  const QScreen* s = screen();
  if (s == nullptr) return;
  // Wider by the dock, within the screen; moved left where its right edge would leave it.
  const QRect room = s->availableGeometry();
  const int frame = frameGeometry().width() - width();
  resize(std::min(width() + dock->sizeHint().width(), room.width() - frame), height());
  const int beyond = frameGeometry().right() - room.right();
  if (beyond > 0) move(std::max(room.left(), x() - beyond), y());
}

void TInputDataForm::fitToContents() {
  // The window may be made larger (the grid grows with it) but not smaller than its contents.
  // The layout first takes in a pane just shown or hidden.
  if (QLayout* l = layout()) l->activate();
  setMinimumSize(minimumSizeHint());
  // As large as the contents ask for, on the screen.
  QSize size = sizeHint();
  if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size());
  resize(size.expandedTo(minimumSizeHint()));
}

void TInputDataForm::guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    showError(QString::fromUtf8(e.what()));
  } catch (...) {
    showError(QString());
  }
}

void TInputDataForm::showError(const QString& message, const QString& details) {
  dialogs_.message(this, AppTitle(), ErrorBoxText(message), Dialogs::Icon::Error, Dialogs::Buttons::Ok, details);
}

bool TInputDataForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
    if (UndoAction->shortcuts().contains(keys) || RedoAction->shortcuts().contains(keys)) {
      // Not the field's own undo: the window's Undo and Redo take the key.
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TInputDataForm::closeEvent(QCloseEvent* event) {
  // Long work reads the survey until it ends (or is cancelled in its dialog).
  if (working_ > 0) {
    event->ignore();
    return;
  }
  // An error in the close query keeps the window open: its stations may not be saved.
  bool mayClose = false;
  guarded([&] {
    finishEditing();
    mayClose = survey_->mayClose();
  });
  if (mayClose) {
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue(kGeometryKey, saveGeometry());
    event->accept();
  } else {
    event->ignore();
  }
}

// ---- Showing the survey ----

QLineEdit* TInputDataForm::edit(Field field) const {
  switch (field) {
    case Field::ES: return ES;
    case Field::EP: return EP;
    case Field::EW: return EW;
    case Field::EX: return EX;
    case Field::EY: return EY;
    case Field::EO: return EO;
    case Field::EI: return EI;
    case Field::EAB: return EAB;
  }
  return ES;
}

void TInputDataForm::surveyChanged(unsigned changes) {
  if (changes & change::kType) showType();
  if (changes & change::kFields) showFields();
  if (changes & change::kGrid) {
    showGrid(survey_->changedCells().whole);
    // Columns fit their headings and values; a new data type sizes them afresh.
    SG->fitColumns((changes & change::kType) != 0);
  }
  if (changes & change::kBranch) {
    // Selected without the user's pick, so the resistivities just shown stay.
    if (AB->currentIndex() != survey_->form().branch) AB->setCurrentIndex(survey_->form().branch);
  }
  if (changes & change::kStatus) ST->setText(CoreText(survey_->status()));
  showBrowseState();
  showHistory();
  showTitle();
  rememberSettings(changes);
}

void TInputDataForm::showHistory() {
  UndoAction->setEnabled(survey_->canUndo());
  UndoAction->setText(survey_->canUndo() ? tr("撤销 %1").arg(CoreText(survey_->undoName())) : QCoreApplication::translate("TInputDataForm", "撤销"));
  RedoAction->setEnabled(survey_->canRedo());
  RedoAction->setText(survey_->canRedo() ? tr("重做 %1").arg(CoreText(survey_->redoName())) : QCoreApplication::translate("TInputDataForm", "重做"));
}

void TInputDataForm::showFields() {
  // Only texts that differ are set, so that an edit keeps its cursor while its own text is
  // reported back.
  for (int f = 0; f < static_cast<int>(kFieldCount); ++f) {
    QLineEdit* e = edit(static_cast<Field>(f));
    const QString text = Text(survey_->form().fields[static_cast<std::size_t>(f)]);
    if (e->text() != text) e->setText(text);
  }
}

void TInputDataForm::showGrid(bool whole) {
  const GridTexts& g = survey_->form().grid;
  auto show = [&](int c, int r) {
    // Row 0 holds the headings, texts of the program; the other rows hold what was typed.
    const QString text = r == 0 ? CoreText(g.cell(c, r)) : Text(g.cell(c, r));
    if (SG->cell(c, r) != text) SG->setCell(c, r, text);
  };
  if (SG->colCount() != g.cols() || SG->rowCount() != g.rows()) whole = true;
  if (SG->colCount() != g.cols()) SG->setColCount(g.cols());
  if (SG->rowCount() != g.rows()) SG->setRowCount(g.rows());
  if (whole) {
    for (int r = 0; r < g.rows(); ++r)
      for (int c = 0; c < g.cols(); ++c) show(c, r);
  } else {
    // Only the cells the operation changed: typing in a grid of thousands of rows stays quick.
    for (const auto& [c, r] : survey_->changedCells().cells) show(c, r);
  }
  const std::vector<std::string>& tips = survey_->spec().headerTips;
  for (int c = 0; c < g.cols() && c < static_cast<int>(tips.size()); ++c)
    SG->setHeaderTip(c, CoreText(tips[static_cast<std::size_t>(c)]));
}

void TInputDataForm::showType() {
  const DataTypeSpec& spec = survey_->spec();
  if (DataType->itemIndex() != spec.type) DataType->setItemIndex(spec.type);
  GroupBox1->setTitle(CoreText(spec.groupTitle));
  NST->setText(CoreText(spec.countLabel));
  ES->setEnabled(spec.stationFieldsEditable);
  EX->setEnabled(spec.stationFieldsEditable);
  EY->setEnabled(spec.stationFieldsEditable);
  BitBtn4->setVisible(spec.rows == RowTemplate::DefaultSpacings);
  ABST->setVisible(spec.hasBranches);
  AB->setVisible(spec.hasBranches);
  if (spec.rows == RowTemplate::DefaultSpacings)
    NUD->setPosition(static_cast<int>(survey_->defaultSpacingTexts().size()));
}

void TInputDataForm::showBrowseState() {
  Previous->setEnabled(survey_->previousEnabled());
  Next->setEnabled(survey_->nextEnabled());
  N13->setEnabled(survey_->previousEnabled());
  N14->setEnabled(survey_->nextEnabled());
  UpdateData->setEnabled(survey_->updateEnabled());
  DeleteStation->setEnabled(survey_->deleteEnabled());
  N12->setEnabled(survey_->deleteEnabled());
}
