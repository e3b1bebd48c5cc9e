// The worker pool: each job run once by every worker, phases ordered by sync(), callers in turn, counts clamped.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "base/thread_pool.h"

TEST(ThreadPool, EveryWorkerRunsEveryJobOnceAndSeesThePhaseBeforeIt) {
    for (const uint32_t threads : {1u, 2u, 3u, 8u}) {
        SCOPED_TRACE(testing::Message() << threads << " threads");
        base::thread_pool_t pool(threads, threads);
        ASSERT_EQ(pool.size(), threads);
        ASSERT_EQ(pool.workers(), threads);
        std::vector<uint32_t> written(threads, 0);
        std::vector<uint32_t> sums(threads, 0);
        for (uint32_t job = 1; job <= 200; ++job) {
            std::atomic<uint32_t> calls{0};
            pool.run([&](uint32_t worker) {
                calls.fetch_add(1, std::memory_order_relaxed);
                written[worker] = job * 1000 + worker;  // plain writes, ordered by sync()
                pool.sync();
                uint32_t sum = 0;
                for (uint32_t w = 0; w < threads; ++w) sum += written[w];
                sums[worker] = sum;
            });
            ASSERT_EQ(calls.load(), threads) << "job " << job;
            const uint32_t expected = threads * job * 1000 + threads * (threads - 1) / 2;
            for (uint32_t w = 0; w < threads; ++w) ASSERT_EQ(sums[w], expected) << "job " << job << ", worker " << w;
        }
    }
}

TEST(ThreadPool, CallersOnSeveralThreadsTakeTurns) {
    base::thread_pool_t pool(3, 3);
    // Each caller's jobs write its own array in one phase and read it whole in the next.
    std::vector<std::vector<uint32_t>> written(4, std::vector<uint32_t>(3, 0));
    std::vector<uint32_t> wrong(4, 0);
    std::vector<std::thread> callers;
    for (uint32_t c = 0; c < 4; ++c) {
        callers.emplace_back([&, c] {
            for (uint32_t job = 1; job <= 100; ++job) {
                std::atomic<uint32_t> mismatches{0};
                pool.run([&](uint32_t worker) {
                    written[c][worker] = job;
                    pool.sync();
                    for (const uint32_t w : written[c])
                        mismatches.fetch_add(w != job ? 1 : 0, std::memory_order_relaxed);
                });
                wrong[c] += mismatches.load();
            }
        });
    }
    for (std::thread& t : callers) t.join();
    EXPECT_EQ(wrong, std::vector<uint32_t>(4, 0));
}

TEST(ThreadPool, CountsAreClampedAndTheCoresCounted) {
    EXPECT_EQ(base::thread_pool_t(0).size(), 1u);
    EXPECT_EQ(base::thread_pool_t(base::thread_pool_t::max_threads + 1).size(), base::thread_pool_t::max_threads);
    EXPECT_GE(base::online_cores(), 1u);
}

TEST(ThreadPool, JobsRunOnNoMoreThreadsThanCores) {
    // Eight threads asked for on three cores: each job runs on three, indices 0 .. 2, and the
    // phases still meet; the default is the cores this program may run on.
    base::thread_pool_t pool(8, 3);
    EXPECT_EQ(pool.size(), 8u);
    EXPECT_EQ(pool.workers(), 3u);
    for (int job = 0; job < 50; ++job) {
        std::atomic<uint32_t> seen{0};
        std::atomic<uint32_t> after{0};
        pool.run([&](uint32_t worker) {
            seen.fetch_or(1u << worker, std::memory_order_relaxed);
            pool.sync();
            after.fetch_add(seen.load(std::memory_order_relaxed) == 7u ? 1 : 0, std::memory_order_relaxed);
        });
        ASSERT_EQ(seen.load(), 7u) << "job " << job;
        ASSERT_EQ(after.load(), 3u) << "job " << job;
    }
    EXPECT_EQ(base::thread_pool_t(2, 0).workers(), 1u);
    EXPECT_EQ(base::thread_pool_t(64).workers(), std::min(64u, base::online_cores()));
    // Shares follow the threads that run.
    std::atomic<uint32_t> shares{0};
    base::for_each_share(&pool, 100, 1, [&](uint64_t, uint64_t) { shares.fetch_add(1); });
    EXPECT_EQ(shares.load(), 3u);
}
