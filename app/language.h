#pragma once
// The interface language: chosen at start-up from --lang, the choice saved
// from the main window's language menu, or the system's locale, in that
// order, and put in place before any window is made. The windows' texts are
// written in Chinese and translated from a catalogue built into the program;
// the core's messages and reports follow through setMessageLanguage. A new
// choice from the menu applies at the next start.
#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "model/language.h"

namespace trelmox::app {

// --lang beats the saved choice, which beats the locale's language. A saved
// choice that names no language (an edited settings file) is passed over.
Language chooseLanguage(std::optional<std::string_view> langOption, std::optional<std::string_view> savedChoice,
                        std::string_view localeName);

// The value of --lang in the program's arguments ("--lang en" or
// "--lang=en"); nothing when absent. A --lang without a value gives an empty
// name, which no language has.
std::optional<std::string> langOption(int argc, const char* const* argv);

// The choice saved by the language menu, and saving one.
std::optional<std::string> savedLanguageChoice();
void saveLanguageChoice(Language language);

// Makes the windows to come, Qt's own texts (standard buttons, file and
// print dialogs) and the core's messages speak `language`; false when a
// catalogue could not be loaded (the texts of that part stay Chinese or
// Qt's English).
bool useLanguage(Language language);

// The language the windows now speak.
Language interfaceLanguage();

// "zh" / "en", as --lang and the settings file take them.
const char* languageName(Language language);

} // namespace trelmox::app
