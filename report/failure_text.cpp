#include "report/failure_text.h"

#include "analysis/probabilistic/parameters.h"
#include "model/files.h"
#include "model/language.h"
#include "model/shown_text.h"

namespace trelmox {

std::string toolMessage(const Error& failure) {
    // A failed file operation's message is the file layer's wording of
    // the system error with only callers' wording before it.
    if (const int errorNumber = failure.systemError()) return failure.before() + systemReason(errorNumber);
    // A probabilistic input's refusal names the input by the tool's name in
    // English, by its caption in the windows' Chinese.
    if (const auto* refusal = dynamic_cast<const ParameterRefusal*>(&failure)) return refusalWords(*refusal);
    return failure.what();
}

std::string fileFailureText(const std::filesystem::path& file, const Error& failure) {
    std::string text = shownPath(file);
    if (failure.line() != 0)
        text += messageLanguage() == Language::English ? " line " + std::to_string(failure.line()) + ": "
                                                       : " 第" + std::to_string(failure.line()) + "行: ";
    else
        text += ": ";
    text += toolMessage(failure);
    return shownMessage(text);
}

} // namespace trelmox
