// The back button's look and action.
#include "ui/window/BackButton.hpp"

#include "ui/look/Theme.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {

namespace {

constexpr qreal kChevronSize = 11;
constexpr qreal kTitleSize = 12;
constexpr qreal kSpacing = 4;

}  // namespace

BackButton::BackButton(MainWindow& window, NavItem target, QWidget* parent)
    : LabelButton("chevron.left", kChevronSize, DesignFont::inter(kTitleSize, FontWeight::medium),
                  kSpacing, Theme::secondary(), parent) {
    setObjectName(QStringLiteral("backButton"));
    setSymbolWeight(FontWeight::semibold);
    setTarget(target);
    connect(this, &QAbstractButton::clicked, this, [this, &window] {
        window.change([target = target_](WindowState& state) { state.goBack(target); });
    });
}

void BackButton::setTarget(const NavItem& target) {
    target_ = target;
    setLabel(toQString(target.title()));
}

}  // namespace velmora
