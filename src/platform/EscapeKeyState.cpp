#include "platform/EscapeKeyState.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(ORNEX_HAVE_X11)
// Last: Xlib's macros (None, Bool, KeyPress...) clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

namespace {

const QString Unavailable =
    QStringLiteral("The capture test ends when Escape is held down, but this session gives no "
                   "access to the keyboard's state. Run the program on an X11 display or on "
                   "Windows.");

#if defined(ORNEX_HAVE_X11) && !defined(Q_OS_WIN)
Display* X11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}
#endif

} // namespace

bool CanReadEscapeKey(QString& reason) {
#if defined(Q_OS_WIN)
    Q_UNUSED(reason);
    return true;
#elif defined(ORNEX_HAVE_X11)
    if (X11Display() != nullptr) {
        return true;
    }
    reason = Unavailable;
    return false;
#else
    reason = Unavailable;
    return false;
#endif
}

bool EscapeKeyHeld() {
#if defined(Q_OS_WIN)
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
#elif defined(ORNEX_HAVE_X11)
    Display* display = X11Display();
    if (display == nullptr) {
        return false;
    }
    char keys[32] = {};
    XQueryKeymap(display, keys);
    const KeyCode escape = XKeysymToKeycode(display, XK_Escape);
    return escape != 0 && (keys[escape / 8] & (1 << (escape % 8))) != 0;
#else
    return false;
#endif
}
