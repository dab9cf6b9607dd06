#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Worker threads that share out the parts of one job with the calling
// thread: Run(n, fn) calls fn(0) ... fn(n - 1), each once, and returns when
// every call has returned. Standard threads only, so that ThreadSanitizer
// checks it without an instrumented Qt.
class TThreadPool {
public:
    // As many threads as the machine has cores, or as VELMORA_THREADS says.
    static TThreadPool &Shared();

    explicit TThreadPool(int threads);
    ~TThreadPool();
    TThreadPool(const TThreadPool &) = delete;
    TThreadPool &operator=(const TThreadPool &) = delete;

    // The threads a job is shared among, the calling one included.
    int Threads() const { return Count; }
    // 1 keeps every job on the calling thread. Not while a job runs.
    void SetThreads(int threads);

    // The first exception a part threw is thrown here once all have ended.
    // Parts run while no worker could be started run on the calling thread.
    void Run(int parts, const std::function<void(int)> &part);

private:
    void Work();
    void RunParts();
    void Stop();

    int Count = 1;
    std::vector<std::thread> Workers;
    std::mutex Mutex;
    std::condition_variable Started;
    std::condition_variable Finished;
    // The job: its parts, the next part to take and how many are running.
    const std::function<void(int)> *Part = nullptr;
    int Parts = 0;
    int Next = 0;
    int Busy = 0;
    std::uint64_t Job = 0;
    std::exception_ptr Failure;
    bool Stopping = false;
};
