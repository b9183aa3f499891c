#pragma once
// A long computation of a window on a worker thread, with the row that
// shows it: a button that starts it, a cancel button and a progress bar.
// The window stays usable meanwhile. Progress and the end come back to the
// window's thread as queued calls, which Qt drops once the run is gone; its
// destructor cancels and waits for the worker first.
#include <QObject>

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

#include "analysis/progress.h"
#include "commands/feedback.h"

class QProgressBar;
class QPushButton;

namespace trelmox::ui {

class BackgroundRun : public QObject {
    Q_OBJECT
public:
    // The widgets are the window's; the run only enables them and shows
    // progress in them. A click on `cancel` cancels.
    BackgroundRun(QPushButton* start, QPushButton* cancel, QProgressBar* bar, QObject* parent);
    ~BackgroundRun() override;

    bool running() const { return worker_.joinable(); }
    // Runs `work` on the worker thread with a callback that shows its
    // progress and answers false once cancelled; `work` returns false when
    // it stopped for that. Then `finish` runs on this thread with the failure
    // `work` threw, if any. The bar is left full after a run that ended, at
    // zero after one cancelled or failed. False, and nothing started, while
    // a run is going.
    bool start(std::function<bool(const ProgressCallback&)> work, std::function<void(std::exception_ptr)> finish);
    // The same for a command: its feedback shows the progress in the bar
    // and is cancelled by the cancel button.
    bool startCommand(std::function<bool(commands::Feedback&)> work, std::function<void(std::exception_ptr)> finish);
    // Asks the run going to stop at its next report of progress.
    void cancel() { cancelled_ = true; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void runningChanged(bool running);

private:
    class Feedback;
    void setRunning(bool running);
    void showProgress(std::uint64_t done, std::uint64_t total);

    QPushButton* start_;
    QPushButton* cancel_;
    QProgressBar* bar_;
    std::thread worker_;
    std::atomic<bool> cancelled_{false};
};

} // namespace trelmox::ui
