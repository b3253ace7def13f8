#pragma once
// Test support for the toolkit layer and above: windows, queued work, errors.
#include "support/platform_env.h"
#include "toolkit/error.h"
#include "toolkit/form.h"
#include "toolkit/timer.h"

#include <QStringList>
#include <array>

namespace test_env {

// Unloads a window without first loading it, as touching its reference would.
template <class F> void unload_if_loaded(tk::FormRef<F>& ref) {
    if (ref.loaded()) ref.unload();
}

// Message boxes shown since fresh_program(), as "title|text".
QStringList& messages();

// Lets queued work (deferred releases, batched list updates) run.
void settle();

// A window's outer left, top, width and height in twips.
using Place = std::array<double, 4>;
inline Place place(const tk::Form& f) {
    return {f.left(), f.top(), f.width(), f.height()};
}

// Expects `statement` to fail with tk::Error `number`.
template <class F> void expect_error(int number, F&& statement) {
    try {
        statement();
        ADD_FAILURE() << "no error " << number;
    } catch (const tk::Error& e) {
        EXPECT_EQ(e.number(), number);
    }
}

} // namespace test_env
