#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdint>

#include "io/textconv.h"
#include "ui/gbkqt.h"
#include "ui/inputdataform.h"
#include "ui/stringgrid.h"

// Browsing through the committed stations, showing one in the controls, writing the controls
// back into it, the grid-row commands, the new-line command and the close query.

namespace {
QString FloatText(float value) { return QString::fromStdString(FormatFloat15(value)); }

}  // namespace

// ---- Browsing ----

void TInputDataForm::PreviousClick() {
  if (CurrentIndex > 0 && static_cast<std::size_t>(CurrentIndex - 1) < Stations.size()) {
    --CurrentIndex;
    Next->setEnabled(true);
    UpdateData->setEnabled(true);
    ShowStation(CurrentIndex);
  } else {
    Previous->setEnabled(false);
  }
}

void TInputDataForm::NextClick() {
  const long long next = static_cast<long long>(CurrentIndex) + 1;
  if (next >= 0 && next < static_cast<long long>(Stations.size())) {
    ++CurrentIndex;
    Previous->setEnabled(true);
    UpdateData->setEnabled(true);
    ShowStation(CurrentIndex);
  } else {
    Next->setEnabled(false);
  }
}

void TInputDataForm::ShowStation(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= Stations.size()) return;
  const sdata& s = Stations[static_cast<std::size_t>(index)];
  SG->commitEdit();  // an editor left open would later write its text over the station shown
  const ::DataType type = dataType();
  const GridLayout& layout = LayoutFor(type);

  ES->setText(FromGbk(s.Name));
  EP->setText(FromGbk(s.Profile));
  EW->setText(FromGbk(s.WorkArea));
  EX->setText(FloatText(s.X));
  EY->setText(FloatText(s.Y));
  EO->setText(FromGbk(s.Operator));
  EI->setText(FromGbk(s.Instrument));
  EAB->setText(QString::number(s.SpacingCount));

  SG->setRowCount(s.SpacingCount + 1);
  SG->setColCount(layout.gridColumns);
  for (int r = 1; r <= s.SpacingCount; ++r) {
    SG->setCell(0, r, RowLabel(r));
    const auto element = static_cast<std::size_t>(r - 1);
    for (int c = 1; c < layout.gridColumns; ++c) {
      const std::vector<float>& column = s.Columns[static_cast<std::size_t>(layout.columnOf[static_cast<std::size_t>(c)])];
      // A sequence shorter than the count (never made by this program) shows as empty cells.
      SG->setCell(c, r, element < column.size() ? FloatText(column[element]) : QString());
    }
  }

  // Selected without running ABChange, which would empty the resistivities just shown.
  if (type == dtCombinedProfile) AB->setCurrentIndex(s.Name == "A" ? 0 : 1);
}

QString TInputDataForm::RowLabel(int n) { return QString::number(n); }

// ---- Grid rows ----

void TInputDataForm::InsertClick() {
  SG->commitEdit();
  SG->setRowCount(SG->rowCount() + 1);
  const int last = SG->rowCount() - 1;
  EAB->setText(QString::number(last));
  SG->setCell(0, last, RowLabel(last));
  // Without a focused data row the new empty row stays at the end.
  int current = SG->currentDataRow();
  if (current < 1 || current > last) current = last;
  for (int r = last; r > current; --r) {
    SG->setCell(1, r, SG->cell(1, r - 1));
    SG->setCell(2, r, SG->cell(2, r - 1));
  }
  SG->setCell(1, current, QString());
  SG->setCell(2, current, QString());
}

void TInputDataForm::DeleteClick() {
  SG->commitEdit();
  const int rows = SG->rowCount();
  if (rows <= 1) return;
  const int current = SG->currentDataRow();
  if (current < 1 || current >= rows) return;  // no data row holds the focus: nothing to delete
  for (int r = current; r < rows; ++r) {
    SG->setCell(1, r, SG->cell(1, r + 1));
    SG->setCell(2, r, SG->cell(2, r + 1));
  }
  SG->setRowCount(rows - 1);
  EAB->setText(QString::number(rows - 2));
}

void TInputDataForm::BitBtn1Click() {
  SG->commitEdit();
  for (int r = 1; r < SG->rowCount(); ++r)
    for (int c = 2; c < SG->colCount(); ++c) SG->setCell(c, r, QString());
}

// ---- New line and closing ----

namespace {
// Runs the save command for a question answered Yes; an error in it counts as not saved.
bool SaveAnswered(TInputDataForm& form) {
  bool saved = false;
  form.guarded([&] { saved = form.SaveBtnClick(); });
  return saved;
}
}  // namespace

void TInputDataForm::newProfileClick() {
  if (!Stations.empty() && !Saved) {
    const auto answer = dialogs_.message(this, QStringLiteral("警告"), QStringLiteral("输入的数据尚没有保存，是否现在保存它们?"),
                                         Dialogs::Icon::Warning, Dialogs::Buttons::YesNo);
    // The stations are only discarded once they are in a file, or when the user says No.
    if (answer == Dialogs::Answer::Yes && !SaveAnswered(*this)) return;
  }
  Stations.clear();
  ST->setText(QStringLiteral("当前没有数据"));
  if (dataType() == dtCombinedProfile) AB->setCurrentIndex(0);
  ResetBrowsing();
  EX->setText(QStringLiteral("0"));
  EY->setText(QStringLiteral("0"));
  ES->setText(QStringLiteral("S1"));
}

bool TInputDataForm::FormCloseQuery() {
  if (Stations.empty() || Saved) return true;
  const auto answer = dialogs_.message(this, QStringLiteral("提示"), QStringLiteral("是否保存输入的数据?"),
                                       Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
  if (answer != Dialogs::Answer::Yes) return true;
  // Asked to keep the stations: the window stays open unless they are in a file.
  return SaveAnswered(*this);
}

// ---- Update ----

void TInputDataForm::UpdateDataClick() {
  if (CurrentIndex < 0 || static_cast<std::size_t>(CurrentIndex) >= Stations.size()) return;
  const GridLayout& layout = LayoutFor(dataType());
  SG->commitEdit();  // a correction still in the cell editor belongs to the update

  // Everything is converted before the station changes: a text that does not convert ends the
  // command with the station exactly as it was. The update reads the cells column by column.
  std::vector<int> columns;
  for (int c = 1; c < layout.gridColumns; ++c) columns.push_back(c);
  std::optional<sdata> s = StationFromControls(ES, columns, QStringLiteral("更新"));
  if (!s) return;
  Stations[static_cast<std::size_t>(CurrentIndex)] = std::move(*s);
}
