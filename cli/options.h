#pragma once
// Command-line options shared by the tool's commands: "--name VALUE" or
// "--name=VALUE" (repeatable), "--flag", "--help", positional arguments, and
// "--" to end the options. Anything else is a usage error.
#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace trelmox::cli {

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

struct ParsedArgs {
    std::map<std::string, std::vector<std::string>> values; // by option name without "--"
    std::vector<std::string> positional;
    std::set<std::string> flags; // given flags, without "--"
    bool help = false;

    // The option's last value, if given.
    std::optional<std::string> last(const std::string& name) const;
    // The option's last value, which must be one of `allowed`.
    std::string choice(const std::string& name, const std::vector<std::string>& allowed,
                       const std::string& fallback) const;
    // The option's last value as a folder to write into; an empty text is a
    // usage error, since it would write into the current folder, where the
    // data files usually are.
    std::optional<std::string> folder(const std::string& name) const;
};

// A whole number option's value; a usage error names `what` otherwise.
template <typename Integer> Integer integerArgument(const std::string& text, const std::string& what) {
    Integer value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("invalid whole number '" + text + "' for " + what);
    return value;
}

// The tool's language from "--lang zh|en" (or "--lang=..."), given
// anywhere before "--", else the locale's as the windows take it (LC_ALL,
// LC_MESSAGES, LANG: Chinese for zh_*, English otherwise): set for this run
// and taken out of the arguments, which are returned. A run in the same process (the tests)
// never inherits an earlier run's language. Another name is a usage error.
std::vector<std::string> takeLanguage(const std::vector<std::string>& args);
// "zh" or "en", the --lang value of the language now set.
std::string languageName();

// `valueOptions` are the option names (without "--") that take a value,
// `flagOptions` those that stand alone.
ParsedArgs parseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions = {});

} // namespace trelmox::cli
