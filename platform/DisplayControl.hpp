// Reading and switching the system's dark appearance: a bundle of operations the app model holds.
#pragma once

#include <functional>

namespace velmora {

struct DisplayControl {
    std::function<bool()> darkModeReader;
    std::function<void(bool)> setDarkMode;

    bool isDarkMode() const { return darkModeReader(); }
    void setDark(bool on) const { setDarkMode(on); }
    // Night Shift has no reader or writer on this platform; these are fixed values.
    bool isNightShiftOn() const { return false; }
    double nightShiftStrength() const { return 0.0; }

    // Wired to the `defaults` tool and System Events through `osascript`.
    static DisplayControl live();
};

// The appearance through the system's own tools.
class DarkMode {
  public:
    DarkMode() = delete;
    // Whether the global AppleInterfaceStyle says "Dark"; false whenever it cannot be read.
    static bool isOn();
    // Asks System Events to switch; a refusal or a failed script leaves the look unchanged,
    // silently.
    static void set(bool on);
};

}  // namespace velmora
