#pragma once
// The --output option of the commands that print a result.
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/options.h"

namespace trelmox::cli {

// Where a command's result goes: standard output, or the file of
// --output FILE, written in one step once the whole result is there (an
// interrupted or failed run leaves the file as it was) and never over an
// input of the run. An Excel workbook is bytes no terminal can show: with
// neither --output nor standard output sent elsewhere, it is a usage error
// before anything is run.
class ResultDestination {
public:
    // Throws UsageError as said; `inputs` are the run's input files.
    ResultDestination(const ParsedArgs& parsed, const std::string& format, const std::vector<std::string>& inputs,
                      std::ostream& out);
    // The stream to print the result to.
    std::ostream& stream();
    // Writes the file, if one was asked for. Throws Error naming it.
    void finish();
    // Refuses an output file that is an input of the run, before the run.
    void check() const;

private:
    std::optional<std::filesystem::path> file_;
    std::vector<std::string> inputs_;
    std::ostream& out_;
    std::ostringstream buffer_;
};

// Whether `out` is the process's standard output and that is a terminal.
bool isTerminalOutput(const std::ostream& out);

} // namespace trelmox::cli
