#include "session/survey.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <new>

#include "io/filenames.h"
#include "io/textconv.h"
#include "model/stations.h"
#include "print/listing.h"
#include "io/templates.h"

namespace {
// ---- Texts ----
const char* const kNotANumber = QT_TRANSLATE_NOOP("core", "输入的不是有效的数字。\n\n\t请重新输入.");
const char* const kCountLetters = QT_TRANSLATE_NOOP("core", "极距个数输入无效的字母.");
const char* const kCountWrong = QT_TRANSLATE_NOOP("core", "极距个数输入不正确.\n\n\t请重新输入。");
const char* const kCountFirst = QT_TRANSLATE_NOOP("core", "请首先输入极距个数。");
const char* const kSameCoordinates = QT_TRANSLATE_NOOP("core", "与该点坐标一样的测点已经输入，请更改点号或坐标后再插入。");
const char* const kLineComplete = QT_TRANSLATE_NOOP("core", "您已经输入完成一条联合剖面的数据输入。请保存输入结果！");
const char* const kUnsavedWarning = QT_TRANSLATE_NOOP("core", "输入的数据尚没有保存，是否现在保存它们?");
const char* const kSaveBeforeClose = QT_TRANSLATE_NOOP("core", "是否保存输入的数据?");
const char* const kShownStationEdited = QT_TRANSLATE_NOOP("core", "当前测点的数据已修改，是否更新?");
const char* const kTypedStationNotInserted =
    QT_TRANSLATE_NOOP("core", "正在输入的测点还没有插入，离开后它的读数将丢失。是否先插入该测点?");
const char* const kNoData = QT_TRANSLATE_NOOP("core", "当前没有数据");

// ---- Limits ----
// A sounding grid holds at most 50 rows (49 spacings).
constexpr int kMaxSoundingRows = 50;
// The most points a profile grid can be given. No grid above this count could pass the grid
// check (point numbers lie in (0, 10000] and differ by 0.1 or more), and building it would
// hold the program for minutes or exhaust memory: such a count is refused before the resize.
constexpr std::int64_t kMaxProfileCount = 100000;
// Bounds of the grid's columns 1 and 2, compared as floats.
constexpr float kMaxColumn1 = 10000.0f;
constexpr float kMaxColumn2 = 50000.0f;
// Two column-1 values closer than this are the same spacing (or point).
constexpr double kDuplicateTolerance = 0.1;
// Two stations whose x and y both differ by less than this are the same point.
constexpr double kSamePointTolerance = 0.1;
// A combined-profiling line is complete with this many branches in the list.
constexpr std::size_t kCombinedBranches = 3;
// x proposed for the next station, per station in the list; EP step per four-pole line.
constexpr int kXStep = 50;
constexpr int kLineStep = 50;

// The name proposed after a station named committed (form text, UTF-8): its trailing number one
// up, with its zeros kept ("R1" -> "R2", "L3-09" -> "L3-10"), skipping names already in the
// list; a name without a trailing number gives fallback.
std::string NameAfter(const std::string& committed, const StationList& stations, const std::string& fallback) {
  std::size_t digits = committed.size();
  while (digits > 0 && committed[digits - 1] >= '0' && committed[digits - 1] <= '9') --digits;
  if (digits == committed.size() || committed.size() - digits > 15) return fallback;
  const std::string prefix = committed.substr(0, digits);
  const std::size_t width = committed.size() - digits;
  long long number = std::stoll(committed.substr(digits));
  auto taken = [&stations](const std::string& name) {
    std::string bytes;
    try {
      bytes = Utf8ToGbk(name);
    } catch (const GbkError&) {
      return false;
    }
    return std::any_of(stations.begin(), stations.end(), [&bytes](const sdata& s) { return s.Name == bytes; });
  };
  std::string name;
  for (std::size_t tries = 0; tries <= stations.size(); ++tries) {
    std::string text = std::to_string(++number);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    name = prefix + text;
    if (!taken(name)) break;
  }
  return name;
}

bool IsNumber(const std::string& text) {
  float ignored = 0.0f;
  return TryStrToFloat(text, ignored);
}

bool SamePoint(double x1, double y1, double x2, double y2) {
  return std::fabs(x1 - x2) < kSamePointTolerance && std::fabs(y1 - y2) < kSamePointTolerance;
}

std::string RowMessage(int number, const char* tmpl) { return Fill(tmpl, {std::to_string(number)}); }

// The label beside a field, which names it in messages.
const char* FieldLabel(Field f) {
  switch (f) {
    case Field::ES: return QT_TRANSLATE_NOOP("core", "测点编号");
    case Field::EP: return QT_TRANSLATE_NOOP("core", "剖面编号");
    case Field::EW: return QT_TRANSLATE_NOOP("core", "测区");
    case Field::EX: return QT_TRANSLATE_NOOP("core", "点位x-坐标");
    case Field::EY: return QT_TRANSLATE_NOOP("core", "点位y-坐标");
    case Field::EO: return QT_TRANSLATE_NOOP("core", "操作员");
    case Field::EI: return QT_TRANSLATE_NOOP("core", "仪器类型");
    case Field::EAB: return QT_TRANSLATE_NOOP("core", "极距个数");
  }
  return "";
}

// A stored number as the form shows it: the shortest text that reads back to it, so that a value
// shows as it was typed and never with the float's noise digits.
std::string FloatText(float value) { return FormatFloatShortest(value); }

struct UnsavableText {
  Field field;
};

// A grid cell whose text is not a number.
struct CellError {
  int col;
  int row;
  std::string what;
};

// ---- Names of the undo history's steps ----
const char* const kStepCell = QT_TRANSLATE_NOOP("core", "输入单元格");
const char* const kStepCommit = QT_TRANSLATE_NOOP("core", "插入数据");
const char* const kStepUpdate = QT_TRANSLATE_NOOP("core", "更新当前测点");
const char* const kStepPrevious = QT_TRANSLATE_NOOP("core", "前一个测点");
const char* const kStepNext = QT_TRANSLATE_NOOP("core", "下一个测点");
const char* const kStepShowStation = QT_TRANSLATE_NOOP("core", "显示测点");
const char* const kStepDeleteStation = QT_TRANSLATE_NOOP("core", "删除当前测点");
const char* const kStepNewLine = QT_TRANSLATE_NOOP("core", "新测线");
const char* const kStepClose = QT_TRANSLATE_NOOP("core", "关闭");
const char* const kStepSwitchType = QT_TRANSLATE_NOOP("core", "切换数据类型");
const char* const kStepInsertRow = QT_TRANSLATE_NOOP("core", "插入一行");
const char* const kStepDeleteRow = QT_TRANSLATE_NOOP("core", "删除该行");
const char* const kStepClearValues = QT_TRANSLATE_NOOP("core", "清除数据");
const char* const kStepDefaultSpacings = QT_TRANSLATE_NOOP("core", "默认极距");
const char* const kStepChooseBranch = QT_TRANSLATE_NOOP("core", "选择当前输入");
const char* const kStepEditBranch = QT_TRANSLATE_NOOP("core", "修改当前输入");

// Typing in one field is one step however many keys it takes: its edits share a key.
int FieldMergeKey(Field f) { return 1 + static_cast<int>(f); }

const char* FieldStepName(Field f, bool soundingCount) {
  switch (f) {
    case Field::ES: return QT_TRANSLATE_NOOP("core", "修改测点编号");
    case Field::EP: return QT_TRANSLATE_NOOP("core", "修改剖面编号");
    case Field::EW: return QT_TRANSLATE_NOOP("core", "修改测区");
    case Field::EX: return QT_TRANSLATE_NOOP("core", "修改点位x-坐标");
    case Field::EY: return QT_TRANSLATE_NOOP("core", "修改点位y-坐标");
    case Field::EO: return QT_TRANSLATE_NOOP("core", "修改操作员");
    case Field::EI: return QT_TRANSLATE_NOOP("core", "修改仪器类型");
    case Field::EAB: return soundingCount ? QT_TRANSLATE_NOOP("core", "修改极距个数") : QT_TRANSLATE_NOOP("core", "修改测点个数");
  }
  return "";
}
}  // namespace

Survey::Survey(Questions& questions, std::string programPath)
    : questions_(questions), programPath_(std::move(programPath)) {
  form_.fields = {"S1", "Profile", "WorkArea", "0", "0", "Operator", "DZD", "13"};
  form_.grid = GridTexts(14, 3);
  const DataTypeSpec& s = SpecFor(dtSounding);
  for (int c = 0; c < 3; ++c) form_.grid.setCell(c, 0, s.headers[static_cast<std::size_t>(c)]);
  layOutSpacings();
  status_ = s.noDataStatus;
  pending_ = 0;  // nobody has been told anything yet
}

void Survey::addObserver(SurveyObserver* observer) { observers_.push_back(observer); }

void Survey::removeObserver(SurveyObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Survey::flush() {
  unsigned changes = pending_;
  pending_ = 0;
  if (changes == 0) return;
  // The model shown is the shown station's: another station shown, or the list changed, may
  // show another model.
  if (changes & (change::kStations | change::kBrowse | change::kType)) changes |= change::kModel;
  toldCells_ = std::move(changedCells_);
  changedCells_ = GridChanges();
  // A change of the list that no setter described is told as a new list.
  if ((changes & change::kStations) && changedStations_.empty())
    changedStations_.push_back({StationListChange::Kind::Whole, stations_.size(), {}});
  toldStations_ = std::move(changedStations_);
  changedStations_.clear();
  for (SurveyObserver* o : std::vector<SurveyObserver*>(observers_)) o->surveyChanged(changes);
}

void Survey::noteCell(int col, int row) {
  if (changedCells_.whole) return;
  // Beyond a quarter of the grid the whole grid is shown again anyway.
  if (changedCells_.cells.size() * 4 > static_cast<std::size_t>(form_.grid.rows()) * static_cast<std::size_t>(form_.grid.cols())) {
    noteWholeGrid();
    return;
  }
  changedCells_.cells.emplace_back(col, row);
}

void Survey::noteWholeGrid() {
  changedCells_.whole = true;
  changedCells_.cells.clear();
}

void Survey::noteStations(StationListChange::Kind kind, std::size_t index, std::vector<std::size_t> order) {
  // After a new list, only the list itself matters.
  if (kind == StationListChange::Kind::Whole) changedStations_.clear();
  changedStations_.push_back({kind, index, std::move(order)});
}

Answer Survey::ask(const Message& message) {
  // Work changes nothing, so there is nothing to show first; and the observers are the
  // window's, on another thread than the work's.
  if (!working_) flush();
  return questions_.ask(message);
}

void Survey::runWork(const char* label, const std::function<void(const WorkControl&)>& work) {
  flush();
  working_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{working_};
  questions_.runWork(label, work);
}

bool Survey::previousEnabled() const {
  const auto n = static_cast<long long>(stations_.size());
  const long long i = currentIndex_;
  if (i >= 1 && i - 1 < n) return true;
  return !browsing_ && i >= 0 && i < n;
}

bool Survey::nextEnabled() const {
  return currentIndex_ >= 0 && static_cast<long long>(currentIndex_) + 1 < static_cast<long long>(stations_.size());
}

bool Survey::updateEnabled() const {
  return browsing_ && currentIndex_ >= 0 && static_cast<std::size_t>(currentIndex_) < stations_.size();
}

// ---- Typing ----

void Survey::editField(Field field, std::string text) {
  if (form_.field(field) == text) return;
  Batch batch(*this, FieldStepName(field, spec().countLimited), FieldMergeKey(field));
  setField(field, std::move(text));
}

void Survey::editCell(int col, int row, std::string text) {
  if (form_.grid.cell(col, row) == text) return;
  Batch batch(*this, kStepCell);
  setCell(col, row, std::move(text));
}

// ---- Checks ----

bool Survey::checkX() {
  if (IsNumber(form_.field(Field::EX))) return false;
  ask(Message::simple(kNotANumber, FocusTarget::onField(Field::EX)));
  return true;
}

bool Survey::checkY() {
  if (IsNumber(form_.field(Field::EY))) return false;
  ask(Message::simple(kNotANumber, FocusTarget::onField(Field::EY)));
  return true;
}

bool Survey::checkCount() {
  // The grid sized to a typed count belongs to the step of typing it.
  Batch batch(*this, FieldStepName(Field::EAB, spec().countLimited), FieldMergeKey(Field::EAB));
  std::int32_t n = 0;
  if (!TryStrToInt(form_.field(Field::EAB), n)) {
    ask(Message::simple(kCountLetters, FocusTarget::onField(Field::EAB)));
    setField(Field::EAB, "0");
    return true;
  }
  const bool limited = spec().countLimited;
  if (!limited && n > kMaxProfileCount) {
    ask(Message::simple(kCountWrong, FocusTarget::onField(Field::EAB)));
    return true;
  }
  // A sounding count beyond the grid's limit still resizes the grid (the new rows stay
  // unnumbered) unless it is so large that the grid could not be built at all.
  const std::int64_t rows = static_cast<std::int64_t>(n) + 1;
  if (rows <= kMaxProfileCount + 1) setGridRows(static_cast<int>(rows));
  if (limited && rows > kMaxSoundingRows) {
    ask(Message::simple(kCountWrong, FocusTarget::onField(Field::EAB)));
    return true;
  }
  for (int r = 1; r < form_.grid.rows(); ++r) setCell(0, r, RowLabel(r));
  return false;
}

int Survey::rowLimit() const {
  return spec().countLimited ? kMaxSoundingRows - 1 : static_cast<int>(kMaxProfileCount);
}

bool Survey::checkGridEntry() {
  if (form_.field(Field::EAB) != "0") return false;
  ask(Message::simple(kCountFirst, FocusTarget::onField(Field::EAB)));
  return true;
}

bool Survey::checkGrid() {
  const GridTexts& g = form_.grid;
  const int rows = g.rows();
  std::vector<float> spacings;
  spacings.reserve(static_cast<std::size_t>(rows));
  for (int r = 1; r < rows; ++r) {
    const std::string& c1 = g.cell(1, r);
    const std::string& c2 = g.cell(2, r);
    // The message points at the first cell of the two that is wrong.
    int illegal = c1.empty() ? 1 : c2.empty() ? 2 : 0;
    float a = 0.0f;
    if (illegal == 0) {
      // A cell that is not a number ends the check (and the commit) with the conversion error.
      a = cellNumber(1, r);
      const float b = cellNumber(2, r);
      illegal = a <= 0.0f || a > kMaxColumn1 ? 1 : b <= 0.0f || b > kMaxColumn2 ? 2 : 0;
    }
    if (illegal != 0) {
      ask(cellMessage(RowMessage(r, tmpl::kIllegalSpacing), illegal, r, false));
      return true;
    }
    spacings.push_back(a);
  }
  // The first pair (p, q), p < q, of rows closer than the tolerance; the message names q - 1.
  for (std::size_t p = 0; p < spacings.size(); ++p) {
    for (std::size_t q = p + 1; q < spacings.size(); ++q) {
      if (std::fabs(static_cast<double>(spacings[q]) - static_cast<double>(spacings[p])) < kDuplicateTolerance) {
        const int rowQ = static_cast<int>(q) + 1;
        ask(cellMessage(RowMessage(rowQ - 1, tmpl::kRepeatedSpacing), 1, rowQ, false));
        return true;
      }
    }
  }
  return false;
}

// ---- Cells named in messages ----

float Survey::cellNumber(int col, int row) const {
  try {
    return StrToFloat(form_.grid.cell(col, row));
  } catch (const ConvertError& e) {
    throw CellError{col, row, e.what()};
  }
}

std::string Survey::cellName(int col, int row) const {
  return Fill(tmpl::kCellName, {std::to_string(row), form_.grid.cell(col, 0)});
}

Message Survey::cellMessage(const std::string& text, int col, int row, bool error) const {
  Message m = error ? Message::error(text) : Message::simple(text);
  m.details = cellName(col, row);
  m.focus = FocusTarget::onCell(col, row);
  return m;
}

std::string Survey::checkSpacingList(const std::vector<std::string>& spacings) {
  if (spacings.empty() || spacings.size() > static_cast<std::size_t>(kMaxSoundingRows - 1))
    return Fill(tmpl::kSpacingCount, {std::to_string(kMaxSoundingRows - 1)});
  float before = 0.0f;
  for (std::size_t i = 0; i < spacings.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    float a = 0.0f;
    if (!TryStrToFloat(spacings[i], a)) return Fill(tmpl::kSpacingNotNumber, {number, spacings[i]});
    if (a <= 0.0f || a > kMaxColumn1) return Fill(tmpl::kSpacingRange, {number});
    if (i > 0 && static_cast<double>(a) - static_cast<double>(before) < kDuplicateTolerance)
      return Fill(tmpl::kSpacingOrder, {number});
    before = a;
  }
  return std::string();
}

// ---- Building a station from the form ----

std::optional<sdata> Survey::stationFromForm(NameSource name, const std::vector<int>& cellOrder, const char* verb) {
  auto gbk = [this](Field f) {
    try {
      std::string bytes = Utf8ToGbk(form_.field(f));
      if (HasControlCharacter(bytes)) throw UnsavableText{f};
      return bytes;
    } catch (const GbkError&) {
      throw UnsavableText{f};
    }
  };
  sdata s;
  try {
    switch (name) {
      case NameSource::StationEdit: s.Name = gbk(Field::ES); break;
      case NameSource::XEdit: s.Name = gbk(Field::EX); break;
      case NameSource::LineEdit: s.Name = gbk(Field::EP); break;
      case NameSource::Branch: s.Name.assign(1, form_.branch == 0 ? 'A' : 'B'); break;
    }
    s.X = StrToFloat(form_.field(Field::EX));
    s.Y = StrToFloat(form_.field(Field::EY));
    s.WorkArea = gbk(Field::EW);
    s.Profile = gbk(Field::EP);
    s.Operator = gbk(Field::EO);
    s.Instrument = gbk(Field::EI);
  } catch (const UnsavableText& bad) {
    Message m = Message::simple(Fill(tmpl::kUnsavableField, {FieldLabel(bad.field), verb}));
    m.icon = Message::Icon::Warning;
    ask(m);
    return std::nullopt;
  }
  // Every filled column holds exactly SpacingCount values, so no file gets a negative count.
  s.SpacingCount = std::max<std::int32_t>(StrToInt(form_.field(Field::EAB)), 0);
  const GridLayout& layout = spec().layout;
  for (auto& column : s.Columns) column.reserve(static_cast<std::size_t>(s.SpacingCount));
  for (int i = 0; i < s.SpacingCount; ++i) {
    for (int g : cellOrder)
      s.Columns[static_cast<std::size_t>(layout.columnOf[static_cast<std::size_t>(g)])].push_back(
          cellNumber(g, i + 1));
    for (int k : layout.zeroFilled) s.Columns[static_cast<std::size_t>(k)].push_back(0.0f);
  }
  return s;
}

// ---- Commit ----

bool Survey::commit() {
  Batch batch(*this, kStepCommit);
  try {
    if (checkX() || checkY() || checkCount() || checkGrid()) return false;
    const float x = StrToFloat(form_.field(Field::EX));
    const float y = StrToFloat(form_.field(Field::EY));
    for (const sdata& s : stations_) {
      if (SamePoint(x, y, s.X, s.Y)) {
        ask(Message::simple(kSameCoordinates));
        return false;
      }
    }
    const DataTypeSpec& sp = spec();
    if (sp.hasBranches && stations_.size() >= kCombinedBranches) {
      Message m = Message::plain(QT_TRANSLATE_NOOP("core", "Karvelo提示"), kLineComplete, Message::Icon::None, Message::Buttons::OkCancel);
      m.owned = false;
      ask(m);
      return false;
    }
    // The whole record is built, every text converted, before anything changes: a conversion
    // error leaves the list and the form as they were.
    std::optional<sdata> station = stationFromForm(sp.nameSource, sp.layout.readOrder, QT_TRANSLATE_NOOP("core", "插入"));
    if (!station) return false;
    // A model accepted while the station was typed goes with it.
    station->Model = form_.model;

    const std::size_t index = insertStation(std::move(*station));
    const auto n = static_cast<long long>(stations_.size());
    touch(change::kStations);

    status_ = Fill(tmpl::kStationCount, {std::to_string(n)});
    touch(change::kStatus);
    // No reading is carried into the next unit; spacings, point numbers, AB/2 and MN/2 stay as
    // the template for it.
    emptyReadings();

    // The next station is proposed after the one just committed: for the sounding types the
    // next name and an x beyond it by the last step along the line; the profile types keep their
    // place after the last unit.
    const std::string committedName = form_.field(Field::ES);
    setField(Field::EX, sp.stationFieldsEditable ? proposedXAfter(stations_, index)
                                                 : proposedNextX(stations_, true));
    setField(Field::EY, "0");
    setField(Field::ES, sp.stationFieldsEditable ? NameAfter(committedName, stations_, "S" + std::to_string(n + 1))
                                                 : "S" + std::to_string(n + 1));

    // A line number that is not an integer is reported once the commit is complete: the line
    // is in the list, and EP keeps its text for the user to correct.
    std::optional<ConvertError> lineNumberError;
    if (sp.nameSource == NameSource::LineEdit) {
      try {
        const long long line = StrToInt(form_.field(Field::EP));
        setField(Field::EP, std::to_string(line + kLineStep));
      } catch (const ConvertError& e) {
        lineNumberError = e;
      }
    }
    if (sp.hasBranches) setBranch(form_.branch == 0 ? 1 : 0);
    currentIndex_ = static_cast<int>(index);
    browsing_ = false;
    touch(change::kBrowse);
    markUnsaved();
    if (lineNumberError) ask(Message::error(lineNumberError->what()));
    return true;
  } catch (const CellError& e) {
    ask(cellMessage(e.what, e.col, e.row, true));
    return false;
  } catch (const ConvertError& e) {
    ask(Message::error(e.what()));
    return false;
  }
}

// ---- Browsing ----

void Survey::showStation(int index) {
  const sdata& s = stations_[static_cast<std::size_t>(index)];
  const GridLayout& layout = spec().layout;
  setField(Field::ES, ShownText(s.Name));
  setField(Field::EP, ShownText(s.Profile));
  setField(Field::EW, ShownText(s.WorkArea));
  setField(Field::EX, FloatText(s.X));
  setField(Field::EY, FloatText(s.Y));
  setField(Field::EO, ShownText(s.Operator));
  setField(Field::EI, ShownText(s.Instrument));
  setField(Field::EAB, std::to_string(s.SpacingCount));

  setGridRows(s.SpacingCount + 1);
  setGridCols(layout.gridColumns);
  for (int r = 1; r <= s.SpacingCount; ++r) {
    setCell(0, r, RowLabel(r));
    const auto element = static_cast<std::size_t>(r - 1);
    for (int c = 1; c < layout.gridColumns; ++c) {
      const std::vector<float>& column = s.Columns[static_cast<std::size_t>(layout.columnOf[static_cast<std::size_t>(c)])];
      // A sequence shorter than the count (never made by this program) shows as empty cells.
      setCell(c, r, element < column.size() ? FloatText(column[element]) : std::string());
    }
  }
  if (spec().hasBranches) setBranch(s.Name == "A" ? 0 : 1);
  // The shown station's model is its own; the form keeps none while it is shown.
  setFormModel(StationModel());
  browsing_ = true;
  markShown();
  touch(change::kBrowse);
}

bool Survey::leaveShownStation() {
  if (!updateEnabled() || form_ == shownForm_) return true;
  Message m = Message::plain(QT_TRANSLATE_NOOP("core", "提示"), kShownStationEdited, Message::Icon::Question, Message::Buttons::YesNoCancel);
  switch (ask(m)) {
    case Answer::Yes: return update();
    case Answer::No: markShown(); return true;
    default: return false;
  }
}

bool Survey::readingsTyped() const {
  for (int c : spec().measuredColumns)
    for (int r = 1; r < form_.grid.rows(); ++r)
      if (!form_.grid.cell(c, r).empty()) return true;
  return false;
}

Survey::Leave Survey::leaveTypedStation() {
  // A station being typed whose readings were not inserted would be lost without a word:
  // insert it, leave it, or stay.
  if (browsing_ || !readingsTyped()) return Leave::Go;
  Message m = Message::plain(QT_TRANSLATE_NOOP("core", "提示"), kTypedStationNotInserted, Message::Icon::Question,
                             Message::Buttons::YesNoCancel);
  switch (ask(m)) {
    case Answer::Yes: return commit() ? Leave::Inserted : Leave::Stay;
    case Answer::No: return Leave::Go;
    default: return Leave::Stay;
  }
}

bool Survey::showAt(int index) {
  Batch batch(*this, kStepShowStation);
  if (index < 0 || static_cast<std::size_t>(index) >= stations_.size()) return false;
  if (browsing_ && index == currentIndex_) return true;
  switch (leaveTypedStation()) {
    case Leave::Stay: return false;
    case Leave::Inserted:
      // The inserted station takes its place in x order, before or after the one asked for.
      if (currentIndex_ <= index) ++index;
      break;
    case Leave::Go:
      if (!leaveShownStation()) return false;
      break;
  }
  currentIndex_ = index;
  showStation(currentIndex_);
  return true;
}

bool Survey::previous() {
  Batch batch(*this, kStepPrevious);
  if (!previousEnabled()) return false;
  switch (leaveTypedStation()) {
    case Leave::Stay: return false;
    case Leave::Inserted: showStation(currentIndex_); return true;
    case Leave::Go: break;
  }
  if (!leaveShownStation()) return false;
  const long long i = currentIndex_;
  if (i >= 1 && i - 1 < static_cast<long long>(stations_.size())) --currentIndex_;
  // While the next unit's proposal is shown and no station stands before the current index,
  // the station at the index itself is the one before the proposal.
  showStation(currentIndex_);
  return true;
}

bool Survey::next() {
  Batch batch(*this, kStepNext);
  if (!nextEnabled()) return false;
  if (!leaveShownStation()) return false;
  ++currentIndex_;
  showStation(currentIndex_);
  return true;
}

void Survey::resetBrowsing() {
  currentIndex_ = 0;
  browsing_ = false;
  touch(change::kBrowse);
}

// ---- Update and delete ----

bool Survey::update() {
  Batch batch(*this, kStepUpdate);
  if (!updateEnabled()) return false;
  try {
    // Everything is converted before the station changes: a text that does not convert ends
    // the command with the station exactly as it was. The update reads every grid column in
    // order and takes the name from ES for every data type.
    const GridLayout& layout = spec().layout;
    std::vector<int> columns;
    for (int c = 1; c < layout.gridColumns; ++c) columns.push_back(c);
    std::optional<sdata> s = stationFromForm(NameSource::StationEdit, columns, QT_TRANSLATE_NOOP("core", "更新"));
    if (!s) return false;
    // A changed station is a change of the survey that a file does not hold yet: closing must
    // ask, or the correction is lost. An update that changes nothing leaves the state as it is.
    // The form holds neither Z nor the layered model: they stay with the station.
    const sdata& before = stations_[static_cast<std::size_t>(currentIndex_)];
    s->Z = before.Z;
    s->Model = before.Model;
    const bool changed = *s != before;
    replaceStation(static_cast<std::size_t>(currentIndex_), std::move(*s));
    if (changed) markUnsaved();
    markShown();
    return true;
  } catch (const CellError& e) {
    ask(cellMessage(e.what, e.col, e.row, true));
    return false;
  } catch (const ConvertError& e) {
    ask(Message::error(e.what()));
    return false;
  }
}

bool Survey::deleteStation() {
  Batch batch(*this, kStepDeleteStation);
  if (!deleteEnabled()) return false;
  const sdata& s = stations_[static_cast<std::size_t>(currentIndex_)];
  const std::string text = Fill(tmpl::kDeleteStation, {ShownText(s.Name), FloatText(s.X)});
  if (ask(Message::plain(QT_TRANSLATE_NOOP("core", "删除当前测点"), text, Message::Icon::Question, Message::Buttons::YesNo)) != Answer::Yes)
    return false;
  eraseStation(static_cast<std::size_t>(currentIndex_));
  markUnsaved();
  const auto n = static_cast<int>(stations_.size());
  if (n == 0) {
    status_ = kNoData;
    resetBrowsing();
  } else {
    status_ = Fill(tmpl::kStationCount, {std::to_string(n)});
    currentIndex_ = std::min(currentIndex_, n - 1);
    showStation(currentIndex_);
  }
  touch(change::kStatus);
  return true;
}

// ---- Discarding the list: new line, type switch, close ----

bool Survey::maybeSave(const char* caption, const char* text, Message::Icon icon) {
  if (!needsSaveBeforeDiscard()) return true;
  switch (ask(Message::plain(caption, text, icon, Message::Buttons::YesNoCancel))) {
    case Answer::Yes: return save();  // discarded only once they are in a file
    case Answer::No: return true;
    default: return false;
  }
}

bool Survey::mayDiscardList() {
  // The unsaved stations are saved in the format of the type they were typed in.
  return leaveShownStation() && maybeSave(QT_TRANSLATE_NOOP("core", "警告"), kUnsavedWarning, Message::Icon::Warning);
}

bool Survey::newLine() {
  Batch batch(*this, kStepNewLine);
  if (!mayDiscardList()) return false;
  startAfresh();
  return true;
}

bool Survey::closeSurvey() {
  Batch batch(*this, kStepClose);
  if (!mayDiscardList()) return false;
  startAfresh();
  setField(Field::EP, "0");
  return true;
}

void Survey::startAfresh() {
  clearStations();
  forgetFile();
  status_ = kNoData;
  touch(change::kStatus);
  if (spec().hasBranches) setBranch(0);
  resetBrowsing();
  setField(Field::EX, "0");
  setField(Field::EY, "0");
  setField(Field::ES, "S1");
  // A new line starts without the old station's readings; the spacings stay.
  emptyReadings();
}

void Survey::emptyReadings() {
  for (int c : spec().measuredColumns)
    for (int r = 1; r < form_.grid.rows(); ++r) setCell(c, r, std::string());
  // A model accepted for the readings goes with them.
  setFormModel(StationModel());
}

bool Survey::switchType(DataType chosen) {
  Batch batch(*this, kStepSwitchType);
  if (chosen == type_) return true;
  if (!mayDiscardList()) return false;
  layOutType(chosen);
  return true;
}

void Survey::layOutType(DataType chosen) {
  clearStations();
  forgetFile();
  resetBrowsing();
  type_ = chosen;
  touch(change::kType);
  const DataTypeSpec& sp = SpecFor(chosen);
  const GridTexts& g = form_.grid;
  if (sp.stationFieldsEditable == false) {
    // EX and EY cannot be edited for the profile types and the commit checks them: a text left
    // in them that is not a number would refuse every line, with no way to correct it.
    if (!IsNumber(form_.field(Field::EX))) setField(Field::EX, "0");
    if (!IsNumber(form_.field(Field::EY))) setField(Field::EY, "0");
  }
  setField(Field::EP, "0");
  if (sp.rows == RowTemplate::DefaultSpacings) {
    setGridCols(sp.layout.gridColumns);
    layOutSpacings();
  } else {
    setGridCols(sp.layout.gridColumns);
    for (int r = 1; r < g.rows(); ++r) {
      setCell(1, r, std::to_string(20LL * r));
      setCell(2, r, "50");
      setCell(3, r, "20");
    }
  }
  for (int c = 0; c < static_cast<int>(sp.headers.size()); ++c) setCell(c, 0, sp.headers[static_cast<std::size_t>(c)]);
  // No value typed under the old headings stays to be read under the new ones.
  emptyReadings();
  if (sp.rows == RowTemplate::DefaultSpacings) {
    // Sounding grids beyond the measured columns hold nothing else either.
    for (int c = 2; c < g.cols(); ++c)
      for (int r = 1; r < g.rows(); ++r) setCell(c, r, std::string());
  }
  status_ = sp.noDataStatus;
  touch(change::kStatus);
}

bool Survey::mayClose() {
  Batch batch(*this);
  if (!leaveShownStation()) return false;
  return maybeSave(QT_TRANSLATE_NOOP("core", "提示"), kSaveBeforeClose, Message::Icon::Question);
}

// ---- Grid commands ----

void Survey::insertRow(int currentRow) {
  Batch batch(*this, kStepInsertRow);
  setGridRows(form_.grid.rows() + 1);
  const int last = form_.grid.rows() - 1;
  setField(Field::EAB, std::to_string(last));
  setCell(0, last, RowLabel(last));
  // Without a focused data row the new empty row stays at the end. Every column of the rows
  // below moves, so each value stays beside its spacing.
  if (currentRow < 1 || currentRow > last) currentRow = last;
  shiftRows(currentRow, true);
}

void Survey::deleteRow(int currentRow) {
  Batch batch(*this, kStepDeleteRow);
  const int rows = form_.grid.rows();
  if (rows <= 1 || currentRow < 1 || currentRow >= rows) return;  // no data row holds the focus
  shiftRows(currentRow, false);
  setGridRows(rows - 1);
  setField(Field::EAB, std::to_string(rows - 2));
}

void Survey::clearValues() {
  Batch batch(*this, kStepClearValues);
  const GridTexts& g = form_.grid;
  for (int r = 1; r < g.rows(); ++r)
    for (int c = 2; c < g.cols(); ++c) setCell(c, r, std::string());
  setFormModel(StationModel());  // the readings it was accepted for are gone
}

void Survey::defaultSpacings() {
  Batch batch(*this, kStepDefaultSpacings);
  layOutSpacings();
}

void Survey::layOutSpacings() {
  const int n = static_cast<int>(defaultSpacings_.size());
  setField(Field::EAB, std::to_string(n));
  setGridRows(n + 1);
  for (int r = 1; r <= n; ++r) {
    setCell(0, r, RowLabel(r));
    setCell(1, r, defaultSpacings_[static_cast<std::size_t>(r - 1)]);
  }
}

void Survey::chooseBranch(int index) {
  Batch batch(*this, kStepChooseBranch);
  setBranch(index);
  branchEdited();
}

void Survey::branchEdited() {
  Batch batch(*this, kStepEditBranch);
  for (int r = 1; r < form_.grid.rows(); ++r) setCell(4, r, std::string());
}

std::string Survey::proposedXAfter(const StationList& stations, std::size_t index) {
  // The last step: from the station before it in x order (walking up the line), or, for the
  // first station of the list, from the one after it (walking down); 50 for a lone station.
  const double x = stations[index].X;
  double step = kXStep;
  if (index > 0) step = x - static_cast<double>(stations[index - 1].X);
  else if (stations.size() > 1) step = x - static_cast<double>(stations[1].X);
  if (!(std::fabs(step) >= kSamePointTolerance)) step = kXStep;
  double next = x + step;
  for (std::size_t tries = 0; tries < stations.size(); ++tries) {
    const bool taken = std::any_of(stations.begin(), stations.end(), [next](const sdata& s) {
      return std::fabs(next - static_cast<double>(s.X)) < kSamePointTolerance;
    });
    if (!taken) break;
    next += step;
  }
  const float shown = static_cast<float>(next);
  if (!std::isfinite(shown)) return FloatText(stations[index].X);
  return FloatText(shown);
}

std::string Survey::proposedNextX(const StationList& stations, bool pastTaken) {
  // 50 per unit in the list. Where x cannot be typed (pastTaken: the profile types) and a unit
  // already stands there, that proposal could never be committed: the next free place beyond
  // the last unit is proposed instead.
  double x = static_cast<double>(kXStep) * static_cast<double>(stations.size());
  if (pastTaken) {
    const bool taken = std::any_of(stations.begin(), stations.end(), [x](const sdata& s) {
      return std::fabs(x - static_cast<double>(s.X)) < kSamePointTolerance;
    });
    if (taken) {
      float largest = stations.front().X;
      for (const sdata& s : stations) largest = std::max(largest, s.X);
      x = static_cast<double>(largest) + kXStep;
    }
  }
  if (x == std::floor(x) && std::fabs(x) < 1e15) return std::to_string(static_cast<long long>(x));
  return FloatText(static_cast<float>(x));
}

// ---- Listing and loading ----

std::vector<std::string> Survey::listing() const {
  std::vector<std::string> lines;
  switch (spec().listing) {
    case ListingKind::Ves: BuildVesListing(stations_, lines); break;
    case ListingKind::Dat: BuildDatListing(stations_, lines); break;
    case ListingKind::None: break;
  }
  return lines;
}

void Survey::load(DataType type, StationList stations, int currentIndex, bool saved) {
  Batch batch(*this);
  if (type != type_) layOutType(type);
  stations_ = std::move(stations);
  noteStations(StationListChange::Kind::Whole, stations_.size());
  touch(change::kStations);
  forgetFile();
  resetBrowsing();
  currentIndex_ = currentIndex;
  saved_ = saved;
  touch(change::kSaved);
  status_ = stations_.empty() ? spec().noDataStatus : Fill(tmpl::kStationCount, {std::to_string(stations_.size())});
  touch(change::kStatus);
  // Nothing before the loaded survey can be brought back.
  forgetHistory(saved);
}

void Survey::forgetHistory(bool saved) {
  step_.reset();
  cleanAfterStep_ = false;
  history_.clear(saved);
  touch(change::kHistory);
}
