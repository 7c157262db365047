// What the automation monitor watches besides its timer: screens, wake and application launches.
#pragma once

#include <QObject>
#include <QString>

namespace velmora {

// Whether some enabled rule needs application launches.
enum class LaunchWatching { off, on };

// The one seam between the monitor and the system's notifications, so that tests can raise every
// trigger themselves. Signals may come at any moment; receivers queue their work.
class AutomationEvents : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    ~AutomationEvents() override;

    // The number of screens at this moment.
    virtual int screenCount() const = 0;
    // Launches are looked for only while a rule needs them: the look costs a pass over the process
    // table every second. Turned on, launches count from now. A source whose launches cost nothing
    // to follow may ignore it.
    virtual void watchLaunches(LaunchWatching watching);

  signals:
    // A screen was added or removed, or one changed its geometry; the count may be unchanged.
    void screensChanged();
    // The machine resumed from sleep.
    void woke();
    // An application bundle with this identifier (never empty) started.
    void applicationLaunched(const QString& bundleID);
};

}  // namespace velmora
