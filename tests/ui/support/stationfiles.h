#pragma once
// Helpers for the save tests: stations built in memory, fixture files and the state of a folder.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <initializer_list>
#include <string>

#include "model/sdata.h"

// A sounding row as the window commits it: AB/2 and apparent resistivity, for the water-finding
// type also ZP, IP, TD, TH and R.
struct SoundingRow {
  float ab2, rho;
  float zp = 0, ip = 0, td = 0, th = 0, r = 0;
};

inline sdata MakeSounding(const std::string& name, float x, float y, std::initializer_list<SoundingRow> rows,
                          const std::string& workArea = "W", const std::string& profile = "P",
                          const std::string& op = "O", const std::string& instrument = "I") {
  sdata s;
  s.Name = name;
  s.X = x;
  s.Y = y;
  s.WorkArea = workArea;
  s.Profile = profile;
  s.Operator = op;
  s.Instrument = instrument;
  for (const SoundingRow& row : rows) {
    s.Columns[colAB2].push_back(row.ab2);
    s.Columns[colRho].push_back(row.rho);
    s.Columns[colZP].push_back(row.zp);
    s.Columns[colIP].push_back(row.ip);
    s.Columns[colTD].push_back(row.td);
    s.Columns[colTH].push_back(row.th);
    s.Columns[colR].push_back(row.r);
  }
  s.SpacingCount = static_cast<std::int32_t>(rows.size());
  return s;
}

// A profile line or branch: point number, AB/2, MN/2, apparent resistivity per point.
struct ProfilePoint {
  float point, ab2, mn2, rho;
};

inline sdata MakeProfile(const std::string& name, std::initializer_list<ProfilePoint> points) {
  sdata s;
  s.Name = name;
  s.Profile = name;
  for (const ProfilePoint& p : points) {
    s.Columns[colPointNo].push_back(p.point);
    s.Columns[colAB2].push_back(p.ab2);
    s.Columns[colMN2].push_back(p.mn2);
    s.Columns[colRho].push_back(p.rho);
    for (int k = colZP; k <= colR; ++k) s.Columns[k].push_back(0.0f);
  }
  s.SpacingCount = static_cast<std::int32_t>(points.size());
  return s;
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
