#include "engine/worker_thread.h"

#include <system_error>

TWorkerThread::~TWorkerThread()
{
    {
        std::unique_lock lock(Mutex);
        Changed.wait(lock, [this] { return !Job; });
        Stopping = true;
    }
    Changed.notify_all();
    if (Thread.joinable())
        Thread.join();
}

bool TWorkerThread::Post(std::function<void()> job)
{
    // Started on first use: most canvases never hand anything off. Started
    // before the job is queued, so that no job waits for a thread that
    // never came.
    if (!Thread.joinable()) {
        try {
            Thread = std::thread([this] { Run(); });
        } catch (const std::system_error &) {
            return false;
        }
    }
    {
        std::unique_lock lock(Mutex);
        Changed.wait(lock, [this] { return !Job; });
        Job = std::move(job);
    }
    Changed.notify_all();
    return true;
}

void TWorkerThread::Wait()
{
    std::unique_lock lock(Mutex);
    Changed.wait(lock, [this] { return !Job; });
}

bool TWorkerThread::Busy()
{
    std::lock_guard lock(Mutex);
    return bool(Job);
}

// The job stays set while it runs, so that Wait returns only after it ended.
void TWorkerThread::Run()
{
    std::unique_lock lock(Mutex);
    for (;;) {
        Changed.wait(lock, [this] { return Stopping || Job; });
        if (!Job)
            return;
        std::function<void()> job = Job;
        lock.unlock();
        job();
        lock.lock();
        Job = nullptr;
        Changed.notify_all();
    }
}
