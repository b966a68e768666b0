// The language of the window program: Russian (the texts as written, the default)
// or English (the translation relan_en.qm built into the program).
//
// Where the choice comes from, first found wins: the command line ("--lang en",
// "--lang=ru"), the settings file's key "Language", the system's locale (Russian for
// a Russian locale, English for any other language; the bare C/POSIX locale of a
// build machine keeps Russian).
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

class QApplication;

namespace rel {
struct ResultsWords;
}

namespace relan {

inline const QString kLanguageRussian = QStringLiteral("ru");
inline const QString kLanguageEnglish = QStringLiteral("en");

// "ru" or "en" for a user's way of naming a language ("en", "EN", "en_GB",
// "english", "ru_RU", "русский"); empty when it names neither.
QString LanguageCode(const QString& text);

// The language for this start: "ru" or "en".
QString ResolveLanguage(const QStringList& args, const QString& settingsValue, const QLocale& system);

// The program's arguments without "--lang CODE" / "--lang=CODE", so that the data
// file stays the first argument after the program.
QStringList WithoutLanguageOption(const QStringList& args);

// The value of the key "Language" in the settings file (`fallback` is read when
// `file` has none), empty when neither has it.
QString ReadLanguageSetting(const QString& file, const QString& fallback = {});
// Stores the key "Language"; false when the file could not be written.
bool WriteLanguageSetting(const QString& file, const QString& code);

// Puts the window program in `code`'s language: the locale of its numbers (Russian:
// decimal comma; English: decimal point), the translation of its texts and of the
// toolkit's own buttons, and the application's title. Windows built afterwards show
// the language; a second call replaces the first one's translations.
void InstallLanguage(QApplication& app, const QString& code);

// The language installed last ("ru" before any call).
QString CurrentLanguage();

// The words of the results output in the installed language.
const rel::ResultsWords& CurrentResultsWords();

}  // namespace relan
