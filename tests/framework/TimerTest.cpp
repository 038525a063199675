// The timer table on a manual clock: ids, due times, late timers, removal while firing.

#include "framework/Timer.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TimerTest : public ::testing::Test {
protected:
    void Pass(uint64_t advanceMs = 0)
    {
        clock.AdvanceMilliseconds(advanceMs);
        table.FireDue(IMEvent(nullptr, 0));
    }
    // Connects a handler that logs "<name>@<ms since start>".
    void Log(int id, const std::string& name)
    {
        table.ConnectTimer(id, [this, name](const IMEvent& e) {
            EXPECT_TRUE(e.Is(0));
            log.push_back(name + "@" + std::to_string(clock.Milliseconds() - 5000));
            return 0L;
        });
    }

    ManualClock clock { 5'000'000 };
    ScopedClock scoped { clock };
    IMTimerTable table;
    std::vector<std::string> log;
};

using Fired = std::vector<std::string>;

} // namespace

TEST_F(TimerTest, IdsCountUpAndAreNeverReused)
{
    EXPECT_EQ(table.AddTimer(10), 1);
    EXPECT_EQ(table.AddTimer(10), 2);
    table.RemoveTimer(2);
    table.RemoveTimer(1);
    EXPECT_EQ(table.AddTimer(10), 3);
    table.Clear();
    EXPECT_EQ(table.AddTimer(10), 4);
    EXPECT_EQ(table.Count(), 1u);
}

TEST_F(TimerTest, UnknownIdsAreIgnored)
{
    EXPECT_EQ(table.RemoveTimer(0), 0);
    EXPECT_EQ(table.RemoveTimer(42), 0);
    IMConnection c = table.ConnectTimer(42, [](const IMEvent&) { return 0L; });
    EXPECT_FALSE(c.connected());
}

TEST_F(TimerTest, IntervalZeroFiresOnEveryPass)
{
    Log(table.AddTimer(0), "z");
    Pass();
    Pass();
    Pass(3);
    EXPECT_EQ(log, (Fired { "z@0", "z@0", "z@3" }));
}

// A timer fires once its interval has passed; after a stall it fires once, and its next
// period starts from that firing.
TEST_F(TimerTest, LateTimerFiresOnceAndRestartsItsPeriod)
{
    Log(table.AddTimer(10), "t");
    Pass(9);
    EXPECT_TRUE(log.empty());
    Pass(1);
    EXPECT_EQ(log, (Fired { "t@10" }));
    Pass(55); // stall: five periods missed
    EXPECT_EQ(log, (Fired { "t@10", "t@65" }));
    Pass();
    Pass(9);
    EXPECT_EQ(log.size(), 2u);
    Pass(1);
    EXPECT_EQ(log.back(), "t@75");
}

TEST_F(TimerTest, DueTimersFireInIdOrder)
{
    int late = table.AddTimer(5);
    Log(table.AddTimer(5), "b");
    Log(late, "a");
    Log(table.AddTimer(20), "c");
    Pass(20);
    EXPECT_EQ(log, (Fired { "a@20", "b@20", "c@20" }));
}

// The blink and glide chains remove the firing timer from its own handler and add the next.
TEST_F(TimerTest, HandlerRemovesItsOwnTimerAndAddsTheNext)
{
    int first = table.AddTimer(0);
    int second = table.AddTimer(0);
    int added = 0;
    bool laterHandlerRan = false;
    table.ConnectTimer(first, [&](const IMEvent&) {
        table.RemoveTimer(first);
        added = table.AddTimer(0);
        Log(added, "added");
        return 0L;
    });
    // A second handler of the removed timer does not run once it is disconnected.
    table.ConnectTimer(first, [&](const IMEvent&) {
        laterHandlerRan = true;
        return 0L;
    });
    Log(second, "second");
    Pass();
    EXPECT_FALSE(laterHandlerRan);
    EXPECT_FALSE(table.HasTimer(first));
    // The timer added during the pass is first examined by the next pass.
    EXPECT_EQ(log, (Fired { "second@0" }));
    Pass();
    EXPECT_EQ(log, (Fired { "second@0", "second@0", "added@0" }));
    EXPECT_EQ(added, 3);
}

TEST_F(TimerTest, HandlerRemovingALaterTimerStopsItFiring)
{
    int a = table.AddTimer(0);
    int b = table.AddTimer(0);
    table.ConnectTimer(a, [&](const IMEvent&) {
        table.RemoveTimer(b);
        return 0L;
    });
    Log(b, "b");
    Pass();
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(table.HasTimer(b));
}

TEST_F(TimerTest, TimerLeftWithoutHandlersIsDropped)
{
    int id = table.AddTimer(5);
    IMConnection c = table.ConnectTimer(id, [](const IMEvent&) { return 0L; });
    int unconnected = table.AddTimer(5);
    c.disconnect();
    Pass(5);
    EXPECT_FALSE(table.HasTimer(id));
    // A timer nobody has connected to yet stays.
    EXPECT_TRUE(table.HasTimer(unconnected));
}

TEST_F(TimerTest, MillisecondsUntilDue)
{
    EXPECT_EQ(table.MillisecondsUntilDue(), UINT32_MAX);
    int slow = table.AddTimer(100);
    table.AddTimer(30);
    EXPECT_EQ(table.MillisecondsUntilDue(), 30u);
    clock.AdvanceMilliseconds(12);
    EXPECT_EQ(table.MillisecondsUntilDue(), 18u);
    clock.AdvanceMilliseconds(40);
    EXPECT_EQ(table.MillisecondsUntilDue(), 0u);
    table.Clear();
    EXPECT_FALSE(table.HasTimer(slow));
    EXPECT_EQ(table.MillisecondsUntilDue(), UINT32_MAX);
}

// The tick count wraps after 49.7 days; timers run on the 64-bit counter and do not notice.
TEST_F(TimerTest, TimersSurviveTheMillisecondWrap)
{
    clock.AdvanceMilliseconds(0xFFFFFFFFull - 5000 - 3);
    Log(table.AddTimer(10), "w");
    Pass(10);
    ASSERT_EQ(log.size(), 1u);
}
