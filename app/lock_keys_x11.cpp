#include "app/lock_keys.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace app {
namespace {

bool IndicatorOn(Display* display, Atom atom)
{
    Bool on = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on == True;
}

} // namespace

std::optional<LockKeyState> ReadLockKeys()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (display == nullptr)
        return std::nullopt;
    // The program talks to one display for its whole life, so the names are looked up once.
    static const Atom caps = XInternAtom(display, "Caps Lock", True);
    static const Atom num = XInternAtom(display, "Num Lock", True);
    static const Atom scroll = XInternAtom(display, "Scroll Lock", True);
    return LockKeyState{IndicatorOn(display, caps), IndicatorOn(display, num),
                        IndicatorOn(display, scroll)};
}

} // namespace app
