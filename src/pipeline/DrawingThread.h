#pragma once
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace pelsid {

/// A second thread that runs one piece of drawing at a time while the
/// user-interface thread does another, so a range plays on two cores.
class DrawingThread {
  public:
    DrawingThread() = default;
    ~DrawingThread();
    DrawingThread(const DrawingThread&) = delete;
    DrawingThread& operator=(const DrawingThread&) = delete;

    /// True where a second core is there to use.
    static bool worthwhile();
    /// Runs `job` on the thread (started at the first call); returns at once.
    void start(std::function<void()> job);
    /// Waits for the job; an exception it threw is thrown here.
    void wait();

  private:
    void run();

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    bool quit_ = false;
    std::exception_ptr error_;
};

}  // namespace pelsid
