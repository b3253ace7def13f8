# A small clipboard manager: when the owner of the clipboard ends and asks it to keep the
# contents (SAVE_TARGETS on CLIPBOARD_MANAGER), it fetches image/png and serves it from then on.
from Xlib import X, Xatom, display
from Xlib.protocol import event

d = display.Display()
w = d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
MANAGER, SAVE, CLIPBOARD, TARGETS, PNG, PROP = (
    d.intern_atom(n) for n in ("CLIPBOARD_MANAGER", "SAVE_TARGETS", "CLIPBOARD", "TARGETS", "image/png", "KEPT"))
w.set_selection_owner(MANAGER, X.CurrentTime)
d.flush()
print("ready", flush=True)
kept = None


def answer(request, prop):
    request.requestor.send_event(event.SelectionNotify(
        time=request.time, requestor=request.requestor, selection=request.selection,
        target=request.target, property=prop))
    d.flush()


while True:
    e = d.next_event()
    if e.type != X.SelectionRequest:
        continue
    if e.selection == MANAGER and e.target == SAVE:
        w.convert_selection(CLIPBOARD, PNG, PROP, X.CurrentTime)
        d.flush()
        reply = d.next_event()
        while reply.type != X.SelectionNotify:
            reply = d.next_event()
        if reply.property != X.NONE:
            kept = w.get_full_property(PROP, X.AnyPropertyType).value
        w.set_selection_owner(CLIPBOARD, X.CurrentTime)
        answer(e, e.property)
    elif e.selection == CLIPBOARD and kept is not None and e.target in (TARGETS, PNG):
        if e.target == TARGETS:
            e.requestor.change_property(e.property, Xatom.ATOM, 32, [TARGETS, PNG])
        else:
            e.requestor.change_property(e.property, PNG, 8, kept)
        answer(e, e.property)
    else:
        answer(e, X.NONE)
