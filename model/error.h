#pragma once
// The one failure type of the engine. Its message is exactly the text the
// user sees in the error box (or the command-line tool prints), so callers
// never translate or decorate it.
#include <stdexcept>
#include <string>

namespace trelmox {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace trelmox
