#include <QLineEdit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "io/textconv.h"
#include "ui/inputdataform.h"
#include "ui/stringgrid.h"

// Field and grid checks. Each one reports a problem in a simple message box, gives the focus
// back to the control to correct and returns true; the text typed stays as it is.

namespace {
const QString kNotANumber = QStringLiteral("输入的不是有效的数字。\n\n\t请重新输入.");
const QString kCountLetters = QStringLiteral("极距个数输入无效的字母.");
const QString kCountWrong = QStringLiteral("极距个数输入不正确.\n\n\t请重新输入。");
const QString kCountFirst = QStringLiteral("请首先输入极距个数。");

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

QString RowMessage(int number, const char* what) {
  return QStringLiteral("第 ") + QString::number(number) + QString::fromUtf8(what) +
         QStringLiteral("\n\n\n\t请检查。");
}

bool IsNumber(const QLineEdit* edit) {
  float ignored = 0.0f;
  return TryStrToFloat(edit->text().toStdString(), ignored);
}
}  // namespace

bool TInputDataForm::EXExit() {
  if (IsNumber(EX)) return false;
  simpleMessage(kNotANumber);
  EX->setFocus();
  return true;
}

bool TInputDataForm::EYExit() {
  if (IsNumber(EY)) return false;
  simpleMessage(kNotANumber);
  EY->setFocus();
  return true;
}

bool TInputDataForm::EABExit() {
  std::int32_t n = 0;
  if (!TryStrToInt(EAB->text().toStdString(), n)) {
    simpleMessage(kCountLetters);
    EAB->setText(QStringLiteral("0"));
    EAB->setFocus();
    return true;
  }
  if (!IsSoundingType(dataType()) && n > kMaxProfileCount) {
    simpleMessage(kCountWrong);
    EAB->setFocus();
    return true;
  }
  // A sounding count beyond the grid's limit still resizes the grid (the new rows stay
  // unnumbered) unless it is so large that the grid could not be built at all.
  const std::int64_t rows = static_cast<std::int64_t>(n) + 1;
  if (rows <= kMaxProfileCount + 1) SG->setRowCount(static_cast<int>(rows));
  if (IsSoundingType(dataType()) && rows > kMaxSoundingRows) {
    simpleMessage(kCountWrong);
    EAB->setFocus();
    return true;
  }
  for (int r = 1; r < SG->rowCount(); ++r) SG->setCell(0, r, RowLabel(r));
  return false;
}

bool TInputDataForm::SGEnter() {
  if (EAB->text() != QStringLiteral("0")) return false;
  simpleMessage(kCountFirst);
  EAB->setFocus();
  return true;
}

bool TInputDataForm::SGExit() {
  auto report = [this](int row, const QString& text) {
    simpleMessage(text);
    SG->setFocus();
    SG->setCurrentCell(1, row);
  };
  const int rows = SG->rowCount();
  std::vector<float> spacings;
  spacings.reserve(static_cast<std::size_t>(rows));
  for (int r = 1; r < rows; ++r) {
    const QString c1 = SG->cell(1, r);
    const QString c2 = SG->cell(2, r);
    bool illegal = c1.isEmpty() || c2.isEmpty();
    float a = 0.0f;
    if (!illegal) {
      // A cell that is not a number ends the check (and the commit) with the conversion error.
      a = StrToFloat(c1.toStdString());
      const float b = StrToFloat(c2.toStdString());
      illegal = a <= 0.0f || a > kMaxColumn1 || b <= 0.0f || b > kMaxColumn2;
    }
    if (illegal) {
      report(r, RowMessage(r, " 个极距数据非法。"));
      return true;
    }
    spacings.push_back(a);
  }
  // The first pair (p, q), p < q, of rows closer than the tolerance; the message names q - 1.
  for (std::size_t p = 0; p < spacings.size(); ++p) {
    for (std::size_t q = p + 1; q < spacings.size(); ++q) {
      if (std::fabs(static_cast<double>(spacings[q]) - static_cast<double>(spacings[p])) < kDuplicateTolerance) {
        const int rowQ = static_cast<int>(q) + 1;
        report(rowQ, RowMessage(rowQ - 1, " 个极距数据重复。"));
        return true;
      }
    }
  }
  return false;
}
