#include "platform/LoopGuard.h"

#include <gtest/gtest.h>

using trovell::LoopGuard;

TEST(LoopGuard, WorkRunsAtOnceOrWhenTheOutermostLoopEnds_HeldTwiceRunsTheLaterOnce) {
    LoopGuard guard;
    int ran = 0;
    guard.RunOrHold([&] { ran += 1; });
    EXPECT_EQ(ran, 1);
    {
        const LoopGuard::Scope drag(guard);
        {
            const LoopGuard::Scope drop(guard);
            guard.RunOrHold([&] { ran += 10; });
            guard.RunOrHold([&] { ran += 100; });
        }
        EXPECT_EQ(ran, 1);
        EXPECT_TRUE(guard.running());
    }
    EXPECT_EQ(ran, 101);
    EXPECT_FALSE(guard.running());
}
