#pragma once
// Exporting a survey as a CSV table for spreadsheets.

#include <string>

#include "model/sdata.h"

// The CSV file of the stations of one data type, in list order:
// - UTF-8 with a byte-order mark (so that spreadsheets take the Chinese texts as UTF-8),
//   ',' between cells, CR LF after every row;
// - a header row naming the columns CsvExportColumns(type) in Chinese and English;
// - one row per reading, the station's name (the branch, A or B, for a combined profile), x,
//   y, work area, profile, operator and instrument repeated on every row; a station without
//   readings gets one row whose reading cells are empty;
// - numbers in the shortest form that reads back as the same float ("0.1", "1e-05"), with '.'
//   as the decimal point whatever the locale;
// - texts converted from GBK; a text is quoted when it holds a ',', a quote (written twice),
//   a line break, or a blank at either end.
// Reading columns are taken from Columns[k] per the data type's grid layout. A station has as
// many reading rows as its longest reading column; a shorter column (which no path into the
// model makes) leaves its cells empty, so that the import names those rows instead of the
// export dropping values. Values are expected to be finite, as every
// path into the model makes them; PreviewCsv refuses a row holding "nan" or "inf".
// Sounding stations with a layered model: the header and every reading row gain the model's
// apparent resistivity (ideal Schlumberger, ModelApparentResistivity) and the residual in
// percent of the reading (ResidualPercent), empty for a station without a model; below the
// readings, after an empty row, a table of the models: station, x, y, 层号 Layer (from 1),
// 层厚 Thickness, 层底深度 Depth of the layer's bottom (both empty for the half-space),
// 层电阻率 LayerRho and where the model came from. A survey without models is exported as
// before, byte for byte.
// Throws GbkError (naming the station by its position) when a text is not valid GBK.
std::string BuildCsvExport(DataType type, const StationList& stations);
