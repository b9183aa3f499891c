#include "cli/options.h"

#include <algorithm>

#include "model/language.h"

namespace trelmox::cli {

std::optional<std::string> ParsedArgs::last(const std::string& name) const {
    const auto found = values.find(name);
    if (found == values.end() || found->second.empty()) return std::nullopt;
    return found->second.back();
}

std::string ParsedArgs::choice(const std::string& name, const std::vector<std::string>& allowed,
                               const std::string& fallback) const {
    const auto value = last(name);
    if (!value) return fallback;
    if (std::find(allowed.begin(), allowed.end(), *value) == allowed.end())
        throw UsageError("invalid value '" + *value + "' for --" + name);
    return *value;
}

std::optional<std::string> ParsedArgs::folder(const std::string& name) const {
    const auto value = last(name);
    if (value && value->empty()) throw UsageError("--" + name + " needs a folder");
    return value;
}

std::vector<std::string> takeLanguage(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    std::optional<std::string> name;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (arg == "--lang") {
            if (i + 1 >= args.size()) {
                setMessageLanguage(Language::English);
                throw UsageError("option '--lang' needs a value");
            }
            name = args[++i];
        } else if (arg.starts_with("--lang=")) {
            name = arg.substr(7);
        } else {
            rest.push_back(arg);
        }
    }
    const auto language = name ? languageFromName(*name) : languageOfEnvironment();
    setMessageLanguage(language.value_or(Language::English));
    if (!language) throw UsageError("invalid value '" + *name + "' for --lang (zh or en)");
    return rest;
}

std::string languageName() { return messageLanguage() == Language::English ? "en" : "zh"; }

ParsedArgs parseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (!optionsEnded && arg.size() > 1 && arg[0] == '-') throw UsageError("unknown option '" + arg + "'");
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            parsed.help = true;
            continue;
        }
        if (flagOptions.contains(arg.substr(2))) {
            parsed.flags.insert(arg.substr(2));
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (!valueOptions.contains(name)) throw UsageError("unknown option '--" + name + "'");
        if (equals != std::string::npos) {
            parsed.values[name].push_back(arg.substr(equals + 1));
        } else {
            if (i + 1 >= args.size()) throw UsageError("option '--" + name + "' needs a value");
            parsed.values[name].push_back(args[++i]);
        }
    }
    return parsed;
}

} // namespace trelmox::cli
