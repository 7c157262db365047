// The window's left column: the logo, the navigation rows (Home, On now, Favorites, and under
// "LIBRARY" Browse all), the scenes list with the Automations row, then, pinned to the bottom, the
// suggestion of the day and the profile block. The part down to the Automations row scrolls when
// the window is too short for it (its bar shows only then), so the pinned part always stays in
// the window. It keeps no state: every highlight, badge and text follows the sync.
#pragma once

#include <vector>

#include "ui/widgets/Card.hpp"

class QLayout;
class QScrollArea;
class QVBoxLayout;

namespace velmora {

class MainWindow;
class NavRow;
class ProfileBlock;
class ScenesSection;
class SuggestionCard;
class TextLabel;
struct WindowView;

// A section title of the sidebar, "LIBRARY" or "SCENES": small, tracked, faint capitals.
TextLabel* sidebarSectionLabel(const QString& text);

class Sidebar : public CardCanvas {
    Q_OBJECT

  public:
    explicit Sidebar(MainWindow& window, QWidget* parent = nullptr);

    void show(const WindowView& view);

    // The scrolling part, from the header to the Automations row.
    QScrollArea& scrollingPart() const { return *scroll_; }
    const std::vector<NavRow*>& navRows() const { return rows_; }
    ScenesSection& scenes() const { return *scenes_; }
    SuggestionCard& suggestion() const { return *suggestion_; }
    ProfileBlock& profile() const { return *profile_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // From the header to the Automations row.
    QScrollArea* makeScrollingPart(MainWindow& window);
    // The logo and the product's name.
    QLayout* makeHeader();
    // The page rows, the Library heading, the scenes and Automations, into `upper`.
    void makeNavigation(MainWindow& window, QVBoxLayout& upper);
    // The suggestion card, pinned under the scrolling part.
    QLayout* makeSuggestion(MainWindow& window);

    QScrollArea* scroll_;
    std::vector<NavRow*> rows_;
    NavRow* active_;
    NavRow* favorites_;
    ScenesSection* scenes_;
    SuggestionCard* suggestion_;
    ProfileBlock* profile_;
};

}  // namespace velmora
