#include "language.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "captions.h"
#include "settings.h"
#include "results/words.h"

namespace relan {

namespace {

const QString kOption = QStringLiteral("--lang");

QString gLanguage = kLanguageRussian;
// The translations installed by the last InstallLanguage (owned by the application).
QTranslator* gProgramTexts = nullptr;
QTranslator* gToolkitTexts = nullptr;

// The value given to "--lang" on the command line, empty when the option is absent.
QString OptionValue(const QStringList& args) {
    QString value;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == kOption && i + 1 < args.size())
            value = args.at(++i);
        else if (a.startsWith(kOption + QLatin1Char('=')))
            value = a.mid(kOption.size() + 1);
    }
    return value;
}

void Remove(QTranslator*& t) {
    if (!t) return;
    QCoreApplication::removeTranslator(t);
    delete t;
    t = nullptr;
}

// A translator loaded from `file` and installed; nullptr when the file cannot be read.
QTranslator* Install(QApplication& app, const QString& file) {
    auto* t = new QTranslator(&app);
    if (!t->load(file)) {
        delete t;
        return nullptr;
    }
    QCoreApplication::installTranslator(t);
    return t;
}

}  // namespace

QString LanguageCode(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t.startsWith(QStringLiteral("en")) || t == QStringLiteral("английский")) return kLanguageEnglish;
    if (t.startsWith(QStringLiteral("ru")) || t == QStringLiteral("русский")) return kLanguageRussian;
    return {};
}

QString ResolveLanguage(const QStringList& args, const QString& settingsValue, const QLocale& system) {
    const QString given = LanguageCode(OptionValue(args));
    if (!given.isEmpty()) return given;
    const QString kept = LanguageCode(settingsValue);
    if (!kept.isEmpty()) return kept;
    // The C/POSIX locale says nothing about the user: the written language stays.
    if (system.language() == QLocale::C || system.language() == QLocale::Russian) return kLanguageRussian;
    return kLanguageEnglish;
}

QStringList WithoutLanguageOption(const QStringList& args) {
    QStringList out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (i > 0 && a == kOption) {
            ++i;  // and its value
            continue;
        }
        if (i > 0 && a.startsWith(kOption + QLatin1Char('='))) continue;
        out << a;
    }
    return out;
}

QString ReadLanguageSetting(const QString& file, const QString& fallback) {
    return PathSettings(file, fallback).ReadLanguage();
}

bool WriteLanguageSetting(const QString& file, const QString& code) {
    return PathSettings(file).WriteLanguage(code);
}

void InstallLanguage(QApplication& app, const QString& code) {
    Remove(gProgramTexts);
    Remove(gToolkitTexts);
    if (LanguageCode(code) == kLanguageEnglish) gProgramTexts = Install(app, QStringLiteral(":/i18n/relan_en.qm"));
    // English only when its translation was there to install.
    gLanguage = gProgramTexts ? kLanguageEnglish : kLanguageRussian;
    if (gLanguage == kLanguageEnglish) {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    } else {
        // The toolkit's own buttons ("Отмена", "Сохранить") in Russian when Qt's
        // translation is installed; in English they are the toolkit's own texts.
        gToolkitTexts =
            Install(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm"));
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }
    QApplication::setApplicationName(AppTitle());
}

QString CurrentLanguage() { return gLanguage; }

const rel::ResultsWords& CurrentResultsWords() {
    return gLanguage == kLanguageEnglish ? rel::EnglishWords() : rel::RussianWords();
}

}  // namespace relan
