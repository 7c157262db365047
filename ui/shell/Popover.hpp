// The status item's transient popover: a frameless popup under the tray icon.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

namespace velmora {

class Popover : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize contentSize{326, 440};
    // What screen readers call it: the name its header shows.
    static constexpr const char* title = "Velmora";
    // A click on the tray icon first closes the popup (Qt sees it as a click outside) and then
    // reaches the icon; a show request this soon after a close is that same click.
    static constexpr std::chrono::milliseconds reopenGuard{300};

    Popover();

    using ContentMaker = std::function<std::unique_ptr<QWidget>()>;

    // Gives the popover its size, its light look and the maker of its content, which it then
    // owns. The content is made when it is first wanted (shown or asked for), as the popover of
    // a status item is built only once it is opened: a launch need not pay for it.
    void configure(ContentMaker makeContent);
    // The content, made now if it was not yet; none before `configure`.
    QWidget* content();
    bool contentMade() const { return content_ != nullptr; }

    bool isShown() const { return isVisible(); }
    // True while a show request would be the click that just closed the popover.
    bool closedJustNow() const;

    // Shows the popover below `anchor` (the tray icon's rectangle), or at the pointer when the
    // tray gives no rectangle, kept on the screen, and gives it the keyboard.
    void showBelow(const QRect& anchor);
    void performClose();

  protected:
    void hideEvent(QHideEvent* event) override;
    // Tab pressed while nothing in the popover has the focus yet reaches the popup itself.
    bool focusNextPrevChild(bool next) override;

  private:
    ContentMaker makeContent_;
    QWidget* content_ = nullptr;
    QElapsedTimer sinceClose_;
};

// Top-left corner for a popup of `size` centred below `anchor`, above it when there is no room
// below, and moved inside `available` (a popup larger than `available` keeps its top-left inside).
QPoint popoverPosition(const QRect& anchor, const QSize& size, const QRect& available);

}  // namespace velmora
