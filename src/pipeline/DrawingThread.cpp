#include "pipeline/DrawingThread.h"

#include <utility>

namespace pelsid {

DrawingThread::~DrawingThread() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool DrawingThread::worthwhile() {
    return std::thread::hardware_concurrency() >= 2;
}

void DrawingThread::start(std::function<void()> job) {
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
        error_ = nullptr;
    }
    changed_.notify_all();
}

void DrawingThread::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void DrawingThread::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return quit_ || (busy_ && job_); });
        if (quit_) return;
        std::function<void()> job = std::move(job_);
        job_ = nullptr;
        lock.unlock();
        std::exception_ptr error;
        try {
            job();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        error_ = error;
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace pelsid
