#pragma once
// What a command tells whoever started it while it runs, and how it learns
// that it should stop. The windows and the tool run the same commands and
// differ only in their feedback: a window's shows a progress bar and
// message boxes and is cancelled by its button, the tool's draws a
// progress line and is cancelled by Ctrl-C.
#include <cstdint>
#include <filesystem>
#include <string>

#include "analysis/progress.h"

namespace trelmox::commands {

class Feedback {
public:
    virtual ~Feedback() = default;
    // The work finished so far of `total`; called on the thread the
    // command runs on, and once with done == total at the end.
    virtual void setProgress(std::uint64_t done, std::uint64_t total);
    // Whether the command should stop at its next report of progress.
    virtual bool isCancelled() const;
    // A note the user reads before the command goes on (a triple of planes
    // that cuts out no corner, the contact case of the wedge).
    virtual void inform(const std::string& message);
    // A file the command has just written, as it goes: a command that
    // fails later has still written these.
    virtual void fileWritten(const std::filesystem::path& file);

    // The feedback as the engine's runs take it: progress reported, false
    // once cancelled.
    ProgressCallback progressCallback();
};

// Feedback that tells nothing and never cancels: a command run where no
// one watches it (the fuzz harnesses, a script).
inline Feedback& silentFeedback() {
    static Feedback silent;
    return silent;
}

} // namespace trelmox::commands
