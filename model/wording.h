#pragma once
// Texts worded at run time (a name, a number inside the sentence) in the
// language a person reads: both wordings are built, one is kept. For fixed
// texts, inLanguage of model/language.h picks between two literals.
#include <string>

#include "model/block.h"
#include "model/language.h"

namespace trelmox {

inline bool inEnglish() { return messageLanguage() == Language::English; }

inline std::string inLanguage(const std::string& chinese, const std::string& english) {
    return inEnglish() ? english : chinese;
}

// The same, always as a std::string, for texts built by concatenation.
inline std::string say(const std::string& chinese, const std::string& english) {
    return inEnglish() ? english : chinese;
}

// The planes' names by role, as PlaneNames gives them in Chinese (which the
// files keep whatever the language).
inline const char* planeName(int plane) {
    static constexpr const char* English[PlaneCount] = {"plane 1", "plane 2", "upper slope", "slope face"};
    return inLanguage(PlaneNames[plane], English[plane]);
}

} // namespace trelmox
