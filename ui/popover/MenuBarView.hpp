// The panel shown in the status item's popover.
#pragma once

#include <QWidget>

namespace velmora {

class AppModel;

class MenuBarView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int panelWidth = 326;

    explicit MenuBarView(AppModel& model, QWidget* parent = nullptr);

    AppModel& model;
};

}  // namespace velmora
