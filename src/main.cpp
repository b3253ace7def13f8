#include "app/module2.h"
#include "toolkit/application.h"
#include "toolkit/form.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
#ifdef Q_OS_LINUX
    // Say plainly what is missing instead of the platform plugin's own failure.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        std::fputs("pikuta: no display to open a window on (DISPLAY is not set).\n"
                   "Run it on a desktop session, or under a virtual X server:\n"
                   "  xvfb-run -a build/pikuta\n",
                   stderr);
        return 1;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PIKUTA"));
    tk::init_application(app);
    tk::set_on_last_form_released([] { QCoreApplication::quit(); });
    if (!Module2::Main()) return 0;
    return app.exec();
}
