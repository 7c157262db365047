// A sidebar row that leads to a page: the item's symbol and title, and a count badge when there is
// something to count. The highlighted row (on a card-white rounded background, title semibold)
// is the page shown, or the page the open recipe was opened from. Its object name is in navNames.
#pragma once

#include <optional>
#include <string_view>

#include "ui/look/Symbols.hpp"
#include "ui/widgets/PaintedButton.hpp"
#include "ui/window/NavItem.hpp"

namespace velmora {

class MainWindow;

// The object names of the sidebar rows, which tests and tools find them by.
namespace navNames {

// "nav.<item>", `item` being NavItem::name(): "nav.home", "nav.favorites", "nav.browse",
// "nav.active", "nav.automations".
QString row(std::string_view item);

}  // namespace navNames

class NavRow : public PaintedButton {
    Q_OBJECT

  public:
    // A click shows the item's page and clears the search; the back target stays.
    NavRow(MainWindow& window, NavItem item, QWidget* parent = nullptr);

    const NavItem& item() const { return item_; }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    // The badge, drawn only for a count of 1 or more.
    std::optional<int> shownBadge() const;
    void setBadge(std::optional<int> count);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    SymbolLook symbol() const;

    NavItem item_;
    bool highlighted_ = false;
    std::optional<int> badge_;
};

}  // namespace velmora
