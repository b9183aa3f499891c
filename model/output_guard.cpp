#include "model/output_guard.h"

#include <sys/stat.h>

#include "model/shown_text.h"
#include "model/error.h"
#include "model/language.h"

namespace trelmox {

OutputGuard::OutputGuard(const std::vector<std::string>& inputs) : inputs_(inputs) {
    // An input that cannot be read is no file to protect; it fails by itself.
    for (std::size_t i = 0; i < inputs.size(); ++i)
        if (const auto identity = identityOf(inputs[i])) inputFiles_.emplace(*identity, i);
}

std::optional<OutputGuard::Identity> OutputGuard::identityOf(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return Identity{status.st_dev, status.st_ino};
}

bool OutputGuard::stillHas(const std::filesystem::path& path, const Identity& identity) {
    return identityOf(path) == identity;
}

// Both files are looked at now: the output, and the input or earlier output
// that had its identity. Only when both have it are they one file; an
// identity left behind by a file that was since replaced says nothing.
void OutputGuard::check(const std::filesystem::path& output, std::size_t input) const {
    const bool english = messageLanguage() == Language::English;
    const std::string outputText =
        english ? "output file \"" + shownPath(output) + "\"" : "输出文件“" + shownPath(output) + "”";
    const auto writtenBy = [&](std::size_t other) {
        return Error(english ? outputText + " already holds the results of input file \"" + shownPath(inputs_[other]) +
                                   "\" and is not overwritten"
                             : outputText + "已写有输入文件“" + shownPath(inputs_[other]) + "”的结果，不能覆盖");
    };
    {
        const std::lock_guard lock(outputsMutex_);
        if (const auto found = outputPaths_.find(output.lexically_normal());
            found != outputPaths_.end() && found->second != input)
            throw writtenBy(found->second);
    }
    const auto identity = identityOf(output);
    if (!identity) return;
    if (const auto found = inputFiles_.find(*identity);
        found != inputFiles_.end() && stillHas(inputs_[found->second], *identity))
        throw Error::refused(english ? outputText + " is the input file \"" + shownPath(inputs_[found->second]) +
                                           "\" of this run and is not overwritten"
                                     : outputText + "是本次分析的输入文件“" + shownPath(inputs_[found->second]) +
                                           "”，不能覆盖");
    const std::lock_guard lock(outputsMutex_);
    if (const auto found = outputFiles_.find(*identity);
        found != outputFiles_.end() && found->second.input != input && stillHas(found->second.file, *identity))
        throw writtenBy(found->second.input);
}

void OutputGuard::written(const std::filesystem::path& output, std::size_t input) {
    if (!recordOutputs_) return;
    if (const auto identity = identityOf(output)) {
        const std::lock_guard lock(outputsMutex_);
        outputFiles_.insert_or_assign(*identity, Written{input, output});
        outputPaths_.insert_or_assign(output.lexically_normal(), input);
    }
}

void writeOutputs(const std::vector<std::filesystem::path>& outputs, const RunInput& input, OutputGuard& guard,
                  const std::function<void()>& write) {
    try {
        write();
    } catch (const Error& failure) {
        std::string names;
        if (messageLanguage() == Language::English) {
            for (const auto& output : outputs) names += (names.empty() ? "\"" : "\" or \"") + shownPath(output);
            throw failure.prefixed("cannot write " + names + "\": ").withPath(outputs.front());
        }
        for (const auto& output : outputs) names += (names.empty() ? "“" : "”或“") + shownPath(output);
        throw failure.prefixed("无法写入" + names + "”：").withPath(outputs.front());
    }
    for (const auto& output : outputs) guard.written(output, input.number);
}

} // namespace trelmox
