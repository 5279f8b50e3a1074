#pragma once
// The interface language: Chinese (the program's own language, the source texts) or English
// (translations/fieldinput_en.ts, built into the resource :/i18n/fieldinput_en.qm). The texts
// written to files and the printed listing never depend on it.

#include <QString>
#include <QStringList>
#include <optional>

class QCoreApplication;

enum class UiLanguage { Chinese, English };

// "zh" or "en"; what --lang takes and what the settings keep.
QString LanguageCode(UiLanguage language);
std::optional<UiLanguage> LanguageFromCode(const QString& code);

// The language a locale name (LC_ALL, LC_MESSAGES or LANG: "zh_CN.UTF-8", "de_DE", "C") asks
// for: Chinese for zh* and for the plain C/POSIX locale, English for any other name.
UiLanguage LanguageOfLocale(const QString& locale);

// The locale name the environment gives for messages (LC_ALL, then LC_MESSAGES, then LANG);
// "C" when none is set.
QString MessagesLocale();

// The --lang option taken out of the program's arguments ("--lang en", "--lang=zh"); the rest
// stay in arguments. A value that names no language is reported in warning and ignored.
struct LanguageOption {
  std::optional<UiLanguage> language;
  QString warning;  // empty when the option was absent or understood
};
LanguageOption TakeLanguageOption(QStringList& arguments);

// The language to use: the command line's, else the remembered one, else the locale's.
UiLanguage ChooseLanguage(std::optional<UiLanguage> commandLine, std::optional<UiLanguage> remembered,
                          const QString& locale);

// Installs the translators for language on app: Qt's own texts (qtbase_zh_CN from Qt's
// translations folder for Chinese) and, for English, the program's translation from qmFile.
// When the program's translation cannot be loaded the interface stays Chinese. Returns the
// language the interface now has. Called again, it first removes what it installed before.
// A missing Qt translation only leaves Qt's own buttons in
// English.
UiLanguage InstallLanguage(QCoreApplication& app, UiLanguage language,
                           const QString& qmFile = QStringLiteral(":/i18n/fieldinput_en.qm"));

// The language InstallLanguage installed; Chinese before any.
UiLanguage CurrentLanguage();
