#pragma once
// The recovery file: the session (data type, stations, current index, saved state, the
// window's fields and grid, the file it came from) as the last autosave saw it, so that typed
// work survives a crash of the program or of the machine.
//
// The file is a base, the whole session at one moment, followed by change records, each holding
// what one autosave changed since the one before: the session's small state always, and of the
// grid, the shown form and the station list only what changed. So a keystroke appends a record
// of a few hundred bytes however large the survey is, and the file is written whole again only
// now and then (RecoveryWriter decides when). Every part carries its own CRC-32: a record cut
// short by a crash, or one whose checksum or contents are wrong, ends the file there, and the
// session read back is the one after the last complete record.
//
// Layout; integers are little-endian, a string is a u32 length and its bytes:
//   "FIELDINPUT RECOVERY\n"  the mark, 20 bytes
//   u32  version (kRecoveryVersion)
//   u64  size of the base
//   the base: the session, then the stations block
//   u32  CRC-32 (IEEE) of the base
//   the records, each: u32 size of the change, the change, u32 CRC-32 of the size's four bytes
//        followed by the change
// The session: i32 data type, i32 current index, u8 saved, u8 browsing, u8 replace proposed,
//   string status, string file, the form, the shown form.
// A form: the 8 field texts, i32 branch, its grid, its model (the model accepted for the
//   station being typed: u8 origin, the thicknesses and the resistivities). A grid: u32 rows, u32 columns, the cells
//   row by row.
// The stations block: u32 count, then the stations. A station: the strings Name, WorkArea,
//   Profile, Operator, Instrument, f32 X, f32 Y, i32 SpacingCount, 9 columns of u32 n and
//   n f32, f32 Z, u8 the model's origin, and the model's thicknesses and resistivities (u32 n
//   and n f32 each); one function in recovery.cpp lists them, for writing and reading alike.
// A change: i32 data type, i32 current index, u8 saved, u8 browsing, u8 replace proposed,
//   string status, string file, the 8 field texts, i32 branch, the form's model; then
//   u8 grid: 0 unchanged, 1 some cells (u32 n, then per cell u32 column, u32 row, string text),
//     2 the whole grid;
//   u8 shown form: 0 unchanged, 1 the form follows;
//   u8 stations: 0 unchanged, 1 the new list as runs (u32 n, then per run u32 first and u32
//     count: stations first .. first+count-1 of the list before, or, for first 0xFFFFFFFF, the
//     next count stations of this change), then u32 count of stations and the stations.
// Version 2 files (forms and changes without the form's model) and version 1 files (the base's
// CRC-32 before it, no records, stations that end after their columns: Z 0 and no model) are
// read as well.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/sdata.h"
#include "session/survey.h"

inline constexpr std::uint32_t kRecoveryVersion = 3;

// CRC-32 as zlib's crc32(crc, bytes) computes it (polynomial 0xEDB88320): Crc32(b, Crc32(a))
// is the checksum of a followed by b.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// A run of the station list after a change: count stations of the list before, from first on,
// or (first == kNewStations) the next count stations the change brings.
struct StationRun {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
  bool operator==(const StationRun&) const = default;
};
inline constexpr std::uint32_t kNewStations = 0xFFFFFFFFu;

// A grid cell's text (the grid's numbering: row 0 the header, column 0 the row numbers).
struct CellText {
  int col = 0;
  int row = 0;
  std::string text;
  bool operator==(const CellText&) const = default;
};

// What changed in a session since the previous record (for the first one: everything).
struct RecoveryChange {
  // The session's small state, in every change.
  DataType type = dtSounding;
  int currentIndex = 0;
  bool saved = true;
  bool browsing = false;
  bool replaceProposed = false;
  std::string status;
  std::string file;
  std::array<std::string, kFieldCount> fields;
  int branch = 0;
  StationModel formModel;  // FormState::model

  enum class Grid : std::uint8_t { Unchanged = 0, Cells = 1, Whole = 2 };
  Grid grid = Grid::Unchanged;
  std::vector<CellText> cells;  // Cells
  GridTexts wholeGrid;          // Whole

  std::optional<FormState> shownForm;  // the new shown form, when it changed

  bool stationsChanged = false;
  std::vector<StationRun> runs;  // the list after the change, when it changed
  StationList newStations;       // the stations the kNewStations runs take, in order

  bool operator==(const RecoveryChange&) const = default;
};

// The stations block of a list: its count and the stations.
std::string EncodeRecoveryStations(const StationList& stations);
// A file of just a base: the session followed by a stations block (from EncodeRecoveryStations).
std::string EncodeRecoveryFile(const SessionState& session, std::string_view stationsBlock);
// The same bytes as EncodeRecoveryFile(session, EncodeRecoveryStations(stations)), handed to put
// in pieces of about a megabyte, so that the file of a large survey is never held in memory.
// False as soon as put returns false.
bool WriteRecoveryBase(const SessionState& session, const StationList& stations,
                       const std::function<bool(std::string_view)>& put);
// One record: the change with its size and checksum.
std::string EncodeRecoveryRecord(const RecoveryChange& change);
// The size EncodeRecoveryRecord(change) has, without making it.
std::uint64_t RecoveryRecordSize(const RecoveryChange& change);

// Whether a change can follow a session of count stations: its cells inside the grid, runs that
// take each station of the list before at most once and as many new stations as it brings, and
// a session after it that the survey can hold.
bool RecoveryChangeFits(const SessionState& session, std::size_t count, const RecoveryChange& change);
// Applies a change that fits (RecoveryChangeFits) to a session and its stations, as reading the
// file does; the change's stations are moved.
void ApplyRecoveryChange(SessionState& session, StationList& stations, RecoveryChange&& change);

struct RecoveryReadResult {
  bool ok = false;
  std::string error;  // UTF-8, what is wrong with the file; empty when ok
  SessionState session;
  StationList stations;
  std::size_t records = 0;        // the records applied after the base
  std::uint64_t ignoredBytes = 0;  // the end of the file after the last complete record
};

// Reads a recovery file. The base must be intact: anything else is refused with the reason (a
// wrong mark, another version, a truncated base, a checksum that does not match, or contents
// the survey could not hold: an unknown data type, a grid that does not fit the type, a station
// column whose length is not its count, an index beyond the list). The records follow as long as
// each is complete, has its checksum and makes a session the survey can hold; the first that
// does not ends the file (ignoredBytes). Never throws (memory exhaustion included), never
// allocates more than the file's size suggests, never reads past the bytes.
RecoveryReadResult DecodeRecoveryFile(std::string_view bytes);
