#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <cstring>

namespace trelmox::app {

namespace {

constexpr const char* LanguageKey = "interface/language";

// The program's and Qt's translators now installed, owned by the
// application object; replaced when the language changes (tests switch it).
QTranslator* programTexts = nullptr;
QTranslator* qtTexts = nullptr;

void removeTranslator(QTranslator*& translator) {
    if (!translator) return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}

// Loads a catalogue and installs it; nothing stays installed on failure.
bool install(QTranslator*& slot, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    slot = translator;
    return true;
}

// ~/.config/TRELMOX/TRELMOX.conf on Linux.
const QString SettingsName = QStringLiteral("TRELMOX");

} // namespace

Language chooseLanguage(std::optional<std::string_view> langOption, std::optional<std::string_view> savedChoice,
                        std::string_view localeName) {
    if (langOption)
        if (const std::optional<Language> named = languageFromName(*langOption)) return *named;
    if (savedChoice)
        if (const std::optional<Language> saved = languageFromName(*savedChoice)) return *saved;
    return languageOfLocale(localeName);
}

std::optional<std::string> langOption(int argc, const char* const* argv) {
    std::optional<std::string> value;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--lang")
            value = i + 1 < argc ? std::string(argv[++i]) : std::string();
        else if (arg.starts_with("--lang="))
            value = std::string(arg.substr(std::strlen("--lang=")));
    }
    return value;
}

std::optional<std::string> savedLanguageChoice() {
    QSettings s(SettingsName, SettingsName);
    const QVariant value = s.value(QString::fromLatin1(LanguageKey));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
}

void saveLanguageChoice(Language language) {
    QSettings s(SettingsName, SettingsName);
    s.setValue(QString::fromLatin1(LanguageKey), QString::fromLatin1(languageName(language)));
    s.sync();
}

bool useLanguage(Language language) {
    setMessageLanguage(language);
    removeTranslator(programTexts);
    removeTranslator(qtTexts);
    if (language == Language::English)
        // Qt's own texts are English already.
        return install(programTexts, QStringLiteral("trelmox_en"), QStringLiteral(":/i18n"));
    return install(qtTexts, QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

Language interfaceLanguage() { return messageLanguage(); }

const char* languageName(Language language) { return language == Language::English ? "en" : "zh"; }

} // namespace trelmox::app
