// The user's hands and eyes on the X server: pointer and keyboard events sent through XTest (so
// they reach the application as a person's would, through the window manager and Qt's own event
// handling), and what the server says about windows.
#pragma once

#include <sys/types.h>

#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::e2e {

class XSession {
  public:
    using WindowId = unsigned long;

    // Connects to `display`; throws std::runtime_error when it cannot.
    explicit XSession(const std::string& display);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Each of these returns once the server has processed the events.
    void moveTo(QPoint where);
    void click(QPoint where);
    // The left button pressed at `where`, and let go wherever the pointer is: a drag paced by
    // its caller, as a person's hand paces it.
    void press(QPoint where);
    void release();
    // Presses at `from`, moves to `to` in `steps` even steps, releases there.
    void drag(QPoint from, QPoint to, int steps);
    // Positive steps scroll down, negative up, with the pointer at `where`.
    void wheel(QPoint where, int steps);
    // Types printable ASCII text, with Shift where the keyboard map needs it.
    void type(const QString& text);
    // Presses the keys in order and releases them in reverse: {"Alt_L", "F4"}.
    void chord(const std::vector<std::string>& keys);

    // A window manager has announced itself on the root window.
    bool windowManagerRunning();
    // A system tray has claimed the screen's tray selection.
    bool trayRunning();

    struct Window {
        WindowId id = 0;
        QRect geometry;  // in screen coordinates
        bool viewable = false;
        bool embedded = false;          // carries XEmbed information: an icon in the tray
        bool overrideRedirect = false;  // placed by the program itself: a popup, the panel
        std::string name;               // its title
    };
    // Every window whose _NET_WM_PID is `pid`, wherever it lies in the tree.
    std::vector<Window> windowsOf(pid_t pid);
    // The windows of `pid` that the tray run by `trayPid` has taken inside its own: its icons.
    std::vector<Window> trayIconsOf(pid_t pid, pid_t trayPid);
    // The window the window manager calls active.
    std::optional<WindowId> activeWindow();
    // Where the window's top-left corner is on the screen, as the server has it now.
    QPoint origin(WindowId window);
    // The window that receives the keyboard.
    WindowId inputFocus();
    // A window's title and owning process, for messages: "0x400007 \"Velmora\" pid 42".
    std::string describe(WindowId window);

  private:
    std::vector<Window> windowsUnder(WindowId top, pid_t pid);

    struct Connection;
    std::unique_ptr<Connection> x_;
};

}  // namespace velmora::e2e
