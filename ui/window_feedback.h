#pragma once
// The feedback of a command run on the window's thread, from start to end
// before the next user action: its notes are shown in message boxes as they
// come, and the files it writes are kept for the window's status bar, also
// when it fails after writing some.
#include "commands/feedback.h"
#include "document/block_document.h"

namespace trelmox::ui {

class WindowFeedback final : public commands::Feedback {
public:
    void inform(const std::string& message) override;
    void fileWritten(const std::filesystem::path& file) override { written_.push_back(file); }
    const WrittenFiles& written() const { return written_; }

private:
    WrittenFiles written_;
};

} // namespace trelmox::ui
