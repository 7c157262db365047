// The main window's root view: the sidebar, top bar and pages will hang from it.
#pragma once

#include <QWidget>

namespace velmora {

class AppModel;

class MainWindow : public QWidget {
    Q_OBJECT

  public:
    // The smallest size at which the window's layout still fits.
    static constexpr int minimumWidth = 840;
    static constexpr int minimumHeight = 600;

    explicit MainWindow(AppModel& model, QWidget* parent = nullptr);

    AppModel& model;
};

}  // namespace velmora
