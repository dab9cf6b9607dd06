#include "engine/thread_pool.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace {

int ThreadsFromEnvironment()
{
    const char *value = std::getenv("VELMORA_THREADS");
    const int asked = value ? std::atoi(value) : 0;
    if (asked > 0)
        return std::min(asked, 64);
    return std::clamp(int(std::thread::hardware_concurrency()), 1, 64);
}

} // namespace

TThreadPool &TThreadPool::Shared()
{
    static TThreadPool pool(ThreadsFromEnvironment());
    return pool;
}

TThreadPool::TThreadPool(int threads)
{
    SetThreads(threads);
}

TThreadPool::~TThreadPool()
{
    Stop();
}

// The workers start here, not at the first job, so that a job never waits
// for a thread; one that cannot be had leaves its share to the others.
void TThreadPool::SetThreads(int threads)
{
    Stop();
    Count = 1;
    for (int i = 1; i < threads; ++i) {
        try {
            Workers.emplace_back([this] { Work(); });
        } catch (const std::system_error &) {
            break;
        }
        ++Count;
    }
}

void TThreadPool::Stop()
{
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Started.notify_all();
    for (std::thread &worker : Workers)
        worker.join();
    Workers.clear();
    Stopping = false;
}

void TThreadPool::Run(int parts, const std::function<void(int)> &part)
{
    if (parts <= 0)
        return;
    std::unique_lock lock(Mutex);
    Part = &part;
    Parts = parts;
    Next = 0;
    Failure = nullptr;
    ++Job;
    lock.unlock();
    if (parts > 1)
        Started.notify_all();
    RunParts();
    lock.lock();
    Finished.wait(lock, [this] { return Next >= Parts && Busy == 0; });
    Part = nullptr;
    if (Failure)
        std::rethrow_exception(std::exchange(Failure, nullptr));
}

// Takes parts of the current job until none is left.
void TThreadPool::RunParts()
{
    std::unique_lock lock(Mutex);
    while (Part && Next < Parts) {
        const int index = Next++;
        ++Busy;
        const std::function<void(int)> &part = *Part;
        lock.unlock();
        std::exception_ptr failure;
        try {
            part(index);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure && !Failure)
            Failure = failure;
        --Busy;
    }
    if (Busy == 0)
        Finished.notify_all();
}

void TThreadPool::Work()
{
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(Mutex);
            Started.wait(lock, [&] { return Stopping || (Job != seen && Part && Next < Parts); });
            if (Stopping)
                return;
            seen = Job;
        }
        RunParts();
    }
}
