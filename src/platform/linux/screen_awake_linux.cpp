#include "platform/linux/x_screen_saver.h"
#include "platform/screen_awake.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QVariantMap>
#include <QWidget>

namespace platform {
namespace {

const QString kApplication = QStringLiteral("PIKUTA");
const QString kReason = QStringLiteral("スライドショーを再生しています");

const QString kSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");

// The ways to keep the screen awake, the first that the desktop offers taken: its screen-saver
// service, the desktop portal, the X server's own screen saver. An inhibition over the session
// bus ends with the bus connection, so with the process.
enum class Way { None, Saver, Portal, XServer };

bool on_bus(const QString& service) {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus) return false;
    if (bus->isServiceRegistered(service)) return true;
    // Not running yet, but started when called.
    const QDBusReply<QStringList> activatable = bus->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(service);
}

class DesktopScreenAwake : public ScreenAwake {
  public:
    ~DesktopScreenAwake() override {
        // An inhibition over the bus ends with the connection; the X server's, with ours.
        x11::resume_screen_saver(suspension_);
    }

    void hold(bool on, const QWidget* window) override {
        if (on == wanted_) return;
        wanted_ = on;
        if (window) window_ = QStringLiteral("x11:%1").arg(window->winId(), 0, 16);
        settle();
    }

  private:
    // Brings what is held in line with what is wanted, unless a request is on its way: its
    // answer settles it.
    void settle() {
        if (asking_) return;
        if (wanted_ && way_ == Way::None)
            take(first_way());
        else if (!wanted_ && way_ != Way::None)
            let_go();
    }

    static Way first_way() {
        if (QDBusConnection::sessionBus().isConnected()) {
            if (on_bus(kSaverService)) return Way::Saver;
            if (on_bus(kPortalService)) return Way::Portal;
        }
        return Way::XServer;
    }

    void take(Way way) {
        way_ = way;
        if (way == Way::XServer) {
            suspension_ = x11::suspend_screen_saver();
            if (!suspension_) way_ = Way::None;
            return;
        }
        QDBusMessage call =
            way == Way::Saver
                ? QDBusMessage::createMethodCall(kSaverService,
                                                 QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                 kSaverService, QStringLiteral("Inhibit"))
                : QDBusMessage::createMethodCall(
                      kPortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
                      QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
        constexpr uint kIdle = 8; // the portal's flag: keep the session from going idle
        if (way == Way::Saver)
            call << kApplication << kReason;
        else
            call << window_ << kIdle << QVariantMap{{QStringLiteral("reason"), kReason}};
        // Asked without waiting: a desktop service that hangs must not hang the slideshow.
        asking_ = true;
        auto* watcher =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), &answers_);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [this, way](QDBusPendingCallWatcher* w) {
                             w->deleteLater();
                             asking_ = false;
                             answered(way, *w);
                         });
    }

    void answered(Way way, const QDBusPendingCall& reply) {
        const QDBusMessage message = reply.reply();
        if (message.type() != QDBusMessage::ReplyMessage || message.arguments().isEmpty()) {
            // Refused: the next way down.
            way_ = Way::None;
            if (wanted_) take(way == Way::Saver ? Way::Portal : Way::XServer);
            return;
        }
        if (way == Way::Saver)
            cookie_ = message.arguments().front().toUInt();
        else
            handle_ = qvariant_cast<QDBusObjectPath>(message.arguments().front()).path();
        settle();
    }

    void let_go() {
        switch (way_) {
        case Way::Saver:
            QDBusConnection::sessionBus().call(
                QDBusMessage::createMethodCall(kSaverService,
                                               QStringLiteral("/org/freedesktop/ScreenSaver"),
                                               kSaverService, QStringLiteral("UnInhibit"))
                    << cookie_,
                QDBus::NoBlock);
            break;
        case Way::Portal:
            QDBusConnection::sessionBus().call(
                QDBusMessage::createMethodCall(kPortalService, handle_,
                                               QStringLiteral("org.freedesktop.portal.Request"),
                                               QStringLiteral("Close")),
                QDBus::NoBlock);
            break;
        case Way::XServer:
            x11::resume_screen_saver(suspension_);
            suspension_ = nullptr;
            break;
        case Way::None:
            break;
        }
        way_ = Way::None;
    }

    QObject answers_; // an answer that comes after this is gone is dropped with it
    bool wanted_ = false;
    bool asking_ = false;
    Way way_ = Way::None;
    QString window_;
    uint cookie_ = 0;
    QString handle_;
    void* suspension_ = nullptr;
};

} // namespace

std::unique_ptr<ScreenAwake> system_screen_awake() {
    return std::make_unique<DesktopScreenAwake>();
}

} // namespace platform
