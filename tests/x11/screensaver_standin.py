# A stand-in for a desktop's screen-saver service on the session bus: answers Inhibit with a
# new cookie and prints each call, one line each ("Inhibit APPLICATION COOKIE", "UnInhibit
# COOKIE"), then "ready" once it owns its name.
import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

INTERFACE = "org.freedesktop.ScreenSaver"


class StandIn(dbus.service.Object):
    cookie = 0

    @dbus.service.method(INTERFACE, in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        StandIn.cookie += 1
        print(f"Inhibit {application} {StandIn.cookie}", flush=True)
        return StandIn.cookie

    @dbus.service.method(INTERFACE, in_signature="u")
    def UnInhibit(self, cookie):
        print(f"UnInhibit {cookie}", flush=True)


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(INTERFACE, bus)
StandIn(bus, "/org/freedesktop/ScreenSaver")
print("ready", flush=True)
GLib.MainLoop().run()
