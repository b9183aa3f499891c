#include "cli/progress.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include <unistd.h>

#include "model/wording.h"

namespace trelmox::cli {

namespace {

using namespace std::chrono_literals;

constexpr auto QuietStart = 1s; // runs shorter than this show nothing
constexpr auto RedrawInterval = 100ms;
constexpr int BarWidth = 20;

std::string rateText(double perSecond) {
    char text[32];
    if (perSecond >= 1e6)
        std::snprintf(text, sizeof text, "%.1f M", perSecond / 1e6);
    else if (perSecond >= 1e3)
        std::snprintf(text, sizeof text, "%.0f k", perSecond / 1e3);
    else
        std::snprintf(text, sizeof text, "%.0f", perSecond);
    return text;
}

std::string durationText(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole < 60)
        std::snprintf(text, sizeof text, "%ld s", whole);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

// What is counted, in the language of the messages.
std::string unitText(const char* unit) {
    if (inEnglish()) return unit;
    const std::string counted = unit;
    return counted == "samples" ? "样本" : counted == "pairs" ? "对" : counted;
}

// `rate` in `unit` per second, 0 while unknown.
std::string progressText(std::uint64_t done, std::uint64_t total, double rate, const char* unit) {
    const double fraction = total ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(fraction * BarWidth);
    std::string bar(static_cast<std::size_t>(filled), '=');
    if (filled < BarWidth) bar += '>' + std::string(static_cast<std::size_t>(BarWidth - filled - 1), ' ');
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction * 100));
    std::string text = "[" + bar + "] " + percent;
    if (rate > 0) {
        const std::string left = durationText(static_cast<double>(total - done) / rate);
        text += "  " + rateText(rate) + " " + unitText(unit) + "/s  " +
                (inEnglish() ? left + " left" : std::string("剩余 ") + left);
    }
    return text;
}

// A signal handler may only touch a lock-free atomic or a volatile sig_atomic_t.
std::atomic<bool> interruptFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int) { interruptFlag.store(true); }

struct sigaction previousAction;

} // namespace

bool isTerminal(const std::ostream& stream) { return &stream == &std::cerr && ::isatty(STDERR_FILENO) == 1; }

ProgressLine::ProgressLine(std::ostream& err, bool shown, Clock clock)
    : err_(err), shown_(shown), clock_(std::move(clock)), start_(clock_()) {}

ProgressLine::ProgressLine(std::ostream& err, bool shown, const char* unit, Clock clock)
    : err_(err), shown_(shown), unit_(unit), clock_(std::move(clock)), start_(clock_()) {}

void ProgressLine::update(std::uint64_t done, std::uint64_t total) {
    if (!shown_) return;
    const auto now = clock_();
    if (!first_) first_ = {now, done};
    if (now - start_ < QuietStart || (drawn_ && now - lastDrawn_ < RedrawInterval)) return;
    const double seconds = std::chrono::duration<double>(now - first_->Time).count();
    const double rate = seconds > 0 ? static_cast<double>(done - first_->Done) / seconds : 0;
    // "\033[K" wipes what a longer earlier line left to the right.
    err_ << '\r' << progressText(done, total, rate, unit_) << "\033[K" << std::flush;
    drawn_ = true;
    lastDrawn_ = now;
}

void ProgressLine::clear() {
    if (drawn_) err_ << "\r\033[K" << std::flush;
    drawn_ = false;
}

InterruptGuard::InterruptGuard() {
    interruptFlag = false;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, nullptr, &previousAction);
    if (previousAction.sa_handler != SIG_IGN) sigaction(SIGINT, &action, nullptr);
}

InterruptGuard::~InterruptGuard() { sigaction(SIGINT, &previousAction, nullptr); }

bool InterruptGuard::interrupted() const { return interruptFlag.load(); }

} // namespace trelmox::cli
