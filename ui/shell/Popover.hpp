// The status item's transient popover: a frameless popup under the tray icon.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <chrono>
#include <memory>

namespace velmora {

class Popover : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize contentSize{326, 440};
    // A click on the tray icon first closes the popup (Qt sees it as a click outside) and then
    // reaches the icon; a show request this soon after a close is that same click.
    static constexpr std::chrono::milliseconds reopenGuard{300};

    Popover();

    // Gives the popover its size, its light look and its content, which it then owns.
    void configure(std::unique_ptr<QWidget> content);
    QWidget* content() const { return content_; }

    bool isShown() const { return isVisible(); }
    // True while a show request would be the click that just closed the popover.
    bool closedJustNow() const;

    // Shows the popover below `anchor` (the tray icon's rectangle), or at the pointer when the
    // tray gives no rectangle, kept on the screen, and gives it the keyboard.
    void showBelow(const QRect& anchor);
    void performClose();

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    QWidget* content_ = nullptr;
    QElapsedTimer sinceClose_;
};

// Top-left corner for a popup of `size` centred below `anchor`, above it when there is no room
// below, and moved inside `available` (a popup larger than `available` keeps its top-left inside).
QPoint popoverPosition(const QRect& anchor, const QSize& size, const QRect& available);

}  // namespace velmora
