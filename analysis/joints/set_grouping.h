#pragma once
// How measured planes are paired as cutting planes: each plane as it is
// ("planes"), the sets their labels name ("labels") or N sets grouped by
// k-means on the sphere ("auto:N"). The one reading of that text for the
// tool's --sets and the module's sets= argument.
#include <string>

namespace trelmox {

struct SetGrouping {
    enum class Kind { Planes, Labels, Automatic } Type = Kind::Planes;
    int SetCount = 0; // Automatic: the number of sets, at least 1
    bool operator==(const SetGrouping&) const = default;
};

// "planes", "labels" or "auto:N" with N a whole number of at least 1 in
// plain digits. Throws a refused Error (field "sets") naming the text
// otherwise.
SetGrouping parseSetGrouping(const std::string& text);

} // namespace trelmox
