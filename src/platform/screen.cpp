#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

namespace {

ScreenMetrics metrics_of(const QScreen* screen) {
    ScreenMetrics metrics{QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768)};
    if (!screen) return metrics;
    metrics.geometry = screen->geometry();
    metrics.available = screen->availableGeometry();
    metrics.dpi_x = screen->logicalDotsPerInchX();
    metrics.dpi_y = screen->logicalDotsPerInchY();
    return metrics;
}

// Screens exist only once a GUI application runs; a plain core application has none.
bool have_screens() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

ScreenMetrics primary_screen() {
    return metrics_of(have_screens() ? QGuiApplication::primaryScreen() : nullptr);
}

ScreenMetrics screen_holding(const QRect& rect) {
    if (!have_screens()) return metrics_of(nullptr);
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 most = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(rect);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > most) {
            most = area;
            best = screen;
        }
    }
    return metrics_of(best);
}

} // namespace platform
