#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// One background thread that runs one job at a time, for work the GUI thread
// hands off and must never wait for unless it needs the result. Standard
// threads only, so that ThreadSanitizer checks it without an instrumented Qt.
class TWorkerThread {
public:
    TWorkerThread() = default;
    // Waits for the running job, then ends the thread.
    ~TWorkerThread();

    TWorkerThread(const TWorkerThread &) = delete;
    TWorkerThread &operator=(const TWorkerThread &) = delete;

    // Waits for the previous job, then starts this one. A job must not throw.
    // Returns false, running nothing, when the thread cannot be started.
    bool Post(std::function<void()> job);
    // Returns once no job is queued or running.
    void Wait();
    bool Busy();

private:
    void Run();

    std::mutex Mutex;
    std::condition_variable Changed;
    std::function<void()> Job;
    bool Stopping = false;
    std::thread Thread;
};
