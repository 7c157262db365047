// The single main window: native frame, paper background, moved by dragging its background.
#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace velmora {

class AppWindow : public QWidget {
    Q_OBJECT

  public:
    // 840 wide rather than 820: the root view does not fit below 840.
    static constexpr QSize contentSize{840, 620};
    static constexpr const char* title = "Velmora";

    // Hosts `root`, which it owns, filling the whole content area.
    explicit AppWindow(std::unique_ptr<QWidget> root);

    QWidget* root() const { return root_; }

    void centreOnScreen();
    // Shows the window (restoring it when minimised), raises it and gives it the keyboard.
    void bringForward();
    bool isShownToUser() const { return isVisible() && !isMinimized(); }

    // Called once, right after the window's content is first painted (the start-up benchmark
    // listens here).
    std::function<void()> onFirstPaint;

  signals:
    // Once, right after onFirstPaint: what the launch leaves until the window is on screen.
    void firstPainted();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Starts moving the window once a press on the background has become a drag.
    void startMove(const QPoint& globalPosition);

    QWidget* root_;
    // Where the left button went down on the background, until it is released or a move starts:
    // a click alone must not move the window.
    std::optional<QPoint> pressedAt_;
    // Pointer position relative to the frame's corner while a drag moves the window by hand.
    std::optional<QPoint> dragOffset_;
    // The window's size when last resized, and the pixel ratio it had then.
    QSize sizedAt_;
    qreal sizedAtRatio_ = 0;
    bool painted_ = false;
};

}  // namespace velmora
