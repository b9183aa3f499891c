#include "analysis/joints/set_grouping.h"

#include <charconv>

#include "model/error.h"

namespace trelmox {

SetGrouping parseSetGrouping(const std::string& text) {
    if (text == "planes") return {};
    if (text == "labels") return {SetGrouping::Kind::Labels};
    constexpr std::string_view automatic = "auto:";
    if (text.starts_with(automatic)) {
        const char* first = text.data() + automatic.size();
        const char* last = text.data() + text.size();
        int count = 0;
        const auto [end, error] = std::from_chars(first, last, count);
        if (first != last && error == std::errc() && end == last && count >= 1)
            return {SetGrouping::Kind::Automatic, count};
    }
    throw Error::refused("invalid value '" + text + "' for --sets (planes, labels or auto:N with N >= 1)", "sets");
}

} // namespace trelmox
