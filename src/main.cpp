#include "app/module2.h"
#include "platform/display.h"
#include "platform/file_names.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "platform/termination.h"
#include "toolkit/application.h"
#include "toolkit/form.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSessionManager>
#include <cstdio>

int main(int argc, char* argv[]) {
    platform::prepare_process();
    platform::tune_memory();
    if (QString why; !platform::display_available(&why)) {
        std::fputs(why.toLocal8Bit().constData(), stderr);
        return 1;
    }
    // Silent unless asked: QT_LOGGING_RULES, read after these rules, turns messages on again.
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    tk::prepare_application();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PIKUTA"));
    tk::init_application(app);
    tk::set_on_last_form_released([] { QCoreApplication::quit(); });
    // Logout, shutdown and a polite request to end close the windows as their close boxes do,
    // so that the settings of this run are kept.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager&) { tk::end_session(); });
    platform::on_termination_request(tk::end_session);
    // A picture or folder to open, as the file manager passes it.
    const QString path = platform::command_line_argument(argc, argv, 1);
    if (!(path.isEmpty() ? Module2::Main() : Module2::Main(path))) return 0;
    return app.exec();
}
