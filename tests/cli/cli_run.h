#pragma once
// Running the tool in-process for its tests.
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace trelmox::cli::testing {

inline const std::string Example =
    (std::filesystem::path(TRELMOX_TEST_DATA) / ".." / ".." / "examples" / "example.txt").string();

struct CliRun {
    int status;
    std::string out, err;
};

// The tool in the Chinese the windows use, which these tests were written
// against; a "--lang" among `args` comes later and wins.
inline CliRun cli(const std::vector<std::string>& args) {
    std::vector<std::string> chinese{"--lang", "zh"};
    chinese.insert(chinese.end(), args.begin(), args.end());
    std::ostringstream out, err;
    const int status = run(chinese, out, err);
    return {status, out.str(), err.str()};
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace trelmox::cli::testing
