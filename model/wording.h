#pragma once
// Texts worded at run time (a name, a number inside the sentence) in the
// language a person reads: both wordings are built, one is kept. For fixed
// texts, inLanguage of model/language.h picks between two literals.
#include <string>

#include "model/language.h"

namespace trelmox {

inline bool inEnglish() { return messageLanguage() == Language::English; }

inline std::string inLanguage(const std::string& chinese, const std::string& english) {
    return inEnglish() ? english : chinese;
}

} // namespace trelmox
