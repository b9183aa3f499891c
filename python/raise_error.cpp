#include "python/raise_error.h"

#include <pybind11/pybind11.h>

#include <cerrno>
#include <string>

#include "analysis/probabilistic/parameters.h"
#include "cli/output.h"

namespace py = pybind11;

namespace trelmox {

namespace {

const char* kindName(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Arithmetic: return "arithmetic";
    case ErrorKind::NumberText: return "number_text";
    case ErrorKind::File: return "file";
    case ErrorKind::RefusedInput: return "refused_input";
    case ErrorKind::Other: break;
    }
    return "other";
}

const char* faultName(ArithmeticFault fault) {
    switch (fault) {
    case ArithmeticFault::DivisionByZero: return "division_by_zero";
    case ArithmeticFault::InvalidOperation: return "invalid_operation";
    case ArithmeticFault::Overflow: return "overflow";
    case ArithmeticFault::NoDrivingForce: return "no_driving_force";
    case ArithmeticFault::None: break;
    }
    return "none";
}

} // namespace

void raiseError(const Error& failure) {
    const py::module_ errors = py::module_::import("trelmox.errors");
    // A probabilistic setting that does not fit its input is a refused
    // input about that input, whatever kind the engine's callers give it.
    const auto* refusal = dynamic_cast<const ParameterRefusal*>(&failure);
    const char* kind = refusal ? kindName(ErrorKind::RefusedInput) : kindName(failure.kind());
    // A file that is not there is also Python's FileNotFoundError.
    const bool missing = failure.kind() == ErrorKind::File && failure.systemError() == ENOENT;
    const py::object type = errors.attr("error_class")(missing ? "missing_file" : kind);
    const py::object error = type(cli::toolMessage(failure));
    error.attr("kind") = kind;
    error.attr("fault") = faultName(failure.fault());
    const std::string field = refusal && failure.field().empty() ? parameterName(refusal->Input) : failure.field();
    error.attr("field") = field.empty() ? py::none() : py::object(py::str(field));
    error.attr("line") = failure.line() ? py::object(py::int_(failure.line())) : py::none();
    error.attr("row") = failure.row() >= 0 ? py::object(py::int_(failure.row())) : py::none();
    error.attr("path") = failure.path().empty() ? py::none() : py::object(py::str(failure.path().string()));
    error.attr("errno") = failure.systemError() ? py::object(py::int_(failure.systemError())) : py::none();
    PyErr_SetObject(type.ptr(), error.ptr());
}

} // namespace trelmox
