#include "ui/inputdataform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

#include "app/folders.h"
#include "io/textconv.h"
#include "ui/gbkqt.h"
#include "ui/stringgrid.h"
#include "ui/tabout.h"
#include "ui/widgets.h"

namespace {
// AB/2 values written by the default-spacings command, as these exact texts.
const QStringList kDefaultSpacings = {"1.5", "2.5", "4.0", "6",  "9",   "15", "25",
                                      "40",  "60",  "90",  "150", "225", "340"};

QStringList HeadersFor(DataType type) {
  switch (type) {
    case dtSounding: return {"序号", "极距", "视电阻率"};
    case dtWaterFinding: return {"序号", "极距", "视电阻率", "综合激电参数", "半衰时", "衰减度", "偏离度", "视极化率"};
    default: return {"序号", "点号", "AB/2", "MN/2", "视电阻率"};
  }
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text) {
  auto* e = new QLineEdit(text, parent);
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

TInputDataForm::TInputDataForm(Dialogs& dialogs, const QString& programPath, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      programPath_(programPath.isEmpty() ? QCoreApplication::applicationFilePath() : programPath) {
  setObjectName(QStringLiteral("InputDataForm"));
  setWindowTitle(QStringLiteral("输入野外数据..."));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  buildControls();
  buildMenus();
  connectHandlers();
  FormCreate();
  adjustSize();
  setFixedSize(sizeHint());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TInputDataForm::~TInputDataForm() = default;

DataType TInputDataForm::dataType() const {
  const int index = DataType->itemIndex();
  return index >= 0 && index <= dtCombinedProfile ? static_cast<::DataType>(index) : dtCombinedProfile;
}

void TInputDataForm::buildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* outer = new QHBoxLayout(central);

  auto* left = new QVBoxLayout();
  outer->addLayout(left);

  DataType = new RadioGroup(QStringLiteral("数据类型"),
                            {QStringLiteral("电阻率测深"), QStringLiteral("电阻率找水"), QStringLiteral("四极剖面数据"),
                             QStringLiteral("联合剖面法")},
                            2, central);
  DataType->setObjectName(QStringLiteral("DataType"));
  left->addWidget(DataType);

  GroupBox1 = new QGroupBox(QStringLiteral("测点信息"), central);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* form = new QGridLayout(GroupBox1);
  ES = MakeEdit(GroupBox1, "ES", QStringLiteral("S1"));
  EP = MakeEdit(GroupBox1, "EP", QStringLiteral("Profile"));
  EW = MakeEdit(GroupBox1, "EW", QStringLiteral("WorkArea"));
  EX = MakeEdit(GroupBox1, "EX", QStringLiteral("0"));
  EY = MakeEdit(GroupBox1, "EY", QStringLiteral("0"));
  EO = MakeEdit(GroupBox1, "EO", QStringLiteral("Operator"));
  EI = MakeEdit(GroupBox1, "EI", QStringLiteral("DZD"));
  const std::pair<QString, QLineEdit*> rows[] = {
      {QStringLiteral("测点编号"), ES}, {QStringLiteral("剖面编号"), EP},   {QStringLiteral("测区"), EW},
      {QStringLiteral("点位x-坐标"), EX}, {QStringLiteral("点位y-坐标"), EY}, {QStringLiteral("操作员"), EO},
      {QStringLiteral("仪器类型"), EI}};
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
  NST = new QLabel(QStringLiteral("极距个数:"), central);
  NST->setObjectName(QStringLiteral("NST"));
  NST->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  EAB = MakeEdit(central, "EAB", QStringLiteral("1"));
  NUD = new UpDown(EAB, 1, 100, central);
  NUD->setObjectName(QStringLiteral("NUD"));
  NUD->setPosition(1);
  countRow->addWidget(NST);
  countRow->addWidget(EAB);
  countRow->addWidget(NUD);
  left->addLayout(countRow);

  auto* gridButtons = new QHBoxLayout();
  BitBtn4 = MakeButton(central, "BitBtn4", QStringLiteral("默认极距"));
  BitBtn1 = MakeButton(central, "BitBtn1", QStringLiteral("清除数据"));
  BitBtn2 = MakeButton(central, "BitBtn2", QStringLiteral("插入数据"));
  gridButtons->addWidget(BitBtn4);
  gridButtons->addWidget(BitBtn1);
  gridButtons->addWidget(BitBtn2);
  left->addLayout(gridButtons);

  ST = new QLabel(QStringLiteral("ST"), central);
  ST->setObjectName(QStringLiteral("ST"));
  ST->setFrameShape(QFrame::StyledPanel);
  left->addWidget(ST);

  auto* browse = new QHBoxLayout();
  Previous = MakeButton(central, "Previous", QStringLiteral("前一个测点"));
  Next = MakeButton(central, "Next", QStringLiteral("下一个测点"));
  browse->addWidget(Previous);
  browse->addWidget(Next);
  left->addLayout(browse);

  auto* commands = new QGridLayout();
  SaveBtn = MakeButton(central, "SaveBtn", QStringLiteral("保存到文件"));
  newProfile = MakeButton(central, "newProfile", QStringLiteral("新测线"));
  Button1 = MakeButton(central, "Button1", QStringLiteral("打印数据"));
  BitBtn3 = MakeButton(central, "BitBtn3", QStringLiteral("&退出"));
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
  Image1->setToolTip(QStringLiteral("帮助..."));
  brand->addWidget(Label8);
  brand->addStretch();
  brand->addWidget(Image1);
  left->addLayout(brand);
  left->addStretch();

  auto* right = new QVBoxLayout();
  outer->addLayout(right, 1);
  StaticText2 = new QLabel(QStringLiteral("观测数据:"), central);
  StaticText2->setObjectName(QStringLiteral("StaticText2"));
  right->addWidget(StaticText2);
  SG = new StringGrid(central);
  SG->setObjectName(QStringLiteral("SG"));
  SG->setMinimumSize(620, 460);
  right->addWidget(SG, 1);
  auto* branchRow = new QHBoxLayout();
  ABST = new QLabel(QStringLiteral("当前输入"), central);
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

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  Insert = MakeAction(PopupMenu1, "Insert", QStringLiteral("插入一行"));
  Delete = MakeAction(PopupMenu1, "Delete", QStringLiteral("删除该行"));
  PopupMenu1->addSeparator();
  N4 = MakeAction(PopupMenu1, "N4", QStringLiteral("插入测点"));
  UpdateData = MakeAction(PopupMenu1, "UpdateData", QStringLiteral("更新当前测点"));
  UpdateData->setEnabled(false);
  SG->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SG, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(SG->viewport()->mapToGlobal(pos)); });
}

void TInputDataForm::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  N1 = bar->addMenu(QStringLiteral("文件(&F)"));
  N1->setObjectName(QStringLiteral("N1"));
  VES1 = MakeAction(N1, "VES1", QStringLiteral("保存数据"), QKeySequence(Qt::CTRL | Qt::Key_S));
  N2 = MakeAction(N1, "N2", QStringLiteral("新测线(&New)"));
  N1->addSeparator();
  N5 = MakeAction(N1, "N5", QStringLiteral("打印数据(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P));
  N1->addSeparator();
  N7 = MakeAction(N1, "N7", QStringLiteral("退出(&X)"), QKeySequence(Qt::ALT | Qt::Key_F4));

  N8 = bar->addMenu(QStringLiteral("数据操纵(&D)"));
  N8->setObjectName(QStringLiteral("N8"));
  N9 = MakeAction(N8, "N9", QStringLiteral("插入数据(&I)"));
  N11 = MakeAction(N8, "N11", QStringLiteral("清除数据(&C)"));
  N8->addSeparator();
  N13 = MakeAction(N8, "N13", QStringLiteral("上一测点(&P)"));
  N14 = MakeAction(N8, "N14", QStringLiteral("下一测点(&N)"));

  N15 = bar->addMenu(QStringLiteral("帮助(&H)"));
  N15->setObjectName(QStringLiteral("N15"));
  N16 = MakeAction(N15, "N16", QStringLiteral("使用数据输入程序(&H)"), QKeySequence(Qt::Key_F1));
  N15->addSeparator();
  N10 = MakeAction(N15, "N10", QStringLiteral("关于数据输入(&A)"));
}

void TInputDataForm::connectHandlers() {
  auto on = [this](auto* sender, auto signal, void (TInputDataForm::*handler)()) {
    connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
  };
  auto onBool = [this](auto* sender, auto signal, bool (TInputDataForm::*handler)()) {
    connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
  };
  connect(DataType, &RadioGroup::clicked, this, [this](int) { guarded([this] { DataTypeClick(); }); });
  on(BitBtn4, &QPushButton::clicked, &TInputDataForm::BitBtn4Click);
  connect(AB, &QComboBox::activated, this, [this](int) { guarded([this] { ABChange(); }); });
  connect(AB->lineEdit(), &QLineEdit::textEdited, this, [this](const QString&) { guarded([this] { ABChange(); }); });
  on(NUD, &UpDown::pressed, &TInputDataForm::NUDMouseDown);
  on(BitBtn1, &QPushButton::clicked, &TInputDataForm::BitBtn1Click);
  on(N11, &QAction::triggered, &TInputDataForm::BitBtn1Click);
  on(BitBtn2, &QPushButton::clicked, &TInputDataForm::BitBtn2Click);
  on(N4, &QAction::triggered, &TInputDataForm::BitBtn2Click);
  on(Previous, &QPushButton::clicked, &TInputDataForm::PreviousClick);
  on(N13, &QAction::triggered, &TInputDataForm::PreviousClick);
  on(Next, &QPushButton::clicked, &TInputDataForm::NextClick);
  on(N14, &QAction::triggered, &TInputDataForm::NextClick);
  onBool(SaveBtn, &QPushButton::clicked, &TInputDataForm::SaveBtnClick);
  onBool(VES1, &QAction::triggered, &TInputDataForm::SaveBtnClick);
  on(newProfile, &QPushButton::clicked, &TInputDataForm::newProfileClick);
  on(N2, &QAction::triggered, &TInputDataForm::newProfileClick);
  on(Button1, &QPushButton::clicked, &TInputDataForm::N5Click);
  on(N5, &QAction::triggered, &TInputDataForm::N5Click);
  on(BitBtn3, &QPushButton::clicked, &TInputDataForm::N7Click);
  on(N7, &QAction::triggered, &TInputDataForm::N7Click);
  on(Image1, &QToolButton::clicked, &TInputDataForm::Image1Click);
  on(N16, &QAction::triggered, &TInputDataForm::Image1Click);
  on(N10, &QAction::triggered, &TInputDataForm::N10Click);
  on(Insert, &QAction::triggered, &TInputDataForm::InsertClick);
  on(N9, &QAction::triggered, &TInputDataForm::InsertClick);
  on(Delete, &QAction::triggered, &TInputDataForm::DeleteClick);
  on(UpdateData, &QAction::triggered, &TInputDataForm::UpdateDataClick);

  // Leaving EX, EY, EAB runs their checks; entering the grid runs SGEnter. Only focus that moves
  // between controls of this window counts: focus that leaves for a message box, a menu or
  // another program, or comes back from one, does not run a check again.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (inCheck_ || old == nullptr || now == nullptr || old->window() != this || now->window() != this) return;
    auto inGrid = [this](QWidget* w) { return w == SG || SG->isAncestorOf(w); };
    auto run = [this](const std::function<void()>& check) {
      inCheck_ = true;
      guarded(check);
      inCheck_ = false;
    };
    if (old == EX) run([this] { EXExit(); });
    else if (old == EY) run([this] { EYExit(); });
    else if (old == EAB) run([this] { EABExit(); });
    if (inGrid(now) && !inGrid(old) && QApplication::focusWidget() == now) run([this] { SGEnter(); });
  });
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

void TInputDataForm::showError(const QString& message) {
  dialogs_.message(this, kAppTitle, ErrorBoxText(message), Dialogs::Icon::Error, Dialogs::Buttons::Ok);
}

void TInputDataForm::simpleMessage(const QString& text) {
  dialogs_.message(this, kAppTitle, text, Dialogs::Icon::None, Dialogs::Buttons::Ok);
}

void TInputDataForm::closeEvent(QCloseEvent* event) {
  // An error in the close query keeps the window open: its stations may not be saved.
  bool mayClose = false;
  guarded([&] { mayClose = FormCloseQuery(); });
  if (mayClose) {
    event->accept();
  } else {
    event->ignore();
  }
}


// ---- Layout ----

void TInputDataForm::FormCreate() {
  Previous->setEnabled(false);
  Next->setEnabled(false);
  EAB->setText(QStringLiteral("13"));
  NUD->setPosition(13);
  SG->setRowCount(14);
  for (int r = 1; r <= 13; ++r) SG->setCell(0, r, RowLabel(r));
  const QStringList headers = HeadersFor(dtSounding);
  for (int c = 0; c < 3; ++c) SG->setCell(c, 0, headers[c]);
  for (int r = 1; r <= 13; ++r) SG->setCell(1, r, kDefaultSpacings[r - 1]);
  ST->setText(QStringLiteral("没有测点数据"));
  // The Help menu stands at the right end of the menu bar.
  auto* helpBar = new QMenuBar(menuBar());
  helpBar->setObjectName(QStringLiteral("HelpMenuBar"));
  helpBar->addMenu(N15);
  menuBar()->removeAction(N15->menuAction());
  menuBar()->setCornerWidget(helpBar, Qt::TopRightCorner);
  shownType_ = dtSounding;
}

void TInputDataForm::DataTypeClick() {
  const ::DataType chosen = dataType();
  if (chosen == shownType_) return;
  if (!Stations.empty() && !Saved) {
    // Switching discards the list: offer to save it in the format of the type it was typed in.
    const auto answer = dialogs_.message(this, QStringLiteral("警告"), QStringLiteral("输入的数据尚没有保存，是否现在保存它们?"),
                                         Dialogs::Icon::Warning, Dialogs::Buttons::YesNo);
    if (answer == Dialogs::Answer::Yes) {
      DataType->setItemIndex(shownType_);
      if (!SaveBtnClick()) return;  // not saved: stay with the current type and its stations
      DataType->setItemIndex(chosen);
    }
  }
  ABST->hide();
  AB->hide();
  Stations.clear();
  // Nothing to browse any more: reset the browsing state as a new line does.
  ResetBrowsing();
  const QStringList headers = HeadersFor(chosen);
  if (IsSoundingType(chosen)) {
    GroupBox1->setTitle(QStringLiteral("测点信息"));
    ES->setEnabled(true);
    EX->setEnabled(true);
    EY->setEnabled(true);
    NST->setText(QStringLiteral("极距个数"));
    EP->setText(QStringLiteral("0"));
    BitBtn4->show();
    EAB->setText(QStringLiteral("13"));
    NUD->setPosition(13);
    SG->setRowCount(14);
    SG->setColCount(LayoutFor(chosen).gridColumns);
    for (int r = 1; r <= 13; ++r) SG->setCell(0, r, RowLabel(r));
    for (int c = 0; c < headers.size(); ++c) SG->setCell(c, 0, headers[c]);
    for (int r = 1; r <= 13; ++r) SG->setCell(1, r, kDefaultSpacings[r - 1]);
    ST->setText(QStringLiteral("没有测点数据"));
  } else {
    GroupBox1->setTitle(QStringLiteral("测线信息"));
    // EX and EY cannot be edited for the profile types and the commit checks them: a text left
    // in them that is not a number would refuse every line, with no way to correct it.
    float unused = 0.0f;
    if (!TryStrToFloat(EX->text().toStdString(), unused)) EX->setText(QStringLiteral("0"));
    if (!TryStrToFloat(EY->text().toStdString(), unused)) EY->setText(QStringLiteral("0"));
    ES->setEnabled(false);
    EX->setEnabled(false);
    EY->setEnabled(false);
    NST->setText(QStringLiteral("测点个数"));
    ST->setText(QStringLiteral("没有测线"));
    EP->setText(QStringLiteral("0"));
    BitBtn4->hide();
    SG->setColCount(LayoutFor(chosen).gridColumns);
    for (int c = 0; c < headers.size(); ++c) SG->setCell(c, 0, headers[c]);
    for (int r = 1; r < SG->rowCount(); ++r) {
      SG->setCell(1, r, QString::number(20 * r));
      SG->setCell(2, r, QStringLiteral("50"));
      SG->setCell(3, r, QStringLiteral("20"));
    }
    if (chosen == dtCombinedProfile) {
      AB->show();
      ABST->show();
    }
  }
  shownType_ = chosen;
}

void TInputDataForm::BitBtn4Click() {
  EAB->setText(QStringLiteral("13"));
  SG->setRowCount(14);
  for (int r = 1; r <= 13; ++r) SG->setCell(0, r, RowLabel(r));
  for (int r = 1; r <= 13; ++r) SG->setCell(1, r, kDefaultSpacings[r - 1]);
}

void TInputDataForm::ABChange() {
  for (int r = 1; r < SG->rowCount(); ++r) SG->setCell(4, r, QString());
}

void TInputDataForm::NUDMouseDown() { EABExit(); }

void TInputDataForm::ResetBrowsing() {
  CurrentIndex = 0;
  Previous->setEnabled(false);
  Next->setEnabled(false);
  UpdateData->setEnabled(false);
}

// ---- Building a station from the controls ----

namespace {
// A text that cannot be written to the GBK data files, found while reading the controls.
struct UnsavableText {
  QString label;
};
}  // namespace

std::optional<sdata> TInputDataForm::StationFromControls(const QLineEdit* nameEdit, const std::vector<int>& cellOrder,
                                                         const QString& verb) {
  auto gbk = [this](const QLineEdit* edit) {
    try {
      return ToGbk(edit->text());
    } catch (const GbkError&) {
      // The label beside the edit names the field.
      const QString label = edit == ES ? QStringLiteral("测点编号") : edit == EP ? QStringLiteral("剖面编号")
                            : edit == EW ? QStringLiteral("测区") : edit == EX ? QStringLiteral("点位x-坐标")
                            : edit == EO ? QStringLiteral("操作员") : QStringLiteral("仪器类型");
      throw UnsavableText{label};
    }
  };
  auto number = [](const QString& text) { return StrToFloat(text.toStdString()); };
  sdata s;
  try {
    if (nameEdit != nullptr) {
      s.Name = gbk(nameEdit);
    } else {
      s.Name.assign(1, AB->currentIndex() == 0 ? 'A' : 'B');
    }
    s.X = number(EX->text());
    s.Y = number(EY->text());
    s.WorkArea = gbk(EW);
    s.Profile = gbk(EP);
    s.Operator = gbk(EO);
    s.Instrument = gbk(EI);
  } catch (const UnsavableText& bad) {
    dialogs_.message(this, kAppTitle, bad.label + QStringLiteral("中有不能保存到数据文件的字符，请修改后再") + verb + QStringLiteral("。"),
                     Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
    return std::nullopt;
  }
  // Every filled column holds exactly SpacingCount values, so no file gets a negative count.
  s.SpacingCount = std::max<std::int32_t>(StrToInt(EAB->text().toStdString()), 0);
  const GridLayout& layout = LayoutFor(dataType());
  for (int i = 0; i < s.SpacingCount; ++i) {
    for (int g : cellOrder) s.Columns[layout.columnOf[g]].push_back(number(SG->cell(g, i + 1)));
    for (int k : layout.zeroFilled) s.Columns[k].push_back(0.0f);
  }
  return s;
}

// ---- Help and About ----

void TInputDataForm::Image1Click() {
  const QString path = QString::fromStdString(HelpDir(programPath_.toStdString())) + QStringLiteral("rs232.hlp");
  if (!QFileInfo::exists(path)) {
    dialogs_.message(this, kAppTitle, QStringLiteral("找不到帮助文件 %1。").arg(path), Dialogs::Icon::Warning,
                     Dialogs::Buttons::Ok);
    return;
  }
  // There is no WinHelp viewer here: the desktop opens the file with its own handler.
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    dialogs_.message(this, kAppTitle, QStringLiteral("无法打开帮助文件 %1。").arg(path), Dialogs::Icon::Warning,
                     Dialogs::Buttons::Ok);
}

void TInputDataForm::N10Click() {
  TAbout about(this);
  about.setWindowTitle(QStringLiteral("电法勘探数据处理软件..."));
  about.exec();
}

void TInputDataForm::N7Click() { close(); }
