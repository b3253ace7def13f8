#pragma once
// Test support for the program's windows and handlers: a fresh program per test.
#include "support/toolkit_env.h"
#include "ui/texts.h"

#include <QStringList>
#include <map>
#include <vector>

namespace test_env {

using texts::kNothingMarked;
using texts::kNothingToPlay;

// Unloads every window, releases them and puts the shared state back to program start.
// Installs a fresh memory store (returned) and screen-awake recorder, captures message boxes
// and silences beeps.
MemoryStore& fresh_program();

// All thirteen keys as a normal exit leaves them, with the folder `folder` and its drive.
std::map<QString, QString> full_store(const QString& folder);

// The main window's play list.
QStringList entries();

// Fills the main window's play list with "/p/0.bmp", "/p/1.bmp", ... and marks those given.
void fill_list(int count, const std::vector<int>& marked = {});

// A fresh program on a hand-driven clock, its main window unloaded before the clock goes.
class Program : public ::testing::Test {
  protected:
    ~Program() override;
    tk::ScopedManualClock clock; // first, so the window's timers never reach Qt's
    MemoryStore& store = fresh_program();
};

} // namespace test_env
