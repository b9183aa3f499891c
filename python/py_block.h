#pragma once
// What the module's functions share: the block a script holds, the naming
// of a file in a failure and NumPy arrays that own their figures.
#include <pybind11/numpy.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/datafile.h"
#include "model/error.h"
#include "model/loads.h"
#include "model/shown_text.h"
#include "model/wording.h"

namespace trelmox::python {

// A block as its data file and companion file hold it.
struct Block {
    std::string Name;
    ParsedBlock Saved;               // its texts and their numbers
    std::optional<WedgeLoads> Loads; // absent: a block without a companion file

    WedgeLoads loads() const { return Loads.value_or(WedgeLoads{}); }
};

// Runs `step`, naming the file and the line in its failure as the tool does
// ("W1.txt 第9行: ...").
template <typename Step> auto fromFile(const std::filesystem::path& file, Step step) {
    try {
        return step();
    } catch (const Error& e) {
        const std::string line = e.line() == 0 ? ": "
                                 : inEnglish() ? " line " + std::to_string(e.line()) + ": "
                                               : " 第" + std::to_string(e.line()) + "行: ";
        throw e.prefixed(shownPath(file) + line).withPath(file);
    }
}

// The values as a NumPy array that owns them, without a copy.
inline pybind11::array_t<double> arrayOf(std::vector<double>&& values) {
    auto* held = new std::vector<double>(std::move(values));
    const pybind11::capsule owner(held, [](void* p) { delete static_cast<std::vector<double>*>(p); });
    return pybind11::array_t<double>(static_cast<pybind11::ssize_t>(held->size()), held->data(), owner);
}

// The measurements' and the joints' functions (joints.cpp).
void addJointBindings(pybind11::module_& m);

} // namespace trelmox::python
