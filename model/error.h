#pragma once
// The one failure type of the engine. Its message is exactly the text the
// user sees in the error box (or the command-line tool prints), so callers
// never translate or decorate it. Two optional details let the tool say
// more than a window may: the data-file line the failure is about, and the
// errno value of a failed file operation.
#include <stdexcept>
#include <string>

namespace trelmox {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}

    static Error atLine(const std::string& message, int line) {
        Error error(message);
        error.line_ = line;
        return error;
    }
    static Error fromSystem(const std::string& message, int errorNumber) {
        Error error(message);
        error.systemError_ = errorNumber;
        return error;
    }

    // The data-file line (from 1), 0 when the failure is about no line.
    int line() const noexcept { return line_; }
    // errno of the file operation that failed, 0 otherwise.
    int systemError() const noexcept { return systemError_; }

private:
    int line_ = 0;
    int systemError_ = 0;
};

} // namespace trelmox
