// A program as a screen reader meets it: its accessibility tree, read over AT-SPI from the
// accessibility bus of the run's session bus. Objects are found by what a user hears (a role and
// a name), never by the program's internal names; every read asks the program afresh. Searches
// pass over hidden objects (and all inside them) but not over those merely scrolled out of view,
// which a user scrolls to.
#pragma once

#include <sys/types.h>

#include <QPoint>
#include <QRect>
#include <optional>
#include <string>
#include <vector>

// libatspi's object type, kept out of the cases' sight.
using AtspiAccessible = struct _AtspiAccessible;

namespace velmora::e2e {

// One object of the tree, held for as long as this lives.
class Accessible {
  public:
    Accessible() = default;
    // Takes over the caller's reference.
    explicit Accessible(AtspiAccessible* adopted) : object_(adopted) {}
    Accessible(const Accessible& other);
    Accessible& operator=(const Accessible& other);
    Accessible(Accessible&& other) noexcept;
    Accessible& operator=(Accessible&& other) noexcept;
    ~Accessible();

    explicit operator bool() const { return object_ != nullptr; }
    // The same object of the same program.
    friend bool operator==(const Accessible& a, const Accessible& b) {
        return a.object_ == b.object_;
    }

    std::string name() const;
    // What it says after its name: a switch's summary.
    std::string description() const;
    // AT-SPI's name of its role: "push button", "check box", "label", "text", "menu item"...
    std::string role() const;
    // What it says of itself; false once the object is gone. Visible: not hidden (a page not on
    // screen is hidden); showing: visible and on the screen now, not scrolled out of view.
    bool visible() const;
    bool showing() const;
    bool checked() const;
    // Chosen among its kind: the sidebar's tab of the page on screen.
    bool selected() const;
    bool focused() const;
    // Where it lies on the screen; empty when it has no place.
    QRect extents() const;
    // A slider's range and current value.
    struct Range {
        double minimum = 0;
        double current = 0;
        double maximum = 0;
    };
    std::optional<Range> range() const;
    std::vector<Accessible> children() const;
    // The innermost object under this one at that point of the screen; this one when none is.
    Accessible objectAt(QPoint where) const;
    // The process that shows it.
    pid_t processId() const;
    // Runs its action of that name ("Toggle", "Press"), as a screen reader's command does; false
    // when it offers none such or the program refused.
    bool doAction(const std::string& action) const;
    // For a program: no read of it or of its objects is served from libatspi's cache (a state
    // cached before a click would be the old one).
    void readAfreshEachTime();

  private:
    bool hasState(int state) const;

    AtspiAccessible* object_ = nullptr;
};

// What a user looks for: the object of that role with that name (an empty role: any role).
struct Seek {
    std::string role;
    std::string name;
};
std::string describe(const std::vector<Seek>& path);

// The program of that process as the accessibility bus lists it; none until it has registered.
std::optional<Accessible> applicationOf(pid_t pid);

// Starts noting the windows that come on screen (call before the program starts).
void listenForWindows();
// How often the bus announced, since the program started, that `object` took `state`
// ("checked", "selected") or, with `on` false, lost it: what a screen reader is told as it
// happens.
int announced(const Accessible& object, const std::string& state, bool on);
// The program's popups on screen now (menus, the tray's panel): a program does not list them
// among its windows, so they are the ones the bus announced as they came up.
std::vector<Accessible> popupsOf(pid_t pid);

// The first visible object along `path`: each step is looked for, depth first, among the visible
// objects under the one the step before found, starting with `root`'s.
std::optional<Accessible> findVisible(const Accessible& root, const std::vector<Seek>& path);
// The same object with the objects above it, `root`'s children first; empty when not found.
std::vector<Accessible> chainTo(const Accessible& root, const std::vector<Seek>& path);
// The visible part of the tree under `root`, one object a line, for a failure's message.
std::string outline(const Accessible& root);

}  // namespace velmora::e2e
