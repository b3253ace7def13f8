#pragma once
// The slideshow: what the folder offers. Its handlers are members of the main window (MainForm,
// "Sequencer and playback"): the sequencer play_next, play_back, upcoming_entry and
// entries_ahead (sequencer.cpp); BACK, NEXT, PLAY, STOP, the speed bar and the three timers
// (playback.cpp); the screen kept awake while it plays (screen_awake.cpp). Its state is
// Module2::play and MainForm::slideshow, its speed rule the one of ui/speed.h.
#include "app/main_fm.h"
#include "app/module2.h"
#include "ui/speed.h"
