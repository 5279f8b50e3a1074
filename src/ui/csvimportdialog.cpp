#include "ui/csvimportdialog.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/coretext.h"
#include "session/survey.h"

namespace {
QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// What a column can be chosen to hold, in the chooser's order (after 不导入).
constexpr CsvField kChosenFields[] = {CsvField::Station, CsvField::Branch,  CsvField::X,      CsvField::Y,
                                      CsvField::WorkArea, CsvField::Profile, CsvField::Operator, CsvField::Instrument,
                                      CsvField::PointNo, CsvField::AB2,     CsvField::MN2,     CsvField::Rho,
                                      CsvField::ZP,      CsvField::IP,      CsvField::TH,      CsvField::TD,
                                      CsvField::R};

// The encoding chooser's items, in order.
constexpr CsvEncodingChoice kChoices[] = {CsvEncodingChoice::Detect, CsvEncodingChoice::Utf8, CsvEncodingChoice::Gbk};

QString TypeName(const CsvImportRequest& r, DataType type) {
  const auto i = static_cast<qsizetype>(type);
  return i >= 0 && i < r.typeNames.size() ? r.typeNames[i] : QString::number(i);
}

QString EncodingText(const CsvImportRequest& r) {
  const CsvPreview& p = r.preview;
  if (p.encodingUndecided) return QCoreApplication::translate("CsvImportDialog", "编码：无法确定，请在右边选择");
  if (p.headerRow == 0 && !p.fileError.empty()) return QCoreApplication::translate("CsvImportDialog", "编码：—");
  const QString label = CoreText(std::string(CsvEncodingLabel(p.encoding)));
  if (r.encoding == CsvEncodingChoice::Detect) return QCoreApplication::translate("CsvImportDialog", "编码：%1，自动识别").arg(label);
  return QCoreApplication::translate("CsvImportDialog", "编码：%1，按选择读取").arg(label);
}

QString SeparatorText(const CsvPreview& p) {
  if (p.headerRow == 0) return QCoreApplication::translate("CsvImportDialog", "分隔符：—");
  const QString label = CoreText(std::string(CsvSeparatorLabel(p.separator)));
  if (p.commaDecimals) return QCoreApplication::translate("CsvImportDialog", "分隔符：%1（数字中的“,”当作小数点）").arg(label);
  return QCoreApplication::translate("CsvImportDialog", "分隔符：%1").arg(label);
}

QString TypeText(const CsvImportRequest& r) {
  const CsvPreview& p = r.preview;
  if (!p.typeKnown) return QCoreApplication::translate("CsvImportDialog", "数据类型：看不出");
  const QString name = TypeName(r, p.type);
  if (r.survey == nullptr || r.survey->type() == p.type) return QCoreApplication::translate("CsvImportDialog", "数据类型：%1").arg(name);
  if (r.survey->stations().empty())
    return QCoreApplication::translate("CsvImportDialog", "数据类型：%1（窗口当前是%2，导入时切换到%1）").arg(name, TypeName(r, r.survey->type()));
  return QCoreApplication::translate("CsvImportDialog", "数据类型：%1。窗口当前是%2，导入时先切换到%1，窗口中的 %3 个测点不再保留（没有保存的会先询问是否保存）。")
      .arg(name, TypeName(r, r.survey->type()))
      .arg(r.survey->stations().size());
}

// How a column was understood; whether its cells are taken is said only of a file that can be
// read (of a refused one nothing is taken).
QString UnderstoodAs(const CsvColumn& c, bool fileRead) {
  if (c.field == CsvField::Unknown) return QCoreApplication::translate("CsvImportDialog", "不认识，不导入");
  if (c.field == CsvField::RowNumber) return QCoreApplication::translate("CsvImportDialog", "序号，不导入");
  const QString label = CoreText(std::string(CsvFieldLabel(c.field)));
  if (!c.used && fileRead) return QCoreApplication::translate("CsvImportDialog", "%1，不导入").arg(label);
  return label;
}

QString ImportText(DataType type, std::size_t units, int rows) {
  const auto n = static_cast<qulonglong>(units);
  switch (type) {
    case dtFourPoleProfile: return QCoreApplication::translate("CsvImportDialog", "将导入 %1 条测线（%2 行数据）。").arg(n).arg(rows);
    case dtCombinedProfile: return QCoreApplication::translate("CsvImportDialog", "将导入 %1 个分支（%2 行数据）。").arg(n).arg(rows);
    default: return QCoreApplication::translate("CsvImportDialog", "将导入 %1 个测点（%2 行数据）。").arg(n).arg(rows);
  }
}
}  // namespace

// ---- The request ----

void CsvImportRequest::read(CsvEncodingChoice choice) {
  encoding = choice;
  preview = PreviewCsvFile(QFile::encodeName(path).toStdString(), CsvChoices{choice, type, fields});
  checks = survey != nullptr ? survey->prepareImport(preview) : std::vector<StationProblem>();
}

void CsvImportRequest::chooseType(std::optional<DataType> chosen) {
  type = chosen;
  read(encoding);
}

void CsvImportRequest::mapColumn(int column, CsvField field) {
  if (column < 0 || static_cast<std::size_t>(column) >= preview.columns.size()) return;
  fields.clear();
  for (const CsvColumn& c : preview.columns) fields.push_back(c.field);
  fields[static_cast<std::size_t>(column)] = field;
  read(encoding);
}

bool CsvImportRequest::importable() const { return preview.CanImport() && checks.empty(); }

CsvImportTexts DescribeCsvImport(const CsvImportRequest& r) {
  const CsvPreview& p = r.preview;
  CsvImportTexts t;
  t.file = QCoreApplication::translate("CsvImportDialog", "文件：%1").arg(r.path);
  t.encoding = EncodingText(r);
  t.separator = SeparatorText(p);
  t.type = TypeText(r);
  for (const CsvColumn& c : p.columns)
    t.columns.append({c.header.empty() ? QCoreApplication::translate("CsvImportDialog", "（空）") : Text(c.header), UnderstoodAs(c, p.fileError.empty())});
  for (const CsvRowProblem& problem : p.problems) (problem.refused ? t.refused : t.notes).append(CoreText(problem.message));
  for (const StationProblem& problem : r.checks) t.refused.append(CoreText(problem.message));
  t.importable = r.importable();
  if (!p.fileError.empty()) {
    t.summary = QCoreApplication::translate("CsvImportDialog", "不能导入：%1").arg(CoreText(p.fileError));
  } else if (!r.checks.empty()) {
    t.summary = QCoreApplication::translate("CsvImportDialog", "有 %1 处没有通过输入检查，什么也不会导入。请在电子表格中改正后再导入。")
                    .arg(static_cast<qulonglong>(r.checks.size()));
  } else if (p.stations.empty()) {
    t.summary = QCoreApplication::translate("CsvImportDialog", "文件中没有可以导入的测点。");
  } else {
    t.summary = ImportText(p.type, p.stations.size(), static_cast<int>(p.ImportedReadings()));
    if (p.RefusedRowCount() > 0)
      t.summary += QCoreApplication::translate("CsvImportDialog", "被拒绝的 %1 行不导入。")
                       .arg(static_cast<qulonglong>(p.RefusedRowCount()));
  }
  return t;
}

// ---- The dialog ----

CsvImportDialog::CsvImportDialog(CsvImportRequest& request, QWidget* parent) : QDialog(parent), request_(request) {
  setObjectName(QStringLiteral("CsvImportDialog"));
  setWindowTitle(QCoreApplication::translate("CsvImportDialog", "导入 CSV"));
  auto* layout = new QVBoxLayout(this);

  auto make = [this](const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
  };
  FileLabel = make("CsvFileLabel");
  layout->addWidget(FileLabel);

  auto* encodingRow = new QHBoxLayout();
  EncodingLabel = make("CsvEncodingLabel");
  encodingRow->addWidget(EncodingLabel, 1);
  auto* chooserLabel = new QLabel(QCoreApplication::translate("CsvImportDialog", "按此编码读取："), this);
  encodingRow->addWidget(chooserLabel);
  EncodingBox = new QComboBox(this);
  EncodingBox->setObjectName(QStringLiteral("CsvEncodingBox"));
  EncodingBox->addItems({QCoreApplication::translate("CsvImportDialog", "自动识别"), QStringLiteral("UTF-8"), QStringLiteral("GBK")});
  for (int i = 0; i < EncodingBox->count(); ++i)
    if (kChoices[i] == request_.encoding) EncodingBox->setCurrentIndex(i);
  chooserLabel->setBuddy(EncodingBox);
  encodingRow->addWidget(EncodingBox);
  layout->addLayout(encodingRow);

  SeparatorLabel = make("CsvSeparatorLabel");
  layout->addWidget(SeparatorLabel);
  auto* typeRow = new QHBoxLayout();
  TypeLabel = make("CsvTypeLabel");
  typeRow->addWidget(TypeLabel, 1);
  auto* typeChooserLabel = new QLabel(QCoreApplication::translate("CsvImportDialog", "按此类型导入："), this);
  typeRow->addWidget(typeChooserLabel);
  TypeBox = new QComboBox(this);
  TypeBox->setObjectName(QStringLiteral("CsvTypeBox"));
  TypeBox->addItem(QCoreApplication::translate("CsvImportDialog", "按表头判断"));
  for (int t = dtSounding; t <= dtCombinedProfile; ++t) TypeBox->addItem(TypeName(request_, static_cast<DataType>(t)));
  TypeBox->setCurrentIndex(request_.type ? static_cast<int>(*request_.type) + 1 : 0);
  typeChooserLabel->setBuddy(TypeBox);
  typeRow->addWidget(TypeBox);
  layout->addLayout(typeRow);

  auto* columnsBox = new QGroupBox(QCoreApplication::translate("CsvImportDialog", "各列的理解"), this);
  columnsBox->setObjectName(QStringLiteral("CsvColumnsBox"));
  auto* columnsLayout = new QVBoxLayout(columnsBox);
  ColumnsTable = new QTableWidget(0, 4, columnsBox);
  ColumnsTable->setObjectName(QStringLiteral("CsvColumnsTable"));
  ColumnsTable->setHorizontalHeaderLabels({QCoreApplication::translate("CsvImportDialog", "列"), QCoreApplication::translate("CsvImportDialog", "表头"), QCoreApplication::translate("CsvImportDialog", "理解为"),
                                           QCoreApplication::translate("CsvImportDialog", "改为")});
  ColumnsTable->verticalHeader()->setVisible(false);
  ColumnsTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  ColumnsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ColumnsTable->setSelectionMode(QAbstractItemView::NoSelection);
  ColumnsTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  ColumnsTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  ColumnsTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  ColumnsTable->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
  columnsLayout->addWidget(ColumnsTable);
  layout->addWidget(columnsBox, 2);

  // A framed list of messages; the frame is hidden while the list is empty.
  auto makeList = [this, layout](QGroupBox*& box, QListWidget*& list, const QString& title, const char* boxName,
                                 const char* listName, int stretch) {
    box = new QGroupBox(title, this);
    box->setObjectName(QString::fromLatin1(boxName));
    auto* boxLayout = new QVBoxLayout(box);
    list = new QListWidget(box);
    list->setObjectName(QString::fromLatin1(listName));
    list->setWordWrap(true);
    list->setSpacing(2);
    boxLayout->addWidget(list);
    layout->addWidget(box, stretch);
  };
  makeList(RefusedBox, RefusedList, QCoreApplication::translate("CsvImportDialog", "被拒绝的行"), "CsvRefusedBox", "CsvRefusedList", 2);
  makeList(NotesBox, NotesList, QCoreApplication::translate("CsvImportDialog", "说明"), "CsvNotesBox", "CsvNotesList", 1);

  SummaryLabel = make("CsvSummaryLabel");
  QFont bold = SummaryLabel->font();
  bold.setBold(true);
  SummaryLabel->setFont(bold);
  layout->addWidget(SummaryLabel);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  ImportButton = new QPushButton(QCoreApplication::translate("CsvImportDialog", "导入"), this);
  ImportButton->setObjectName(QStringLiteral("CsvImportButton"));
  CancelButton = new QPushButton(QCoreApplication::translate("CsvImportDialog", "取消"), this);
  CancelButton->setObjectName(QStringLiteral("CsvCancelButton"));
  buttons->addWidget(ImportButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);

  connect(ImportButton, &QPushButton::clicked, this, [this] {
    if (request_.importable()) accept();
  });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(EncodingBox, &QComboBox::activated, this, &CsvImportDialog::encodingChosen);
  connect(TypeBox, &QComboBox::activated, this, [this](int index) {
    request_.chooseType(index <= 0 ? std::nullopt : std::optional<DataType>(static_cast<DataType>(index - 1)));
    showTexts();
  });

  resize(720, 600);
  showTexts();
}

void CsvImportDialog::encodingChosen(int index) {
  if (index < 0 || index >= EncodingBox->count() || kChoices[index] == request_.encoding) return;
  request_.read(kChoices[index]);
  showTexts();
}

void CsvImportDialog::showTexts() {
  texts_ = DescribeCsvImport(request_);
  FileLabel->setText(texts_.file);
  EncodingLabel->setText(texts_.encoding);
  SeparatorLabel->setText(texts_.separator);
  TypeLabel->setText(texts_.type);

  ColumnsTable->setRowCount(static_cast<int>(texts_.columns.size()));
  for (int i = 0; i < texts_.columns.size(); ++i) {
    ColumnsTable->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
    ColumnsTable->setItem(i, 1, new QTableWidgetItem(texts_.columns[i].first));
    ColumnsTable->setItem(i, 2, new QTableWidgetItem(texts_.columns[i].second));
  }
  showColumnChoosers();

  RefusedList->clear();
  RefusedList->addItems(texts_.refused);
  RefusedBox->setTitle(QCoreApplication::translate("CsvImportDialog", "被拒绝的行及原因（%1 条）").arg(texts_.refused.size()));
  RefusedBox->setVisible(!texts_.refused.isEmpty());
  NotesList->clear();
  NotesList->addItems(texts_.notes);
  NotesBox->setVisible(!texts_.notes.isEmpty());

  SummaryLabel->setText(texts_.summary);
  ImportButton->setEnabled(texts_.importable);
  ImportButton->setDefault(texts_.importable);
  CancelButton->setDefault(!texts_.importable);
  if (request_.preview.encodingUndecided) EncodingBox->setFocus();
}

void CsvImportDialog::showColumnChoosers() {
  // A chooser per column; kept from one reading to the next while the columns stay (a chooser
  // that was just used must not be deleted under its own signal).
  const std::vector<CsvColumn>& columns = request_.preview.columns;
  for (int i = 0; i < ColumnsTable->rowCount(); ++i) {
    auto* box = qobject_cast<QComboBox*>(ColumnsTable->cellWidget(i, 3));
    if (box == nullptr) {
      box = new QComboBox(ColumnsTable);
      box->setObjectName(QStringLiteral("CsvColumnField%1").arg(i + 1));
      box->addItem(QCoreApplication::translate("CsvImportDialog", "不导入"), static_cast<int>(CsvField::Unknown));
      for (CsvField f : kChosenFields) box->addItem(CoreText(std::string(CsvFieldLabel(f))), static_cast<int>(f));
      connect(box, &QComboBox::activated, this, [this, box, i](int) {
        request_.mapColumn(i, static_cast<CsvField>(box->currentData().toInt()));
        showTexts();
      });
      ColumnsTable->setCellWidget(i, 3, box);
    }
    const CsvField field = static_cast<std::size_t>(i) < columns.size() ? columns[static_cast<std::size_t>(i)].field : CsvField::Unknown;
    const QSignalBlocker block(box);
    box->setCurrentIndex(std::max(0, box->findData(static_cast<int>(field))));
  }
}
