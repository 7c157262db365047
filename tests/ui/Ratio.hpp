// Screens of high density beside the tests' ordinary one, so that a view can be drawn at the
// device pixel ratios users' screens give it (Xft.dpi or QT_SCALE_FACTOR: 1.25, 1.5, 2) and
// moved from one ratio to another while it runs.
#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cmath>

namespace velmora::test {

// The offscreen platform's screens: the ordinary one as Qt makes it by default, where every test
// shows its windows, and one per ratio far below it, where no window of the ordinary screen's
// size reaches.
constexpr const char* kScreens =
    R"({"screens": [
        {"name": "", "x": 0, "y": 0, "width": 800, "height": 800,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "ratio-1.25", "x": 0, "y": 10000, "width": 3000, "height": 2000,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1.25},
        {"name": "ratio-1.5", "x": 0, "y": 20000, "width": 3000, "height": 2000,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1.5},
        {"name": "ratio-2", "x": 0, "y": 30000, "width": 3000, "height": 2000,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})";

// The ratios users' screens commonly give, the ordinary one first.
constexpr qreal kRatios[] = {1, 1.25, 1.5, 2};

inline QScreen* screenOfRatio(qreal ratio) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (std::abs(screen->devicePixelRatio() - ratio) < 1e-9) {
            return screen;
        }
    }
    ADD_FAILURE() << "no screen of ratio " << ratio;
    return QGuiApplication::primaryScreen();
}

// Moves the window `widget` onto the screen of `ratio` (shown or not), so that it draws there.
inline void moveToRatio(QWidget& widget, qreal ratio) {
    const QScreen* screen = screenOfRatio(ratio);
    widget.move(screen->geometry().topLeft() + QPoint(40, 40));
    if (widget.windowHandle() != nullptr) {
        QTest::qWait(0);
    }
    EXPECT_DOUBLE_EQ(widget.devicePixelRatioF(), ratio);
}

}  // namespace velmora::test
