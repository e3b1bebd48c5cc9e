// The worker pool: start-up, the per-job hand-over, shut-down; and the count of usable cores.
#include "base/thread_pool.h"

#include <sched.h>

#include <algorithm>
#include <chrono>

namespace base {

namespace {

// How long a thread waiting for a job (or for the workers to finish one) keeps looking before
// it blocks in the kernel. The hand-overs of one frame follow each other within microseconds,
// where waking a blocked thread costs tens of them; a window's frames are a millisecond or
// more apart, so the spin never lasts through the pause between them.
constexpr auto spin_limit = std::chrono::microseconds(50);

// True once done() holds, false when the spin ran out first or may not spin at all.
template <class Done>
bool spin_until(bool may_spin, Done done) {
    if (!may_spin) return done();
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t i = 1;; ++i) {
        if (done()) return true;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        if (i % 64 == 0 && std::chrono::steady_clock::now() - start > spin_limit) return false;
    }
}

}  // namespace

thread_pool_t::thread_pool_t(uint32_t thread_count, uint32_t cores)
    : thread_count_(std::clamp<uint32_t>(thread_count, 1, max_threads)),
      worker_count_(std::min(thread_count_, std::max(cores, 1u))),
      // With more threads than cores a spinning thread holds the core another needs to finish.
      spin_(worker_count_ <= online_cores()) {
    if (worker_count_ > 1) {
        threads_ = std::make_unique<std::jthread[]>(worker_count_ - 1);
        for (uint32_t i = 1; i < worker_count_; ++i) threads_[i - 1] = std::jthread([this, i] { worker_loop(i); });
    }
}

thread_pool_t::~thread_pool_t() {
    if (!threads_) return;
    stopping_ = true;
    // The release increment publishes stopping_ to the workers, as it publishes a job.
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    threads_.reset();  // joins
}

void thread_pool_t::run_erased(void* context, job_fn fn) {
    if (worker_count_ == 1) {
        fn(context, 0);
        return;
    }
    const std::lock_guard<std::mutex> turn(turn_);
    job_context_ = context;
    job_ = fn;
    running_.store(worker_count_ - 1, std::memory_order_relaxed);
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    fn(context, 0);
    // The last worker to finish wakes this thread; the acquire load sees every write the
    // workers made during the job.
    if (spin_until(spin_, [this] { return running_.load(std::memory_order_acquire) == 0; })) return;
    for (uint32_t left = running_.load(std::memory_order_acquire); left != 0;
         left = running_.load(std::memory_order_acquire)) {
        running_.wait(left, std::memory_order_acquire);
    }
}

void thread_pool_t::sync() {
    const uint32_t phase = phase_.load(std::memory_order_acquire);
    // The last to arrive opens the next phase; the acquire-release count carries every
    // worker's writes to it, and its release increment carries them on to the others. The
    // count is back at zero before anyone can see the new phase and arrive again.
    if (arrived_.fetch_add(1, std::memory_order_acq_rel) + 1 == worker_count_) {
        arrived_.store(0, std::memory_order_relaxed);
        phase_.fetch_add(1, std::memory_order_release);
        phase_.notify_all();
        return;
    }
    // Like a hand-over, a phase's end comes within microseconds: spin first where spinning
    // takes no core from a thread that still has work.
    if (spin_until(spin_, [&] { return phase_.load(std::memory_order_acquire) != phase; })) return;
    while (phase_.load(std::memory_order_acquire) == phase) phase_.wait(phase, std::memory_order_acquire);
}

void thread_pool_t::worker_loop(uint32_t worker) {
    uint32_t seen = 0;
    for (;;) {
        if (!spin_until(spin_, [&] { return generation_.load(std::memory_order_acquire) != seen; })) {
            generation_.wait(seen, std::memory_order_acquire);
        }
        seen = generation_.load(std::memory_order_acquire);
        if (stopping_) return;
        job_(job_context_, worker);
        if (running_.fetch_sub(1, std::memory_order_acq_rel) == 1) running_.notify_one();
    }
}

uint32_t online_cores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return static_cast<uint32_t>(n);
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace base
