#pragma once
// The recovery file: the whole session (data type, stations, current index, saved state, the
// window's fields and grid, the file it came from), written after every change so that typed
// work survives a crash of the program or of the machine.
//
// Layout; integers are little-endian, a string is a u32 length and its bytes:
//   "FIELDINPUT RECOVERY\n"  the mark, 20 bytes
//   u32  version (kRecoveryVersion)
//   u64  size of the body
//   u32  CRC-32 (IEEE) of the body
//   body: the session, then the stations block
// The session: i32 data type, i32 current index, u8 saved, u8 browsing, u8 replace proposed,
//   string status, string file, the form, the shown form.
// A form: the 8 field texts, i32 branch, u32 rows, u32 columns, the cells row by row.
// The stations block: u32 count, then per station the strings Name, WorkArea, Profile,
//   Operator, Instrument, f32 X, f32 Y, i32 SpacingCount, and 9 columns of u32 n and n f32.
// The stations block is encoded on its own so that a writer can keep it while only the
// form changes (typing), and encode it again only when the station list changed.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/sdata.h"
#include "session/survey.h"

inline constexpr std::uint32_t kRecoveryVersion = 1;

// CRC-32 as zlib's crc32(crc, bytes) computes it (polynomial 0xEDB88320): Crc32(b, Crc32(a))
// is the checksum of a followed by b.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

std::string EncodeRecoveryStations(const StationList& stations);
// The file up to the stations block: mark, version, size, checksum and the session. The file
// is this followed by the block (from EncodeRecoveryStations), so that a writer need not copy
// the block.
std::string EncodeRecoveryHead(const SessionState& session, std::string_view stationsBlock);
// The whole file for a session and its stations block.
std::string EncodeRecoveryFile(const SessionState& session, std::string_view stationsBlock);

struct RecoveryReadResult {
  bool ok = false;
  std::string error;  // UTF-8, what is wrong with the file; empty when ok
  SessionState session;
  StationList stations;
};

// Reads a recovery file. Anything but an intact file of this version is refused with the
// reason: a wrong mark, another version, a truncated or overlong file, a checksum that does
// not match, or contents the survey could not hold (an unknown data type, a grid that does
// not fit the type, a station column whose length is not its count, an index beyond the
// list). Never throws (memory exhaustion included), never allocates more than the file's size
// suggests, never reads past the bytes.
RecoveryReadResult DecodeRecoveryFile(std::string_view bytes);
