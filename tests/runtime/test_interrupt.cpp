// Interrupt requests: SIGINT and SIGTERM become a flag once caught, with the shell's exit statuses.
#include <gtest/gtest.h>

#include <csignal>

#include "runtime/interrupt.h"

TEST(Interrupt, TheFirstSignalIsNotedAndGivesTheShellsExitStatus) {
    EXPECT_EQ(rt::interrupt_signal(), 0);
    rt::catch_interrupts();
    EXPECT_EQ(rt::interrupt_signal(), 0);
    // Without the handler this would end the test program.
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_EQ(rt::interrupt_signal(), SIGTERM);
    ASSERT_EQ(std::raise(SIGINT), 0);
    EXPECT_EQ(rt::interrupt_signal(), SIGINT);
    EXPECT_EQ(rt::interrupted_exit_status(SIGINT), 130);
    EXPECT_EQ(rt::interrupted_exit_status(SIGTERM), 143);
    // Each handler went with its first signal: a second one ends the process as it always did.
    struct sigaction now {};
    ASSERT_EQ(sigaction(SIGINT, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}
