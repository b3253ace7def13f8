#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

ScreenMetrics primary_screen() {
    ScreenMetrics metrics{QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768)};
    // Screens exist only once a GUI application runs; a plain core application has none.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return metrics;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return metrics;
    metrics.geometry = screen->geometry();
    metrics.available = screen->availableGeometry();
    metrics.dpi_x = screen->logicalDotsPerInchX();
    metrics.dpi_y = screen->logicalDotsPerInchY();
    return metrics;
}

} // namespace platform
