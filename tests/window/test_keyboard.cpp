// The keyboard without a window: no key is held and no close is requested.
#include <gtest/gtest.h>

#include "base/graphics_screen.h"
#include "window/keyboard.h"
#include "window/window.h"

TEST(Keyboard, WithoutAWindowNoKeyIsHeldAndNothingAsksToClose) {
    ASSERT_NE(base::screen_open(5, 3, 32, 2, 0), nullptr);
    EXPECT_FALSE(rt::window_enabled());
    for (const int code : {rt::scancode_escape, 0, -1, 1000}) EXPECT_EQ(rt::key_state(code), 0) << "key " << code;
    EXPECT_FALSE(rt::window_close_requested());
    base::screen_close(0);
}
