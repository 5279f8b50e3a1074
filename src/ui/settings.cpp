#include "ui/settings.h"

#include <QDir>
#include <QSettings>
#include <string>
#include <vector>

#include "session/survey.h"

namespace {
const QString kDataType = QStringLiteral("dataType");
const QString kRecent = QStringLiteral("recentFiles");
const QString kSpacings = QStringLiteral("defaultSpacings");
const QString kLanguage = QStringLiteral("language");
constexpr int kMaxText = 255;

QString FieldKey(Field field) {
  switch (field) {
    case Field::EO: return QStringLiteral("fields/operator");
    case Field::EI: return QStringLiteral("fields/instrument");
    case Field::EW: return QStringLiteral("fields/workArea");
    default: return QString();
  }
}

QString FolderKey(DataType type) { return QStringLiteral("folders/type%1").arg(static_cast<int>(type)); }

bool HasControl(const QString& text) {
  for (QChar c : text)
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
  return false;
}

// A single text of reasonable length without control characters; a list or anything else is not.
std::optional<QString> PlainText(const QVariant& value) {
  if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
  const QString text = value.toString();
  if (text.size() > kMaxText || HasControl(text)) return std::nullopt;
  return text;
}

bool IsAbsolutePath(const QString& path) { return !path.isEmpty() && QDir::isAbsolutePath(path) && !HasControl(path); }

// A list of texts: a QSettings list, or a single text (how an ini file gives a list of one).
std::optional<QStringList> TextList(const QVariant& value) {
  if (!value.isValid()) return std::nullopt;
  if (value.typeId() == QMetaType::QString) return QStringList{value.toString()};
  if (value.typeId() != QMetaType::QStringList && value.typeId() != QMetaType::QVariantList) return std::nullopt;
  QStringList list;
  for (const QVariant& item : value.toList()) {
    if (item.typeId() != QMetaType::QString) return std::nullopt;
    list << item.toString();
  }
  return list;
}
}  // namespace

AppSettings::AppSettings(QSettings& settings) : settings_(settings) {}

std::optional<UiLanguage> AppSettings::language() const {
  const std::optional<QString> text = PlainText(settings_.value(kLanguage));
  return text ? LanguageFromCode(*text) : std::nullopt;
}

void AppSettings::setLanguage(UiLanguage language) { settings_.setValue(kLanguage, LanguageCode(language)); }

std::optional<DataType> AppSettings::dataType() const {
  const std::optional<QString> text = PlainText(settings_.value(kDataType));
  bool ok = false;
  const int index = text ? text->toInt(&ok) : -1;
  if (!ok || index < dtSounding || index > dtCombinedProfile) return std::nullopt;
  return static_cast<DataType>(index);
}

void AppSettings::setDataType(DataType type) { settings_.setValue(kDataType, QString::number(static_cast<int>(type))); }

bool AppSettings::remembers(Field field) { return !FieldKey(field).isEmpty(); }

std::optional<QString> AppSettings::fieldText(Field field) const {
  if (!remembers(field)) return std::nullopt;
  return PlainText(settings_.value(FieldKey(field)));
}

void AppSettings::setFieldText(Field field, const QString& text) {
  if (remembers(field)) settings_.setValue(FieldKey(field), text.left(kMaxText));
}

QString AppSettings::folder(DataType type) const {
  const std::optional<QString> text = PlainText(settings_.value(FolderKey(type)));
  return text && IsAbsolutePath(*text) ? *text : QString();
}

void AppSettings::setFolder(DataType type, const QString& folder) { settings_.setValue(FolderKey(type), folder); }

QStringList AppSettings::recentFiles() const {
  QStringList files;
  for (const QString& path : TextList(settings_.value(kRecent)).value_or(QStringList()))
    if (IsAbsolutePath(path) && !files.contains(path) && files.size() < kRecentFiles) files << path;
  return files;
}

void AppSettings::setRecentFiles(const QStringList& files) { settings_.setValue(kRecent, files.mid(0, kRecentFiles)); }

std::optional<QStringList> AppSettings::defaultSpacings() const {
  const std::optional<QStringList> list = TextList(settings_.value(kSpacings));
  if (!list) return std::nullopt;
  std::vector<std::string> texts;
  for (const QString& text : *list) texts.push_back(text.toStdString());
  if (!Survey::checkSpacingList(texts).empty()) return std::nullopt;
  return list;
}

void AppSettings::setDefaultSpacings(const QStringList& spacings) { settings_.setValue(kSpacings, spacings); }

void AppSettings::resetDefaultSpacings() { settings_.remove(kSpacings); }

void AppSettings::sync() { settings_.sync(); }

QStringList WithRecentFile(QStringList files, const QString& path) {
  files.removeAll(path);
  files.prepend(path);
  return files.mid(0, AppSettings::kRecentFiles);
}
