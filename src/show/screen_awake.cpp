// The screen kept awake while the slideshow plays.
#include "show/show.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "platform/screen_awake.h"

#include <QCoreApplication>

using namespace Module2;

bool MainForm::slideshow_playing() const {
    // A delayed load or a held BACK or NEXT pauses the show for a moment only; a minimised
    // window, the loupe, STOP or nothing to play stop it.
    return play.play_flag == 1 && slideshow.play_ok == 1 &&
           (Timer1.enabled() || Timer2.enabled() || Timer3.enabled()) &&
           windowState() != tk::Minimized && !unloaded();
}

void MainForm::keep_screen_awake() {
    // Once events are served: a resize or a speed change switches Timer1 off and on again,
    // which must not let go of the screen and take it again each time.
    static bool queued = false;
    if (queued) return;
    queued = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            queued = false;
            // Touching the window reference would load a main window that has gone.
            const bool playing = main_fm.loaded() && main_fm->slideshow_playing();
            platform::screen_awake().hold(playing, playing ? main_fm->window() : nullptr);
        },
        Qt::QueuedConnection);
}
