#include "ui/background_run.h"

#include <QProgressBar>
#include <QPushButton>

namespace trelmox::ui {

namespace {
constexpr int BarSteps = 1000;
}

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
    if (worker_.joinable()) return false;
    cancelled_ = false;
    bar_->setValue(0);
    worker_ = std::thread([this, work = std::move(work), finish = std::move(finish)] {
        bool completed = false;
        std::exception_ptr failure;
        try {
            completed = work([this](std::uint64_t done, std::uint64_t total) {
                QMetaObject::invokeMethod(
                    this,
                    [this, done, total] {
                        if (total > 0)
                            bar_->setValue(
                                static_cast<int>(BarSteps * (static_cast<double>(done) / static_cast<double>(total))));
                    },
                    Qt::QueuedConnection);
                return !cancelled_;
            });
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

void BackgroundRun::setRunning(bool running) {
    if (start_) start_->setEnabled(!running);
    cancel_->setEnabled(running);
    emit runningChanged(running);
}

} // namespace trelmox::ui
