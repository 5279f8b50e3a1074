#pragma once
// Everything that differs between the four data types, in one table: the grid's headers and
// its mapping onto a station's columns, where a committed unit's name comes from, the texts of
// the window that follow the type, the rows laid out when the type is chosen, the writer and
// the listing builder. Code that needs one of these looks it up instead of branching on the type.

#include <string>
#include <vector>

#include "model/sdata.h"

// How the grid's columns map onto a station's Columns[k].
struct GridLayout {
  int gridColumns;              // including column 0, the row numbers
  std::vector<int> columnOf;    // columnOf[g] = k for grid column g >= 1; index 0 unused (-1)
  std::vector<int> readOrder;   // grid columns in the order the commit reads a row's cells
  std::vector<int> zeroFilled;  // Columns[k] that get 0.0 per row
};

// Where the commit takes a unit's name from.
enum class NameSource {
  StationEdit,  // ES
  XEdit,        // EX: a water-finding station is named after its x
  LineEdit,     // EP: a four-pole line is named after its line number
  Branch,       // "A" or "B" from the combined-profiling branch
};

// How the grid is laid out when the type is chosen.
enum class RowTemplate {
  DefaultSpacings,  // 13 rows of the default AB/2 values in column 1
  ProfilePoints,    // every row: point 20 x r, AB/2 50, MN/2 20; the row count stays
};

// The file written by the save command.
enum class SaveFormat { Ves, SoundingDat, FourPoleLines, CombinedLine };

// The printed listing; profiles have none (their document is empty).
enum class ListingKind { None, Ves, Dat };

struct DataTypeSpec {
  DataType type;
  std::vector<std::string> headers;  // grid row 0, UTF-8
  std::vector<std::string> headerTips;  // per heading: what the column holds and its unit, UTF-8
  GridLayout layout;
  // Grid columns of measured values: emptied after a commit and when the type is chosen, so
  // that no reading of one unit is carried into the next or shown under another heading.
  std::vector<int> measuredColumns;
  // Grid columns checked by the grid check: column 1 (spacing or point) and column 2.
  NameSource nameSource;
  RowTemplate rows;
  bool stationFieldsEditable;  // ES, EX, EY (the profile types set them on each commit)
  bool hasBranches;            // the RhoA/RhoB choice is shown
  bool countLimited;           // the spacing count is bounded by the sounding grid's 49 rows
  std::string groupTitle;      // caption of the station fields' frame
  std::string countLabel;      // label of the count edit
  std::string noDataStatus;    // status line when the type is chosen
  SaveFormat save;
  ListingKind listing;
};

const DataTypeSpec& SpecFor(DataType type);
inline const GridLayout& LayoutFor(DataType type) { return SpecFor(type).layout; }

// The grid column (>= 1) of a layout that holds a station's Columns[k], or -1 when it has none.
int GridColumnOf(const GridLayout& layout, int k);

// The unit of a station's Columns[k] as the plots write it after a heading ("m", "Ω·m", "%",
// "ms", "%·ms"), UTF-8; empty for an index outside 0..8.
const char* UnitOfColumn(int k);

// The data type of a radio-group item index: 0 to 3; any other index is combined profiling.
DataType DataTypeOfItem(int index);

// The default AB/2 values of the sounding grid, as the exact texts written into it.
const std::vector<std::string>& DefaultSpacings();
