#pragma once
// The window's translation of the core's texts (messages, the status line, headings, undo step
// names, the plot's notes), which the core keeps in Chinese and marks with
// QT_TRANSLATE_NOOP("core", ...). In the Chinese interface every text comes back unchanged.
//
// A text is translated by the first of these that applies:
//   1. it is a whole text of context "core";
//   2. it was filled in from one of the core's templates (tmpl::kAll): the template is
//      translated and filled in with the parts, each part itself translated when it is a
//      known text (a heading, a field's name, a nested message);
//   3. it has several lines: each line is translated by 1 and 2;
// otherwise it is shown as it is (user data, file names, system error texts).

#include <QString>
#include <string>

struct DataTypeSpec;

QString CoreText(const QString& text);
QString CoreText(const std::string& utf8);

// The grid heading of the column that holds a station's Columns[k], translated; empty when the
// data type's grid has no such column.
QString ColumnHeading(const DataTypeSpec& spec, int k);
// That heading with the column's unit, as an axis title: "极距 (m)", "视电阻率 (Ω·m)".
QString AxisTitle(const DataTypeSpec& spec, int k);
