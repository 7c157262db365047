// The shape of every setting row, and the rows that end in a star and a switch.
//
// A setting row is a tinted 26 × 26 symbol tile, a text block (title in Inter 12.5 medium, summary
// in Inter 11 at its full height) and a control, padded 7 above and below; the list card around
// it pads it 14 left and right. TweakRow and PowerToggleRow are SwitchRows: title, chips, summary,
// then a StarButton and a Switch.
#pragma once

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class AppModel;
class SyncCache;
class StarButton;
class Switch;
class SymbolView;
class TextLabel;

// The pieces the three rows share.
namespace settingRow {

constexpr int tileSide = 26;
constexpr int verticalPadding = 7;
constexpr int spacing = 10;
constexpr int titleRowSpacing = 6;
constexpr int trailingGap = 8;  // the spacer's least length before the trailing controls

// The row's layout: items centred vertically, spacing 10, padded 7 above and below.
QHBoxLayout& layout(QWidget& row);
// Each piece is made in `row`: a widget made without a parent is a window until a layout adopts
// it, and keeps a window's extra data for the rest of its life. Made in the order they stand, as
// the screen reader reads a row's children.
SymbolView* tile(const std::string& symbol, int tintIndex, QWidget& row);
TextLabel* title(const std::string& text, QWidget& row);
// Wraps onto as many lines as it needs.
TextLabel* summary(const std::string& text, QWidget& row);

}  // namespace settingRow

// The object names of a setting row and its controls for the item `id`, which tests and tools find
// them by: "row.<id>", "star.<id>", "switch.<id>", and a slider row's "slider.<id>" and
// "value.<id>" (its value text).
namespace rowNames {

QString row(std::string_view id);
QString star(std::string_view id);
QString toggle(std::string_view id);
QString slider(std::string_view id);
QString value(std::string_view id);

}  // namespace rowNames

class SwitchRow : public QWidget {
    Q_OBJECT

  public:
    StarButton& star() const { return *star_; }
    Switch& toggle() const { return *toggle_; }

    // Shows the switch and the star as of `now`. The row does not follow the model itself: the
    // list it is in calls this at every sync of the page on screen.
    void follow(const SyncCache& now);

  protected:
    // `onStar` and `onSwitch` run on their clicks.
    SwitchRow(const std::string& id, const std::string& symbol, int tintIndex,
              const std::string& title, const std::string& summary,
              const std::vector<QString>& chips, std::function<void()> onStar,
              std::function<void()> onSwitch, QWidget* parent);

    struct State {
        bool on;
        bool favourite;
    };
    using Reader = std::function<State(const SyncCache&)>;
    // What follow() shows; shown at once from the last cache of `model`'s sync.
    void setReader(AppModel& model, Reader reader);
    // Other texts in the same shape: a stand-in row measuring rows not made yet.
    void relabel(const std::string& title, const std::string& summary);

  private:
    TextLabel* title_;
    TextLabel* summary_;
    StarButton* star_ = nullptr;
    Switch* toggle_ = nullptr;
    Reader reader_;
};

}  // namespace velmora
