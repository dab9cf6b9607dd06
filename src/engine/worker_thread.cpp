#include "engine/worker_thread.h"

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

void TWorkerThread::Post(std::function<void()> job)
{
    {
        std::unique_lock lock(Mutex);
        Changed.wait(lock, [this] { return !Job; });
        Job = std::move(job);
    }
    // Started on first use: most canvases never hand anything off.
    if (!Thread.joinable())
        Thread = std::thread([this] { Run(); });
    Changed.notify_all();
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
