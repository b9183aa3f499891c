#pragma once
// A long probabilistic run seen from the terminal: a progress line on
// standard error, and Ctrl-C as a clean stop.
#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>

#include "commands/feedback.h"

namespace trelmox::cli {

// Whether `stream` is the process's standard error and that is a terminal.
// A progress line is for a person watching: in a file or a pipe its
// carriage returns would only be noise.
bool isTerminal(const std::ostream& stream);

// "[=========>          ]  45%  8.1 M samples/s  3 s left" drawn over one
// line, at most ten times a second, and only once the run has taken a
// second: a short run shows nothing. The rate is taken from the first
// update on, as a run may prepare for a while (the Latin hypercube's
// strata) before its first sample is done. `unit` names what is counted.
class ProgressLine {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    ProgressLine(std::ostream& err, bool shown, Clock clock = std::chrono::steady_clock::now);
    ProgressLine(std::ostream& err, bool shown, const char* unit, Clock clock = std::chrono::steady_clock::now);
    void update(std::uint64_t done, std::uint64_t total);
    // Wipes the line, so that what is written next starts on a clean one.
    void clear();

private:
    std::ostream& err_;
    bool shown_;
    const char* unit_ = "samples";
    Clock clock_;
    std::chrono::steady_clock::time_point start_, lastDrawn_;
    struct Point {
        std::chrono::steady_clock::time_point Time;
        std::uint64_t Done = 0;
    };
    std::optional<Point> first_;
    bool drawn_ = false;
};

// While it lives, SIGINT (Ctrl-C) sets a flag instead of ending the
// process, so that a run stops at its next progress call and writes
// nothing partial. A SIGINT ignored from the start (a background job of a
// shell) stays ignored.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
    bool interrupted() const;
};

// A command's feedback in the tool: its progress on the progress line,
// Ctrl-C its cancellation.
class TerminalFeedback final : public commands::Feedback {
public:
    TerminalFeedback(ProgressLine& line, const InterruptGuard& interrupt) : line_(line), interrupt_(interrupt) {}
    void setProgress(std::uint64_t done, std::uint64_t total) override { line_.update(done, total); }
    bool isCancelled() const override { return interrupt_.interrupted(); }

private:
    ProgressLine& line_;
    const InterruptGuard& interrupt_;
};

} // namespace trelmox::cli
