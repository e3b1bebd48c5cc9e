// The angle of frame N computed directly against the frame loop's own additions.
#include <gtest/gtest.h>

#include <cstdint>

#include "scene/frame_angle.h"
#include "scene/scene.h"

TEST(FrameAngle, EveryFrameIsTheSumTheLoopReachesBitForBit) {
    EXPECT_EQ(demo_angle(0), 0.0);
    EXPECT_EQ(demo_angle(1), 0.01);
    // Every frame up to 2^20, and checkpoints across many binades up to 2^27 frames (an
    // angle beyond a million radians), each compared with the loop's running sum.
    double angle = 0.0;
    uint64_t next_checkpoint = uint64_t{1} << 20;
    for (uint64_t frame = 1; frame <= (uint64_t{1} << 27); ++frame) {
        angle += 0.01;
        if (frame <= (uint64_t{1} << 20) || frame == next_checkpoint || frame % 999983 == 0) {
            ASSERT_EQ(demo_angle(frame), angle) << "frame " << frame;
            if (frame == next_checkpoint) next_checkpoint += next_checkpoint / 7 + 1;
        }
    }
}

namespace {

struct counting_scene_t : scene_t {
    void update() override {
        if (!paused) angle += 0.01;
    }
    void draw(screen_t&) const override {}
    void reproject(const screen_t&) override {}
};

}  // namespace

TEST(FrameAngle, AScenePreparesTheFrameItStartsAtAndHoldsStill) {
    counting_scene_t scene;
    scene.start_at_frame(0);
    scene.update();
    EXPECT_EQ(scene.angle, 0.0);  // the unturned scene
    scene.update();
    EXPECT_EQ(scene.angle, demo_angle(1));
    scene.start_at_frame(123456);
    scene.update();
    EXPECT_EQ(scene.angle, demo_angle(123456));
    scene.update();
    EXPECT_EQ(scene.angle, demo_angle(123457));
    scene.hold_at_frame(77);
    scene.update();
    scene.update();
    EXPECT_EQ(scene.angle, demo_angle(77));
}
