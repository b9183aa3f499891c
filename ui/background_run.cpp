#include "ui/background_run.h"

#include <QProgressBar>
#include <QPushButton>

namespace trelmox::ui {

namespace {
constexpr int BarSteps = 1000;
}

// The feedback of the command on the worker thread: its progress goes to
// the bar as queued calls, its cancellation is the cancel button's.
class BackgroundRun::Feedback final : public commands::Feedback {
public:
    explicit Feedback(BackgroundRun& run) : run_(run) {}
    void setProgress(std::uint64_t done, std::uint64_t total) override {
        QMetaObject::invokeMethod(
            &run_, [run = &run_, done, total] { run->showProgress(done, total); }, Qt::QueuedConnection);
    }
    bool isCancelled() const override { return run_.cancelled_; }

private:
    BackgroundRun& run_;
};

BackgroundRun::BackgroundRun(QPushButton* start, QPushButton* cancel, QProgressBar* bar, QObject* parent)
    : QObject(parent), start_(start), cancel_(cancel), bar_(bar) {
    bar_->setRange(0, BarSteps);
    bar_->setValue(0);
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    setRunning(false);
}

BackgroundRun::~BackgroundRun() {
    cancelled_ = true;
    if (worker_.joinable()) worker_.join();
}

bool BackgroundRun::start(std::function<bool(const ProgressCallback&)> work,
                          std::function<void(std::exception_ptr)> finish) {
    return startCommand(
        [work = std::move(work)](commands::Feedback& feedback) { return work(feedback.progressCallback()); },
        std::move(finish));
}

bool BackgroundRun::startCommand(std::function<bool(commands::Feedback&)> work,
                                 std::function<void(std::exception_ptr)> finish) {
    if (worker_.joinable()) return false;
    cancelled_ = false;
    bar_->setValue(0);
    worker_ = std::thread([this, work = std::move(work), finish = std::move(finish)] {
        bool completed = false;
        std::exception_ptr failure;
        try {
            Feedback feedback(*this);
            completed = work(feedback);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this,
            [this, finish, completed, failure] {
                if (worker_.joinable()) worker_.join();
                if (failure || !completed) bar_->setValue(0);
                setRunning(false);
                finish(failure);
            },
            Qt::QueuedConnection);
    });
    setRunning(true);
    return true;
}

void BackgroundRun::showProgress(std::uint64_t done, std::uint64_t total) {
    if (total > 0)
        bar_->setValue(static_cast<int>(BarSteps * (static_cast<double>(done) / static_cast<double>(total))));
}

void BackgroundRun::setRunning(bool running) {
    if (start_) start_->setEnabled(!running);
    cancel_->setEnabled(running);
    emit runningChanged(running);
}

} // namespace trelmox::ui
