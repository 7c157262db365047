// Xlib and XTest behind the session's small interface; their macros stay in this file.
#include "tests/e2e/XSession.hpp"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

#include <functional>
#include <stdexcept>

namespace velmora::e2e {

namespace {

constexpr unsigned kLeftButton = 1;
constexpr unsigned kWheelUp = 4;
constexpr unsigned kWheelDown = 5;

}  // namespace

struct XSession::Connection {
    Display* display = nullptr;
    ::Window root = 0;

    Atom atom(const char* name) const { return XInternAtom(display, name, False); }

    // One property of `window`, as raw 32-bit items (empty when absent or of another format).
    std::vector<unsigned long> cardinals(::Window window, const char* name) const {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(display, window, atom(name), 0, 1024, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32) {
                const auto* items = reinterpret_cast<const unsigned long*>(data);
                values.assign(items, items + count);
            }
            XFree(data);
        }
        return values;
    }

    bool hasProperty(::Window window, const char* name) const {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const bool present =
            XGetWindowProperty(display, window, atom(name), 0, 0, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            type != None;
        if (data != nullptr) {
            XFree(data);
        }
        return present;
    }

    std::string title(::Window window) const {
        XTextProperty text{};
        std::string result;
        if (XGetWMName(display, window, &text) != 0 && text.value != nullptr) {
            result.assign(reinterpret_cast<const char*>(text.value), text.nitems);
            XFree(text.value);
        }
        return result;
    }

    void walk(::Window window, const std::function<void(::Window)>& visit) const {
        visit(window);
        ::Window rootReturn = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, window, &rootReturn, &parent, &children, &count) == 0) {
            return;
        }
        const std::vector<::Window> list(children, children + count);
        if (children != nullptr) {
            XFree(children);
        }
        for (const ::Window child : list) {
            walk(child, visit);
        }
    }

    void button(unsigned number) const {
        XTestFakeButtonEvent(display, number, True, CurrentTime);
        XTestFakeButtonEvent(display, number, False, CurrentTime);
    }

    void key(KeySym symbol, bool press) const {
        const KeyCode code = XKeysymToKeycode(display, symbol);
        if (code == 0) {
            throw std::runtime_error("no key for symbol " + std::to_string(symbol));
        }
        XTestFakeKeyEvent(display, code, press ? True : False, CurrentTime);
    }
};

XSession::XSession(const std::string& display) : x_(std::make_unique<Connection>()) {
    x_->display = XOpenDisplay(display.c_str());
    if (x_->display == nullptr) {
        throw std::runtime_error("cannot connect to the X server at " + display);
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (XTestQueryExtension(x_->display, &event, &error, &major, &minor) == False) {
        XCloseDisplay(x_->display);
        throw std::runtime_error("the X server at " + display + " lacks the XTEST extension");
    }
    x_->root = DefaultRootWindow(x_->display);
}

XSession::~XSession() {
    XCloseDisplay(x_->display);
}

void XSession::moveTo(QPoint where) {
    XTestFakeMotionEvent(x_->display, -1, where.x(), where.y(), CurrentTime);
    XSync(x_->display, False);
}

void XSession::click(QPoint where) {
    XTestFakeMotionEvent(x_->display, -1, where.x(), where.y(), CurrentTime);
    x_->button(kLeftButton);
    XSync(x_->display, False);
}

void XSession::press(QPoint where) {
    XTestFakeMotionEvent(x_->display, -1, where.x(), where.y(), CurrentTime);
    XTestFakeButtonEvent(x_->display, kLeftButton, True, CurrentTime);
    XSync(x_->display, False);
}

void XSession::release() {
    XTestFakeButtonEvent(x_->display, kLeftButton, False, CurrentTime);
    XSync(x_->display, False);
}

void XSession::drag(QPoint from, QPoint to, int steps) {
    XTestFakeMotionEvent(x_->display, -1, from.x(), from.y(), CurrentTime);
    XTestFakeButtonEvent(x_->display, kLeftButton, True, CurrentTime);
    XSync(x_->display, False);
    for (int step = 1; step <= steps; ++step) {
        const QPoint at = from + (to - from) * step / steps;
        XTestFakeMotionEvent(x_->display, -1, at.x(), at.y(), CurrentTime);
        XSync(x_->display, False);
    }
    XTestFakeButtonEvent(x_->display, kLeftButton, False, CurrentTime);
    XSync(x_->display, False);
}

void XSession::wheel(QPoint where, int steps) {
    XTestFakeMotionEvent(x_->display, -1, where.x(), where.y(), CurrentTime);
    for (int i = 0; i < std::abs(steps); ++i) {
        x_->button(steps > 0 ? kWheelDown : kWheelUp);
    }
    XSync(x_->display, False);
}

void XSession::type(const QString& text) {
    const KeySym shift = XStringToKeysym("Shift_L");
    for (const QChar character : text) {
        const char16_t unit = character.unicode();
        // Latin-1 characters are their own key symbols.
        const KeySym symbol = unit == u' ' ? XK_space : static_cast<KeySym>(unit);
        const KeyCode code = XKeysymToKeycode(x_->display, symbol);
        if (code == 0 || unit > 0x7e) {
            throw std::runtime_error("cannot type this character");
        }
        // The symbol is the key's second level: Shift reaches it.
        const bool shifted = XkbKeycodeToKeysym(x_->display, code, 0, 0) != symbol;
        if (shifted) {
            x_->key(shift, true);
        }
        x_->key(symbol, true);
        x_->key(symbol, false);
        if (shifted) {
            x_->key(shift, false);
        }
    }
    XSync(x_->display, False);
}

void XSession::chord(const std::vector<std::string>& keys) {
    std::vector<KeySym> symbols;
    for (const std::string& name : keys) {
        const KeySym symbol = XStringToKeysym(name.c_str());
        if (symbol == NoSymbol) {
            throw std::runtime_error("no key named " + name);
        }
        symbols.push_back(symbol);
    }
    for (const KeySym symbol : symbols) {
        x_->key(symbol, true);
    }
    for (auto it = symbols.rbegin(); it != symbols.rend(); ++it) {
        x_->key(*it, false);
    }
    XSync(x_->display, False);
}

bool XSession::windowManagerRunning() {
    return !x_->cardinals(x_->root, "_NET_SUPPORTING_WM_CHECK").empty();
}

bool XSession::trayRunning() {
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x_->display));
    return XGetSelectionOwner(x_->display, x_->atom(selection.c_str())) != None;
}

std::vector<XSession::Window> XSession::windowsOf(pid_t pid) {
    return windowsUnder(x_->root, pid);
}

std::vector<XSession::Window> XSession::trayIconsOf(pid_t pid, pid_t trayPid) {
    std::vector<Window> icons;
    for (const Window& tray : windowsOf(trayPid)) {
        for (const Window& icon : windowsUnder(tray.id, pid)) {
            icons.push_back(icon);
        }
    }
    return icons;
}

std::vector<XSession::Window> XSession::windowsUnder(WindowId top, pid_t pid) {
    std::vector<Window> found;
    x_->walk(top, [&](::Window window) {
        const std::vector<unsigned long> owner = x_->cardinals(window, "_NET_WM_PID");
        if (owner.empty() || owner.front() != static_cast<unsigned long>(pid)) {
            return;
        }
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(x_->display, window, &attributes) == 0) {
            return;
        }
        int x = 0;
        int y = 0;
        ::Window child = 0;
        XTranslateCoordinates(x_->display, window, x_->root, 0, 0, &x, &y, &child);
        Window entry;
        entry.id = window;
        entry.geometry = QRect(x, y, attributes.width, attributes.height);
        entry.viewable = attributes.map_state == IsViewable;
        entry.embedded = x_->hasProperty(window, "_XEMBED_INFO");
        entry.overrideRedirect = attributes.override_redirect != False;
        entry.name = x_->title(window);
        found.push_back(entry);
    });
    return found;
}

std::optional<XSession::WindowId> XSession::activeWindow() {
    const std::vector<unsigned long> active = x_->cardinals(x_->root, "_NET_ACTIVE_WINDOW");
    if (active.empty() || active.front() == 0) {
        return std::nullopt;
    }
    return active.front();
}

}  // namespace velmora::e2e

namespace velmora::e2e {

std::string XSession::describe(WindowId window) {
    const std::vector<unsigned long> owner = x_->cardinals(window, "_NET_WM_PID");
    return std::to_string(window) + " \"" + x_->title(window) + "\" pid " +
           (owner.empty() ? std::string("?") : std::to_string(owner.front()));
}

QPoint XSession::origin(WindowId window) {
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(x_->display, window, x_->root, 0, 0, &x, &y, &child);
    return {x, y};
}

XSession::WindowId XSession::inputFocus() {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(x_->display, &focus, &revert);
    return focus;
}

}  // namespace velmora::e2e
