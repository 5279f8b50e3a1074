#include "ui/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QRegularExpression>
#include <QTranslator>

namespace {
UiLanguage g_current = UiLanguage::Chinese;
// The translators InstallLanguage installed, replaced when it is called again.
QList<QTranslator*> g_installed;
}  // namespace

QString LanguageCode(UiLanguage language) {
  return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<UiLanguage> LanguageFromCode(const QString& code) {
  const QString c = code.trimmed().toLower();
  if (c == QLatin1String("zh")) return UiLanguage::Chinese;
  if (c == QLatin1String("en")) return UiLanguage::English;
  return std::nullopt;
}

UiLanguage LanguageOfLocale(const QString& locale) {
  // The language part: what stands before the territory, the code set and the modifier.
  QString language = locale.trimmed();
  const qsizetype end = language.indexOf(QRegularExpression(QStringLiteral("[_.@-]")));
  if (end >= 0) language.truncate(end);
  language = language.toLower();
  if (language.isEmpty() || language == QLatin1String("c") || language == QLatin1String("posix") ||
      language == QLatin1String("zh"))
    return UiLanguage::Chinese;
  return UiLanguage::English;
}

QString MessagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty()) return value;
  }
  return QStringLiteral("C");
}

LanguageOption TakeLanguageOption(QStringList& arguments) {
  LanguageOption option;
  const QString name = QStringLiteral("--lang");
  for (qsizetype i = 0; i < arguments.size();) {
    QString value;
    if (arguments[i] == name) {
      value = i + 1 < arguments.size() ? arguments[i + 1] : QString();
      arguments.remove(i, i + 1 < arguments.size() ? 2 : 1);
    } else if (arguments[i].startsWith(name + QLatin1Char('='))) {
      value = arguments[i].mid(name.size() + 1);
      arguments.remove(i);
    } else {
      ++i;
      continue;
    }
    if (const std::optional<UiLanguage> language = LanguageFromCode(value)) {
      option.language = language;
      option.warning.clear();
    } else {
      option.warning = QStringLiteral("fieldinput: --lang takes en or zh, not \"%1\"; the option is ignored.").arg(value);
    }
  }
  return option;
}

UiLanguage ChooseLanguage(std::optional<UiLanguage> commandLine, std::optional<UiLanguage> remembered,
                          const QString& locale) {
  if (commandLine) return *commandLine;
  if (remembered) return *remembered;
  return LanguageOfLocale(locale);
}

UiLanguage InstallLanguage(QCoreApplication& app, UiLanguage language, const QString& qmFile) {
  for (QTranslator* t : g_installed) {
    app.removeTranslator(t);
    delete t;
  }
  g_installed.clear();
  // Owned by the application, so they live as long as it does.
  const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (language == UiLanguage::English) {
    auto* own = new QTranslator(&app);
    // An empty translation would leave the whole window in Chinese under an English menu.
    if (!own->load(qmFile) || own->isEmpty()) {
      delete own;
      language = UiLanguage::Chinese;
    } else {
      app.installTranslator(own);
      g_installed << own;
    }
  }
  if (language == UiLanguage::Chinese) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_zh_CN"), qtFolder)) {
      app.installTranslator(qt);
      g_installed << qt;
    } else {
      delete qt;
    }
  }
  g_current = language;
  return language;
}

UiLanguage CurrentLanguage() { return g_current; }
