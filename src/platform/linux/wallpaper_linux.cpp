#include "platform/linux/desktop_wallpaper.h"
#include "platform/linux/xcb_util.h"
#include "platform/picture_io.h"
#include "platform/wallpaper.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

using xcb::take;

// The pixmap named by a root window property; none when absent or of another type.
xcb_pixmap_t pixmap_property(xcb_connection_t* c, xcb_window_t root, xcb_atom_t property) {
    auto r = take(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, property, XCB_ATOM_PIXMAP, 0, 1), nullptr));
    if (!r || r->type != XCB_ATOM_PIXMAP || xcb_get_property_value_length(r.get()) != 4)
        return XCB_PIXMAP_NONE;
    return *static_cast<const xcb_pixmap_t*>(xcb_get_property_value(r.get()));
}

// Whether the server stores pixels the way a 32-bit RGB QImage holds them in memory.
bool rgb32_compatible(const xcb_setup_t* setup, const xcb_screen_t* screen) {
    const bool little = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != little) return false;
    if (screen->root_depth != 24 && screen->root_depth != 32) return false;
    bool found = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == screen->root_depth)
            found = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    if (!found) return false;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual)
                return v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 &&
                       v.data->blue_mask == 0xFF;
    return false;
}

// The picture centred on each monitor at its own size, shrunk to fit one that is too small.
QImage desktop_image(const QImage& picture, QSize root) {
    QImage canvas(root, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QList<QRect> monitors;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        for (const QScreen* s : QGuiApplication::screens())
            monitors.push_back(QRect(s->geometry().topLeft() * s->devicePixelRatio(),
                                     s->geometry().size() * s->devicePixelRatio()));
    if (monitors.isEmpty()) monitors.push_back(canvas.rect());
    QPainter p(&canvas);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QRect& m : monitors) {
        QSize size = picture.size();
        if (size.width() > m.width() || size.height() > m.height())
            size.scale(m.size(), Qt::KeepAspectRatio);
        const QRect target(m.x() + (m.width() - size.width()) / 2,
                           m.y() + (m.height() - size.height()) / 2, size.width(), size.height());
        p.drawImage(target, picture);
    }
    return canvas;
}

// A bare X server: the root window's background becomes a pixmap of ours that outlives the
// program. The pixmap is named in the root properties that other X programs read, and the one
// retained by the previous setter is released, as X programs that set the root do.
bool set_root_background(const QImage& picture) {
    if (picture.isNull() || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) return false;
    const xcb::Connection x;
    if (!x.open()) return false;
    xcb_connection_t* c = x.get();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = x.screen();
    if (!rgb32_compatible(setup, screen)) return false;

    const QImage image =
        desktop_image(picture, QSize(screen->width_in_pixels, screen->height_in_pixels));
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    if (auto* e = xcb_request_check(
            c, xcb_create_pixmap_checked(c, screen->root_depth, pixmap, screen->root,
                                         screen->width_in_pixels, screen->height_in_pixels))) {
        std::free(e);
        return false;
    }
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // A request carries at most the server's maximum length: send the picture in bands.
    const qsizetype stride = image.bytesPerLine();
    const qsizetype limit = qsizetype(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int band = int(std::max<qsizetype>(1, limit / stride));
    for (int y = 0; y < image.height(); y += band) {
        const int rows = std::min(band, image.height() - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, uint16_t(image.width()),
                      uint16_t(rows), 0, int16_t(y), 0, screen->root_depth, uint32_t(stride * rows),
                      image.constScanLine(y));
    }
    xcb_free_gc(c, gc);

    const xcb_atom_t xroot = x.atom("_XROOTPMAP_ID");
    const xcb_atom_t esetroot = x.atom("ESETROOT_PMAP_ID");
    const xcb_pixmap_t old = pixmap_property(c, screen->root, esetroot);
    if (old != XCB_PIXMAP_NONE && old == pixmap_property(c, screen->root, xroot))
        xcb_kill_client(c, old);
    xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
    for (xcb_atom_t property : {xroot, esetroot})
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, property, XCB_ATOM_PIXMAP, 32,
                            1, &pixmap);
    // The pixmap stays when this connection closes, until the next setter kills it.
    xcb_set_close_down_mode(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return xcb_connection_has_error(c) == 0;
}

// The session bus, only where one runs: asking for it elsewhere may start a bus of its own.
bool session_bus_expected() {
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

class SystemSession : public desktop::Session {
  public:
    Result run(const QString& program, const QStringList& arguments) override {
        QProcess process;
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(program, arguments);
        Result r;
        if (!process.waitForStarted(3000)) return r;
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(1000);
            return r;
        }
        r.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        r.output = QString::fromLocal8Bit(process.readAllStandardOutput());
        return r;
    }

    bool portal(const QString& uri) override {
        if (!session_bus_expected()) return false;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Wallpaper"), QStringLiteral("SetWallpaperURI"));
        const QVariantMap options{{QStringLiteral("show-preview"), false},
                                  {QStringLiteral("set-on"), QStringLiteral("background")}};
        call << QString() << uri << options;
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
        return reply.type() == QDBusMessage::ReplyMessage;
    }

    bool x_root(const QString& file) override { return set_root_background(read_picture(file)); }

    QStringList bus_names() const {
        if (!session_bus_expected()) return {};
        const auto* bus = QDBusConnection::sessionBus().interface();
        return bus ? bus->registeredServiceNames().value() : QStringList();
    }
};

} // namespace

int windows_directory(QString& buffer) {
    // No Windows folder here: the wallpaper file lives with the user's data.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) return 0;
    buffer = QDir::toNativeSeparators(data + QStringLiteral("/PIKUTA"));
    return int(buffer.size());
}

QString user_wallpaper_folder() {
    return {};
}

bool set_wallpaper(const QString& file) {
    SystemSession session;
    const desktop::Desktop desktop =
        desktop::detect(qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
                        qEnvironmentVariable("DESKTOP_SESSION"), session.bus_names());
    return desktop::set_background(desktop, QFileInfo(file).absoluteFilePath(), session);
}

} // namespace platform
