#include "commands/feedback.h"

namespace trelmox::commands {

void Feedback::setProgress(std::uint64_t, std::uint64_t) {}

bool Feedback::isCancelled() const { return false; }

void Feedback::inform(const std::string&) {}

void Feedback::fileWritten(const std::filesystem::path&) {}

ProgressCallback Feedback::progressCallback() {
    return [this](std::uint64_t done, std::uint64_t total) {
        setProgress(done, total);
        return !isCancelled();
    };
}

} // namespace trelmox::commands
