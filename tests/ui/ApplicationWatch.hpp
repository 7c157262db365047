// A watcher of every object's events for as long as it lives: it puts itself in front of the
// application's event delivery when made and takes itself out when it goes.
#pragma once

#include <QApplication>
#include <QObject>

namespace velmora::test {

class ApplicationWatch : public QObject {
  public:
    ApplicationWatch() { QApplication::instance()->installEventFilter(this); }
    ~ApplicationWatch() override { QApplication::instance()->removeEventFilter(this); }
    ApplicationWatch(const ApplicationWatch&) = delete;
    ApplicationWatch& operator=(const ApplicationWatch&) = delete;
};

}  // namespace velmora::test
