// Counts the windows the display is asked to make while it lives: a widget shown before it has a
// parent becomes a window of its own (on X a round trip to make it, map it and destroy it again),
// which no page or list may cause while it is built or updated.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QString>
#include <QWidget>
#include <string>

#include "tests/ui/ApplicationWatch.hpp"

namespace velmora::test {

class NativeWindowCount : public ApplicationWatch {
  public:
    int made() const { return made_; }
    // The class and object name of the first widget that got a window, for a failure message.
    const std::string& first() const { return first_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Sent when a widget's window is made for it.
        if (event->type() == QEvent::WinIdChange && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->internalWinId() != 0) {
            if (made_++ == 0) {
                first_ = std::string(watched->metaObject()->className()) + " \"" +
                         watched->objectName().toStdString() + "\"";
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    int made_ = 0;
    std::string first_;
};

}  // namespace velmora::test
