#include "toolkit/timer.h"

#include "toolkit/events.h"
#include "toolkit/form.h"

#include <QTimer>
#include <algorithm>
#include <unordered_map>

namespace tk {

namespace {

// One QTimer per toolkit timer, made on first use.
class QtClock : public Clock {
  public:
    void arm(Timer& timer, int interval_ms) override {
        auto& q = timers_[&timer];
        if (!q) {
            q = std::make_unique<QTimer>();
            q->setTimerType(Qt::PreciseTimer);
            QObject::connect(q.get(), &QTimer::timeout, [&timer] { timer.fire(); });
        }
        q->start(interval_ms);
    }
    void disarm(Timer& timer) override {
        if (auto it = timers_.find(&timer); it != timers_.end()) it->second->stop();
    }
    void release(Timer& timer) override {
        auto it = timers_.find(&timer);
        if (it == timers_.end()) return;
        // The QTimer may be the one whose timeout is being delivered: delete it later.
        it->second->stop();
        it->second.release()->deleteLater();
        timers_.erase(it);
    }

  private:
    std::unordered_map<Timer*, std::unique_ptr<QTimer>> timers_;
};

QtClock& qt_clock() {
    static QtClock c;
    return c;
}

Clock* g_clock = nullptr;

} // namespace

Clock& clock() {
    return g_clock ? *g_clock : qt_clock();
}
void set_clock(Clock* c) {
    g_clock = c;
}

Timer::Timer(int interval_ms, const Form* owner) : interval_(interval_ms), owner_(owner) {}

Timer::~Timer() {
    if (armed_on_) armed_on_->disarm(*this);
    clock().release(*this);
}

void Timer::setInterval(int ms) {
    if (ms < 0) ms = 0;
    interval_ = ms;
    rearm();
}

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    rearm();
    if (onSwitch) onSwitch();
}

void Timer::rearm() {
    if (armed_on_) {
        armed_on_->disarm(*this);
        armed_on_ = nullptr;
    }
    if (enabled_ && interval_ > 0) {
        armed_on_ = &clock();
        armed_on_->arm(*this, interval_);
    }
}

void Timer::fire() {
    if (!enabled_ || interval_ <= 0 || (owner_ && owner_->unloaded())) return;
    // The next countdown starts now; the handler may change it.
    Clock* c = armed_on_;
    if (c) c->arm(*this, interval_);
    if (onTick) dispatch(onTick);
}

ManualClock::~ManualClock() {
    // Otherwise a timer that outlives the clock would later disarm it through a dangling pointer.
    for (const Entry& e : entries_)
        if (e.timer->armed_on_ == this) e.timer->armed_on_ = nullptr;
}

void ManualClock::arm(Timer& timer, int interval_ms) {
    disarm(timer);
    entries_.push_back({&timer, now_ + interval_ms, seq_++});
}

void ManualClock::disarm(Timer& timer) {
    std::erase_if(entries_, [&](const Entry& e) { return e.timer == &timer; });
}

bool ManualClock::armed(const Timer& timer) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.timer == &timer; });
}

void ManualClock::advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        auto next =
            std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
                return a.due != b.due ? a.due < b.due : a.seq < b.seq;
            });
        if (next == entries_.end() || next->due > end) break;
        now_ = next->due;
        Timer* t = next->timer;
        entries_.erase(next);
        t->fire();
    }
    now_ = end;
}

} // namespace tk
