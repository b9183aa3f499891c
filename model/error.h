#pragma once
// The one failure type of the engine. Its message is exactly the text the
// user sees in the error box (or the command-line tool prints), so callers
// never translate or decorate it. Callers that must tell failures apart
// decide by the kind and the source the failure carries, never by the
// message: the arithmetic fault that stopped a computation, the field whose
// text is not a number, the file (path and errno) that could not be read or
// written, the input refused with its field and its row or data-file line.
#include <filesystem>
#include <stdexcept>
#include <string>

namespace trelmox {

enum class ErrorKind {
    Other,        // none of the kinds below (a command refused as a whole)
    Arithmetic,   // a division by zero, an invalid operation or an overflow
    NumberText,   // a text that is not a number, or one beyond a number's range
    File,         // a file operation failed
    RefusedInput, // a value or a line out of its range or shape
};

// NoDrivingForce: the factor's divisor, the force driving the wedge along
// its sliding direction, is zero.
enum class ArithmeticFault { None, DivisionByZero, InvalidOperation, Overflow, NoDrivingForce };

// The stable ASCII names of the kinds and faults that scripts read (the
// tool's JSON, the module's exceptions): never translated, never renamed.
inline const char* errorKindName(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Arithmetic: return "arithmetic";
    case ErrorKind::NumberText: return "number_text";
    case ErrorKind::File: return "file";
    case ErrorKind::RefusedInput: return "refused_input";
    case ErrorKind::Other: break;
    }
    return "other";
}

inline const char* arithmeticFaultName(ArithmeticFault fault) {
    switch (fault) {
    case ArithmeticFault::DivisionByZero: return "division_by_zero";
    case ArithmeticFault::InvalidOperation: return "invalid_operation";
    case ArithmeticFault::Overflow: return "overflow";
    case ArithmeticFault::NoDrivingForce: return "no_driving_force";
    case ArithmeticFault::None: break;
    }
    return "none";
}

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message, ErrorKind kind = ErrorKind::Other)
        : std::runtime_error(message), kind_(kind) {}

    // A failure about one line of a data file: a refused input unless it
    // keeps the kind of the failure it was made from (withLine).
    static Error atLine(const std::string& message, int line) {
        Error error(message, ErrorKind::RefusedInput);
        error.line_ = line;
        return error;
    }
    // A file operation that failed with errno `errorNumber`.
    static Error fromSystem(const std::string& message, int errorNumber) {
        Error error(message, ErrorKind::File);
        error.systemError_ = errorNumber;
        return error;
    }
    static Error arithmetic(const std::string& message, ArithmeticFault fault) {
        Error error(message, ErrorKind::Arithmetic);
        error.fault_ = fault;
        return error;
    }
    static Error numberText(const std::string& message, const std::string& field = {}) {
        Error error(message, ErrorKind::NumberText);
        error.field_ = field;
        return error;
    }
    static Error refused(const std::string& message, const std::string& field = {}, int row = -1) {
        Error error(message, ErrorKind::RefusedInput);
        error.field_ = field;
        error.row_ = row;
        return error;
    }

    // The same failure with more of its source, for the layer that knows it.
    Error withField(const std::string& field) const {
        Error error(*this);
        error.field_ = field;
        return error;
    }
    Error withLine(int line) const {
        Error error(*this);
        error.line_ = line;
        return error;
    }
    Error withRow(int row) const {
        Error error(*this);
        error.row_ = row;
        return error;
    }
    Error withPath(const std::filesystem::path& path) const {
        Error error(*this);
        error.path_ = path;
        return error;
    }
    // The same source with another message (a caller's wording around it).
    Error reworded(const std::string& message) const {
        Error error(message, kind_);
        error.line_ = line_, error.row_ = row_, error.systemError_ = systemError_, error.fault_ = fault_;
        error.field_ = field_, error.path_ = path_;
        return error;
    }
    // The same failure with a caller's wording put before its message
    // ("W1.txt: "). The wording is kept apart from the message it was put
    // before, so that an audience that words a system error otherwise can
    // put its own wording after it (before() + its reason).
    Error prefixed(const std::string& wording) const {
        Error error = reworded(wording + what());
        error.before_ = wording + before_;
        return error;
    }
    // All the wording callers put before the message (prefixed).
    const std::string& before() const noexcept { return before_; }

    ErrorKind kind() const noexcept { return kind_; }
    // The arithmetic fault of an Arithmetic failure, None otherwise.
    ArithmeticFault fault() const noexcept { return fault_; }
    // The field the failure is about, by its name in the data
    // ("SlopeHeight", "seismic.k", ...); empty when it names none.
    const std::string& field() const noexcept { return field_; }
    // The data-file line (from 1), 0 when the failure is about no line.
    int line() const noexcept { return line_; }
    // The row of a table the field is in (from 0), -1 when none.
    int row() const noexcept { return row_; }
    // errno of the file operation that failed, 0 otherwise.
    int systemError() const noexcept { return systemError_; }
    // The file the failure is about, empty when none is known.
    const std::filesystem::path& path() const noexcept { return path_; }

private:
    ErrorKind kind_ = ErrorKind::Other;
    ArithmeticFault fault_ = ArithmeticFault::None;
    int line_ = 0;
    int row_ = -1;
    int systemError_ = 0;
    std::string field_;
    std::filesystem::path path_;
    std::string before_;
};

} // namespace trelmox
