// Whole-number conversion, timers on a hand-driven clock, the scroll bar and the list box.
#include "support/toolkit_env.h"
#include "toolkit/form.h"
#include "toolkit/list_box.h"
#include "toolkit/rounding.h"
#include "toolkit/scroll_bar.h"

#include <QListWidget>
#include <QTest>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using test_env::expect_error;

TEST(Rounding, HalvesGoToTheEvenNeighbourAndOverflowFails) {
    const std::pair<double, double> cases[] = {{2.5, 2},   {3.5, 4},    {-2.5, -2},
                                               {-1.5, -2}, {2.5001, 3}, {1e6 + 0.5, 1e6}};
    for (auto [in, out] : cases)
        EXPECT_EQ(tk::round_half_even(in), out) << in;
    EXPECT_EQ(tk::to_int32(2147483646.5), 2147483646);
    EXPECT_EQ(tk::to_int32(-2147483648.5), std::numeric_limits<std::int32_t>::min());
    for (double bad : {2147483647.5, -2147483649.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(bad);
        expect_error(tk::Error::Overflow, [&] { tk::to_int32(bad); });
    }
}

// Records each tick of `t` as "name@time".
void log_ticks(std::vector<std::string>& log, tk::Timer& t, const std::string& name,
               const tk::ManualClock& clock) {
    t.onTick = [&log, name, &clock] { log.push_back(name + "@" + std::to_string(clock.now())); };
}

TEST(Timer, EnablingDisablingAndNewIntervalsStartAFullCountdown) {
    tk::ScopedManualClock clock;
    tk::Timer t(100), off(10), zero(0);
    std::vector<std::string> log;
    log_ticks(log, t, "t", clock);
    log_ticks(log, zero, "zero", clock);
    zero.setEnabled(true);
    clock.advance(30);
    t.setEnabled(true); // next tick at 130
    clock.advance(60);
    t.setEnabled(false);
    t.setEnabled(true); // at 90: next tick at 190
    clock.advance(90);
    t.setInterval(50); // at 180: next tick at 230
    clock.advance(60);
    t.setInterval(50); // the same interval restarts too: at 240, next tick at 290
    clock.advance(55);
    EXPECT_EQ(log, (std::vector<std::string>{"t@230", "t@290"}));
    EXPECT_FALSE(clock.armed(off));
    EXPECT_FALSE(clock.armed(zero));
}

TEST(Timer, SeveralTimersTickInTimeOrder) {
    tk::ScopedManualClock clock;
    tk::Timer a(30), b(20), c(50);
    std::vector<std::string> log;
    for (auto [t, name] : {std::pair{&a, "a"}, {&b, "b"}, {&c, "c"}}) {
        log_ticks(log, *t, name, clock);
        t->setEnabled(true);
    }
    clock.advance(100);
    // Ties go in the order the countdowns were started.
    EXPECT_EQ(log, (std::vector<std::string>{"b@20", "a@30", "b@40", "c@50", "a@60", "b@60", "b@80",
                                             "a@90", "c@100", "b@100"}));
}

TEST(Timer, OutlivesTheTestClockThatCountedIt) {
    tk::Timer t(10);
    auto clock = std::make_unique<tk::ScopedManualClock>();
    t.setEnabled(true);
    clock.reset();
    t.setEnabled(false); // must not reach the clock that is gone
    t.setEnabled(true);
    EXPECT_TRUE(t.enabled());
    t.setEnabled(false);
}

class TestForm : public tk::Form {
  public:
    TestForm() : tk::Form(QStringLiteral("test_form")) {
        design(3000, 1500);
        bar.setRange(1, 10);
        bar.setValue(3);
        bar.onChange = [this] { seen.push_back(bar.value()); };
    }
    tk::Timer Timer1{100, this};
    tk::HScrollBar bar{*this, "bar"};
    tk::ListBox list{*this, "list"};
    std::vector<int> seen; // value inside each change event
};

TEST(Timer, TimerOfAnUnloadedFormStops) {
    tk::ScopedManualClock clock;
    auto* f = new TestForm; // released by the toolkit after Unload
    int ticks = 0;
    f->Timer1.onTick = [&] { ++ticks; };
    f->Timer1.setEnabled(true);
    clock.advance(100);
    tk::Unload(*f);
    clock.advance(1000);
    test_env::settle();
    clock.advance(1000);
    EXPECT_EQ(ticks, 1);
}

TEST(HScrollBar, ChangeEventOnlyForARealChange) {
    TestForm f;
    f.bar.setValue(3);
    EXPECT_TRUE(f.seen.empty());
    f.bar.setValue(7);
    EXPECT_EQ(f.seen, std::vector<int>{7}); // raised once, before setValue returned
    for (int bad : {0, 11, -1})
        expect_error(tk::Error::InvalidProperty, [&] { f.bar.setValue(bad); });
    EXPECT_EQ(f.bar.value(), 7);
    EXPECT_EQ(f.seen.size(), 1u);
}

// Entries that keep coming while events are served (as in a search) are exact in the list at
// once and reach the view in batches, the last one included.
TEST(ListBox, EntriesComingInReachTheViewInBatches) {
    TestForm f;
    f.Show();
    const auto* view = static_cast<const QListWidget*>(f.list.widget());
    for (int i = 0; i < 50; ++i) {
        f.list.addItem(QString::number(i));
        test_env::settle();
        EXPECT_EQ(f.list.listCount(), i + 1);
    }
    EXPECT_EQ(f.list.list(49), QStringLiteral("49"));
    for (int waited = 0; view->count() < 50 && waited < 3000; waited += 50)
        QTest::qWait(50);
    EXPECT_EQ(view->count(), 50);
}

} // namespace
