#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tk {

class Timer;
class Form;

// What drives timers: Qt's event loop in the program, a hand-advanced clock in tests.
class Clock {
  public:
    virtual ~Clock() = default;
    // (Re)starts a full interval for `timer`; replaces any countdown it had.
    virtual void arm(Timer& timer, int interval_ms) = 0;
    virtual void disarm(Timer& timer) = 0;
    // The timer goes away; forget anything kept for it.
    virtual void release(Timer& timer) { disarm(timer); }
};

// The clock in force; a Qt-backed one unless a test installed another.
Clock& clock();
// Installs `c` (not owned) as the clock; nullptr returns to the Qt-backed clock.
void set_clock(Clock* c);

// An interval timer: while enabled with an interval above zero it ticks once per interval.
class Timer {
  public:
    // A timer of a form stops ticking once that form is unloaded.
    explicit Timer(int interval_ms = 0, const Form* owner = nullptr);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int interval() const { return interval_; }
    // A changed interval starts a full new countdown while the timer is enabled.
    void setInterval(int ms);
    bool enabled() const { return enabled_; }
    // Enabling a timer that is off starts a full interval.
    void setEnabled(bool on);

    std::function<void()> onTick;
    // Runs when the timer is switched on or off (not raised as an event: no handler).
    std::function<void()> onSwitch;

    // Called by the clock when the interval has elapsed.
    void fire();

  private:
    friend class ManualClock;
    void rearm();
    int interval_;
    const Form* owner_;
    bool enabled_ = false;
    Clock* armed_on_ = nullptr;
};

// A clock for tests: time only moves when advance() is called, and every tick that falls due
// runs on the caller's thread, in time order.
class ManualClock : public Clock {
  public:
    ManualClock() = default;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;
    // Timers still counting down on this clock stop counting; they keep their settings.
    ~ManualClock() override;
    void arm(Timer& timer, int interval_ms) override;
    void disarm(Timer& timer) override;
    // Moves time forward by `ms`, running each due tick at its own moment.
    void advance(std::int64_t ms);
    std::int64_t now() const { return now_; }
    bool armed(const Timer& timer) const;

  private:
    struct Entry {
        Timer* timer;
        std::int64_t due;
        std::uint64_t seq; // keeps ties in arming order
    };
    std::vector<Entry> entries_;
    std::int64_t now_ = 0;
    std::uint64_t seq_ = 0;
};

// Installs a ManualClock for the lifetime of the object.
class ScopedManualClock : public ManualClock {
  public:
    ScopedManualClock() { set_clock(this); }
    ~ScopedManualClock() override { set_clock(nullptr); }
};

} // namespace tk
