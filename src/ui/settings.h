#pragma once
// What the program remembers between runs, in QSettings (the program uses organization
// "FieldInput", application "fieldinput"): the last data type; the operator, instrument and
// work area; the last folder for each data type's files; the recently opened files; the
// default spacings; the interface language chosen in its menu. A value that is missing or makes no sense (the wrong kind of value, a data
// type out of range, a relative folder, a text with control characters, a spacing list the
// survey refuses) reads as missing, and the built-in default is used.

#include <QString>
#include <QStringList>
#include <optional>

#include "model/sdata.h"
#include "session/formstate.h"
#include "ui/language.h"

class QSettings;

class AppSettings {
 public:
  static constexpr int kRecentFiles = 8;

  explicit AppSettings(QSettings& settings);

  std::optional<DataType> dataType() const;
  void setDataType(DataType type);

  // The texts remembered, as last typed: the operator, the instrument and the work area; other
  // fields have none.
  static bool remembers(Field field);
  std::optional<QString> fieldText(Field field) const;
  void setFieldText(Field field, const QString& text);

  // An absolute folder, or empty.
  QString folder(DataType type) const;
  void setFolder(DataType type, const QString& folder);

  // Absolute paths, most recent first, no repeats, at most kRecentFiles.
  QStringList recentFiles() const;
  void setRecentFiles(const QStringList& files);

  std::optional<QStringList> defaultSpacings() const;
  void setDefaultSpacings(const QStringList& spacings);
  // The built-in values are used again.
  void resetDefaultSpacings();

  // The interface language chosen in the 语言/Language menu; nothing when none was chosen.
  std::optional<UiLanguage> language() const;
  void setLanguage(UiLanguage language);

  // Writes what was set to disk now (QSettings also does it by itself, later).
  void sync();

 private:
  QSettings& settings_;
};

// The list with path first, a repeat of it removed and the list cut to kRecentFiles.
QStringList WithRecentFile(QStringList files, const QString& path);
