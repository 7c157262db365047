// Counts the widgets made while it lives (every widget given a parent announces itself to it), so
// a test or a benchmark can say that a sync rebuilt nothing.
#pragma once

#include <QApplication>
#include <QChildEvent>
#include <QObject>

#include "tests/ui/ApplicationWatch.hpp"

namespace velmora::test {

class WidgetCount : public ApplicationWatch {
  public:
    int made() const { return made_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildAdded &&
            static_cast<QChildEvent*>(event)->child()->isWidgetType()) {
            ++made_;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    int made_ = 0;
};

}  // namespace velmora::test
