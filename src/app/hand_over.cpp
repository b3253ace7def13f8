// Paths to open, from the command line and from instances started later.
#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "platform/single_instance.h"
#include "toolkit/events.h"

#include <QDir>

bool Module2::Main(const QString& path) {
    // The running instance may work in another folder.
    const QString full =
        QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    if (platform::hand_path_to_window_titled(MainFmDesign::kTitle, full)) return false;
    if (!Main()) return false;
    main_fm->open_path(full);
    return true;
}

void Module2::accept_handed_paths() {
    platform::accept_handed_paths(main_fm->window(), [](const QString& path) {
        // Nothing reopens a main window that is closing or gone.
        tk::dispatch([&] {
            if (main_fm.loaded() && !main_fm->unloaded()) main_fm->open_path(path);
        });
    });
}
