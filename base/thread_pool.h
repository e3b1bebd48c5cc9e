// thread_pool_t: worker threads created once, each running the same job on its own index, with a barrier between
// phases.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

namespace base {

// The processors this program may run on (online cores within its affinity mask), at least 1.
uint32_t online_cores();

// The renderer's parallel frame is a few phases (vertices, triangles, bands) separated by
// barriers, run by the same fixed set of threads every frame. So the pool is not a task
// queue: run() hands one job to every worker at once, the calling thread taking part as
// worker 0, and returns when all have finished it. Threads are started by the constructor and
// joined by the destructor; run() neither creates threads nor allocates. Idle workers look
// for the next job for a few tens of microseconds, then block in the kernel (an atomic
// wait), so a sleeping program burns no core.
//
// A job runs on no more threads than there are cores to run them: more would only take turns
// on the same cores, each turn a wake-up and a switch that every job and every phase would
// wait for. A pool asked for more threads than that starts only as many (size() still says
// how many were asked for).
class thread_pool_t {
public:
    static constexpr uint32_t max_threads = 256;

    // thread_count is clamped to 1 .. max_threads; 1 runs every job on the caller alone. Jobs
    // run on at most `cores` threads (at least 1): by default the cores this program may run on.
    explicit thread_pool_t(uint32_t thread_count, uint32_t cores = online_cores());
    ~thread_pool_t();
    thread_pool_t(const thread_pool_t&) = delete;
    thread_pool_t& operator=(const thread_pool_t&) = delete;

    // The threads asked for, and the threads each job runs on (no more than the cores).
    uint32_t size() const { return thread_count_; }
    uint32_t workers() const { return worker_count_; }

    // Calls job(worker) once for every worker index 0 .. workers() - 1, concurrently, and
    // returns after the last call has returned. Callers on several threads take turns (one
    // job at a time). Not reentrant: a job must not call run().
    template <class Job>
    void run(Job&& job) {
        auto* context = static_cast<void*>(&job);
        run_erased(context, [](void* c, uint32_t worker) { (*static_cast<std::remove_reference_t<Job>*>(c))(worker); });
    }

    // Inside a job: waits until every worker has reached this point (a phase boundary).
    void sync();

private:
    using job_fn = void (*)(void*, uint32_t);
    void run_erased(void* context, job_fn fn);
    void worker_loop(uint32_t worker);

    uint32_t thread_count_;
    uint32_t worker_count_;
    std::mutex turn_;  // held by the caller whose job the workers run
    bool spin_;        // whether waiting threads spin briefly before they block
    // The barrier of sync(): the workers that have reached it, and the phases passed. Each on
    // a cache line of its own, away from the job's hand-over.
    alignas(64) std::atomic<uint32_t> arrived_{0};
    alignas(64) std::atomic<uint32_t> phase_{0};
    alignas(64) void* job_context_ = nullptr;
    job_fn job_ = nullptr;
    std::atomic<uint32_t> generation_{0};           // bumped once per run(); workers wait for a change
    alignas(64) std::atomic<uint32_t> running_{0};  // workers still inside the current job
    bool stopping_ = false;                         // read by the workers after a generation change
    std::unique_ptr<std::jthread[]> threads_;
};

// Calls part(begin, end) once for each of up to pool->workers() consecutive shares of
// 0 .. count, in parallel; with no pool, or a count below min_parallel, once for the whole
// range on the calling thread.
template <class Part>
void for_each_share(thread_pool_t* pool, uint64_t count, uint64_t min_parallel, Part&& part) {
    if (pool == nullptr || pool->workers() == 1 || count < min_parallel) {
        part(uint64_t{0}, count);
        return;
    }
    const uint64_t shares = pool->workers();
    pool->run([&](uint32_t worker) { part(count * worker / shares, count * (worker + 1) / shares); });
}

}  // namespace base
