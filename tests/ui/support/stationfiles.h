#pragma once
// Helpers for the save tests: stations built in memory, fixture files and the state of a folder.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/sdata.h"
#include "stationbuilder.h"

// A sounding row: AB/2 and apparent resistivity, for the water-finding type also its
// induced-polarisation parameters.
struct SoundingRow {
  float ab2, rho;
  float zp = 0, ip = 0, td = 0, th = 0, r = 0;
};

// A sounding station as the commit builds it, with its own texts.
inline sdata MakeSounding(const std::string& name, float x, float y, std::initializer_list<SoundingRow> rows,
                          const std::string& workArea = "W", const std::string& profile = "P",
                          const std::string& op = "O", const std::string& instrument = "I") {
  std::vector<std::vector<float>> grid;
  for (const SoundingRow& row : rows) grid.push_back({row.ab2, row.rho, row.zp, row.th, row.td, row.r, row.ip});
  sdata s = BuildStation(dtWaterFinding, name, x, grid, y);
  s.WorkArea = workArea;
  s.Profile = profile;
  s.Operator = op;
  s.Instrument = instrument;
  return s;
}

// A profile line or branch; each point is (point number, AB/2, MN/2, apparent resistivity).
inline sdata MakeProfile(const std::string& name, const std::vector<std::vector<float>>& points) {
  return BuildStation(dtFourPoleProfile, name, 0.0f, points);
}

inline QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

inline QByteArray Fixture(const char* name) { return ReadBytes(QStringLiteral(FIXTURES_DIR "/") + QLatin1String(name)); }

// The first n lines of bytes, line ends included.
inline QByteArray FirstLines(const QByteArray& bytes, int n) {
  qsizetype pos = 0;
  for (int i = 0; i < n && pos >= 0; ++i) {
    pos = bytes.indexOf('\n', pos);
    if (pos >= 0) ++pos;
  }
  return pos < 0 ? bytes : bytes.left(pos);
}

// Lines joined with CR LF after each.
inline QByteArray CrLf(std::initializer_list<const char*> lines) {
  QByteArray out;
  for (const char* line : lines) out.append(line).append("\r\n");
  return out;
}

// Every file below folder (relative name -> bytes), to show that nothing on disk changed.
inline QMap<QString, QByteArray> Snapshot(const QString& folder) {
  QMap<QString, QByteArray> files;
  QDir dir(folder);
  const auto entries = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QFileInfo& info : entries) {
    if (info.isDir()) {
      files.insert(info.fileName() + QLatin1Char('/'), QByteArray());
      const auto inner = Snapshot(info.filePath());
      for (auto it = inner.begin(); it != inner.end(); ++it) files.insert(info.fileName() + QLatin1Char('/') + it.key(), it.value());
    } else {
      files.insert(info.fileName(), ReadBytes(info.filePath()));
    }
  }
  return files;
}
