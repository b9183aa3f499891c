#include "model/language.h"

#include "model/chinese_files.h"

#include <atomic>
#include <cstdlib>

namespace trelmox {

namespace {
// Read from work threads while they word a failure; written only at start-up.
std::atomic<Language> current{Language::Chinese};
// How many ChineseFiles live on this thread.
thread_local int chineseFiles = 0;
} // namespace

Language messageLanguage() { return chineseFiles > 0 ? Language::Chinese : current.load(std::memory_order_relaxed); }

ChineseFiles::ChineseFiles() { ++chineseFiles; }
ChineseFiles::~ChineseFiles() { --chineseFiles; }

void setMessageLanguage(Language language) { current.store(language, std::memory_order_relaxed); }

std::optional<Language> languageFromName(std::string_view name) {
    if (name == "zh") return Language::Chinese;
    if (name == "en") return Language::English;
    return std::nullopt;
}

Language languageOfLocale(std::string_view localeName) {
    return localeName.substr(0, 2) == "zh" &&
                   (localeName.size() == 2 || localeName[2] == '_' || localeName[2] == '.' || localeName[2] == '-')
               ? Language::Chinese
               : Language::English;
}

std::string_view messagesLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* name : {lcAll, lcMessages, lang})
        if (name && *name) return name;
    return {};
}

std::string_view messagesLocaleOfEnvironment() {
    return messagesLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

Language languageOfEnvironment() { return languageOfLocale(messagesLocaleOfEnvironment()); }

} // namespace trelmox
