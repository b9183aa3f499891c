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

inline CliRun cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = run(args, out, err);
    return {status, out.str(), err.str()};
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace trelmox::cli::testing
