// The library on several threads: renderers sharing a pool from several threads, and every thread count, give the
// same bytes.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "softcube/softcube.h"

TEST(ThreadedLibrary, SharedPoolsAndThreadCountsGiveTheSameBytes) {
    const softcube::model m = softcube::load_model(std::string(SOFTCUBE_SOURCE_DIR) + "/assets/models/torus.obj");
    softcube::render_options o;
    o.width = 96;
    o.height = 64;
    o.azimuth = 30;
    o.frame = 77;
    const softcube::image reference = softcube::renderer(1).render(m, o);
    softcube::thread_pool shared(3);
    std::vector<softcube::image> results(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] {
            softcube::renderer r(shared);
            results[i] = i % 2 == 0 ? r.render(m, o) : softcube::renderer(2).render(m, o);
        });
    }
    for (std::thread& t : threads) t.join();
    for (const softcube::image& r : results) EXPECT_EQ(r.pixels, reference.pixels);
    o.threads = 8;
    EXPECT_EQ(softcube::render(m, o).pixels, reference.pixels);
}
