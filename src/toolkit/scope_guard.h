#pragma once
#include <utility>

namespace tk {

// Runs `fn` when the scope ends, however it ends: for flags and depths that must drop back.
template <class F> class ScopeGuard {
  public:
    explicit ScopeGuard(F fn) : fn_(std::move(fn)) {}
    ~ScopeGuard() { fn_(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

  private:
    F fn_;
};

// Sets `flag` to `on` now and to `off` when the scope ends.
template <class T> [[nodiscard]] auto hold(T& flag, T on, T off) {
    flag = on;
    return ScopeGuard([&flag, off] { flag = off; });
}

} // namespace tk
