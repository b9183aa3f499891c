#include "python/raise_error.h"

#include <pybind11/pybind11.h>

#include <cerrno>
#include <string>

#include "analysis/probabilistic/parameters.h"
#include "report/failure_text.h"

namespace py = pybind11;

namespace trelmox {

namespace {} // namespace

void raiseError(const Error& failure) {
    const py::module_ errors = py::module_::import("trelmox.errors");
    // A probabilistic setting that does not fit its input is a refused
    // input about that input, whatever kind the engine's callers give it.
    const auto* refusal = dynamic_cast<const ParameterRefusal*>(&failure);
    const char* kind = refusal ? errorKindName(ErrorKind::RefusedInput) : errorKindName(failure.kind());
    // A file that is not there is also Python's FileNotFoundError.
    const bool missing = failure.kind() == ErrorKind::File && failure.systemError() == ENOENT;
    const py::object type = errors.attr("error_class")(missing ? "missing_file" : kind);
    const py::object error = type(toolMessage(failure));
    error.attr("kind") = kind;
    error.attr("fault") = arithmeticFaultName(failure.fault());
    const std::string field = refusal && failure.field().empty() ? parameterName(refusal->Input) : failure.field();
    error.attr("field") = field.empty() ? py::none() : py::object(py::str(field));
    error.attr("line") = failure.line() ? py::object(py::int_(failure.line())) : py::none();
    error.attr("row") = failure.row() >= 0 ? py::object(py::int_(failure.row())) : py::none();
    error.attr("path") = failure.path().empty() ? py::none() : py::object(py::str(failure.path().string()));
    error.attr("errno") = failure.systemError() ? py::object(py::int_(failure.systemError())) : py::none();
    PyErr_SetObject(type.ptr(), error.ptr());
}

} // namespace trelmox
