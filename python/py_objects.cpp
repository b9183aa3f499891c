#include "python/py_objects.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "model/textcodec.h"

namespace py = pybind11;
using trelmox::Json;

namespace {

py::str textOf(const std::string& text) {
    if (trelmox::isUtf8(text)) return py::str(text);
    return py::str(Json::parse(trelmox::jsonString(text)).get<std::string>());
}

} // namespace

py::object pythonOf(const Json& value) {
    switch (value.type()) {
    case Json::value_t::boolean: return py::bool_(value.get<bool>());
    case Json::value_t::number_integer: return py::int_(value.get<std::int64_t>());
    case Json::value_t::number_unsigned: return py::int_(value.get<std::uint64_t>());
    case Json::value_t::number_float: {
        const double number = value.get<double>();
        return std::isfinite(number) ? py::object(py::float_(number)) : py::object(py::none());
    }
    case Json::value_t::string: return textOf(value.get_ref<const std::string&>());
    case Json::value_t::array: {
        py::list list;
        for (const Json& item : value) list.append(pythonOf(item));
        return std::move(list);
    }
    case Json::value_t::object: {
        py::dict dict;
        for (const auto& [key, item] : value.items()) dict[textOf(key)] = pythonOf(item);
        return std::move(dict);
    }
    default: return py::none();
    }
}

py::list pythonListOf(const std::vector<Json>& rows) {
    py::list list;
    for (const Json& row : rows) list.append(pythonOf(row));
    return list;
}
