#pragma once
// The printed listings of the two sounding data types, as lists of GBK lines.

#include <string>
#include <vector>

#include "model/sdata.h"

// Station by station: spacing and apparent resistivity.
void BuildVesListing(const StationList& stations, std::vector<std::string>& lines);
// One row per spacing with all induced-polarisation parameters.
void BuildDatListing(const StationList& stations, std::vector<std::string>& lines);

// ---- Page layout of a printed listing, in printer device pixels ----

inline constexpr int kListingLeft = 400;          // x of every line
inline constexpr int kListingTop = 200;           // y of the first line of a page
inline constexpr int kListingBottomMargin = 400;  // a page ends once y passes its height less this

// One line placed on a page: its top edge and its GBK text.
struct PlacedLine {
  int y;
  std::string text;
  bool operator==(const PlacedLine&) const = default;
};
struct ListingPage {
  std::vector<PlacedLine> lines;
};

// Lays the lines out on pages line after line: after each line y moves down lineHeight, and
// once it passes pageHeight - kListingBottomMargin a new page starts with the two-line page
// heading. When the last line is the one that passes, the last page holds only the heading.
// There is always at least one page.
std::vector<ListingPage> LayOutListing(const std::vector<std::string>& lines, int lineHeight, int pageHeight);
