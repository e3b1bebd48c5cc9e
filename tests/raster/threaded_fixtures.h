// Shared by the threaded drawing tests: the thread counts they try, one pool per count, and a patterned texture.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "base/thread_pool.h"
#include "surfaces/texture.h"

// One thread, as many as the cores, and more than the cores (the machine may have two).
inline constexpr std::array<uint32_t, 6> thread_counts = {1, 2, 3, 4, 7, 8};

// One pool per count for the whole test program: pools are made once, like the program's.
// Every thread of a pool runs each job, however few cores the machine has, so that every
// count is drawn with as many threads at once.
inline base::thread_pool_t& pool_of(uint32_t threads) {
    static std::array<std::unique_ptr<base::thread_pool_t>, 9> pools;
    if (!pools[threads]) pools[threads] = std::make_unique<base::thread_pool_t>(threads, threads);
    return *pools[threads];
}

// Colours and transparencies that differ from texel to texel.
inline std::unique_ptr<texture_t> patterned(uint32_t width, uint32_t height) {
    auto t = std::make_unique<texture_t>(width, height, 32);
    for (uint32_t i = 0; i < width * height * 4; ++i) t->pixels[i] = static_cast<uint8_t>(i * 37 + i / 5);
    return t;
}
