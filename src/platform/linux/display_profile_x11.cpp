#include "platform/display_profile.h"
#include "platform/linux/xcb_util.h"

#include <QGuiApplication>

// Colour managers announce the profile of an X screen as the root window's _ICC_PROFILE: the
// profile's bytes, 8 bits a unit.
namespace platform {

QByteArray display_colour_profile() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return {};
    const xcb::Connection x;
    if (!x.open()) return {};
    constexpr std::uint32_t kMaxUnits = (16u << 20) / 4; // in 32-bit units: profiles are small
    auto reply = xcb::take(
        xcb_get_property_reply(x.get(),
                               xcb_get_property(x.get(), 0, x.root(), x.atom("_ICC_PROFILE"),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxUnits),
                               nullptr));
    if (!reply || reply->format != 8) return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

} // namespace platform
