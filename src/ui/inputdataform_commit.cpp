#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "io/textconv.h"
#include "model/stations.h"
#include "ui/gbkqt.h"
#include "ui/inputdataform.h"
#include "ui/stringgrid.h"

// Committing a station: the checks, the record built from the edits and the grid, its place in
// the x-ordered list, and the window prepared for the next station.

namespace {
const QString kSameCoordinates = QStringLiteral("与该点坐标一样的测点已经输入，请更改点号或坐标后再插入。");
const QString kLineComplete = QStringLiteral("您已经输入完成一条联合剖面的数据输入。请保存输入结果！");

// Two stations whose x and y both differ by less than this are the same point.
constexpr double kSamePointTolerance = 0.1;
// A combined-profiling line is complete with this many branches in the list.
constexpr std::size_t kCombinedBranches = 3;
// x proposed for the next station, per station in the list; EP step per four-pole line.
constexpr int kXStep = 50;
constexpr int kLineStep = 50;

}  // namespace

void TInputDataForm::BitBtn2Click() {
  // A value still in the cell editor belongs to this station; left open, the editor would
  // later write it over the cleared value column.
  SG->commitEdit();
  if (EXExit() || EYExit() || EABExit() || SGExit()) return;

  const ::DataType type = dataType();
  const float x = StrToFloat(EX->text().toStdString());
  const float y = StrToFloat(EY->text().toStdString());

  for (const sdata& s : Stations) {
    if (std::fabs(static_cast<double>(x) - static_cast<double>(s.X)) < kSamePointTolerance &&
        std::fabs(static_cast<double>(y) - static_cast<double>(s.Y)) < kSamePointTolerance) {
      simpleMessage(kSameCoordinates);
      return;
    }
  }

  if (type == dtCombinedProfile && Stations.size() >= kCombinedBranches) {
    dialogs().message(nullptr, QStringLiteral("Karvelo提示"), kLineComplete, Dialogs::Icon::None,
                      Dialogs::Buttons::OkCancel);
    return;
  }

  // The whole record is built, every text converted, before anything in the window changes:
  // a conversion error leaves the list and the controls as they were.
  const QLineEdit* nameEdit = type == dtSounding ? ES : type == dtWaterFinding ? EX : type == dtFourPoleProfile ? EP : nullptr;
  std::optional<sdata> station = StationFromControls(nameEdit, LayoutFor(type).readOrder, QStringLiteral("插入"));
  if (!station) return;

  const std::size_t index = InsertStationByX(Stations, std::move(*station));
  const auto n = static_cast<long long>(Stations.size());

  ST->setText(QStringLiteral("已输入") + QString::number(n) + QStringLiteral("个测点"));
  const int valueColumn = ValueGridColumn(type);
  for (int r = 1; r < SG->rowCount(); ++r) SG->setCell(valueColumn, r, QString());
  EX->setText(QString::number(kXStep * n));
  EY->setText(QStringLiteral("0"));
  ES->setText(QStringLiteral("S") + QString::number(n + 1));

  // A line number that is not an integer is reported once the commit is complete: the line
  // is in the list, and EP keeps its text for the user to correct.
  std::optional<ConvertError> lineNumberError;
  if (type == dtFourPoleProfile) {
    try {
      const long long line = StrToInt(EP->text().toStdString());
      EP->setText(QString::number(line + kLineStep));
    } catch (const ConvertError& e) {
      lineNumberError = e;
    }
  }
  if (type == dtCombinedProfile) AB->setCurrentIndex(AB->currentIndex() == 0 ? 1 : 0);
  if (Stations.size() > 1) {
    Previous->setEnabled(true);
    CurrentIndex = static_cast<int>(index);
  }
  Saved = false;
  if (lineNumberError) throw *lineNumberError;
}
