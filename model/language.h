#pragma once
// The language a person reads: the interface, the messages of refusals and
// failures, and the reports that follow the interface (the full analysis
// report, the calculation report). Chinese is the source language: every
// such text is written in Chinese first with its English beside it, and the
// Chinese texts are exactly the ones the program always had. The files that
// other programs and the design office read (the data file, the 30-line
// report, the DXF drawing, the companion file) are Chinese whatever the
// language, byte for byte.
//
// The language is chosen once at start-up, before any work thread runs:
// the program from --lang, its saved choice or the locale, the tool from
// --lang or the locale (languageOfEnvironment). Until then it is Chinese,
// so a library caller that never chooses reads what the windows always
// showed.
#include <optional>
#include <string_view>

namespace trelmox {

enum class Language { Chinese, English };

Language messageLanguage();
void setMessageLanguage(Language language);

// The text of the current language.
inline const char* inLanguage(const char* chinese, const char* english) {
    return messageLanguage() == Language::English ? english : chinese;
}

// "zh" and "en" (as --lang takes them); nothing for any other name.
std::optional<Language> languageFromName(std::string_view name);
// Chinese for a locale name of Chinese ("zh_CN.UTF-8", "zh_TW", "zh"),
// English for any other.
Language languageOfLocale(std::string_view localeName);

// The locale whose language messages are read in, as the C library picks
// it: the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty;
// empty when none is. The pure rule on the three values, and the same on
// the process's environment.
std::string_view messagesLocale(const char* lcAll, const char* lcMessages, const char* lang);
std::string_view messagesLocaleOfEnvironment();
// The language of that locale: what the windows and the tool speak when
// neither --lang nor a saved choice names one.
Language languageOfEnvironment();

} // namespace trelmox
