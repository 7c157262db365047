// One painted row of the status item's panel. A recipe row shows the logo mark (wound when the
// recipe is applied), its title, and a checkmark (a back arrow under the pointer) or a faded
// "Apply"; a tweak or power row shows a filled or empty circle, its title on one line, and "On"
// or "Off". The whole padded row is the button; a click runs the row's action. Rows are updated
// in place with setRow(). Accessibility tools see a checkable button named by the title, on when
// the thing is applied or on. Its object name is menuNames::row(id).
#pragma once

#include <string_view>
#include "ui/widgets/PaintedButton.hpp"

#include "ui/popover/MenuSections.hpp"

namespace velmora {

namespace menuNames {

// The object name of the panel's row for the thing `id`, which tests and tools find it by:
// "menu.row.<id>".
QString row(std::string_view id);

}  // namespace menuNames

class MenuRowView : public PaintedButton {
    Q_OBJECT

  public:
    explicit MenuRowView(MenuRow row, QWidget* parent = nullptr);

    const MenuRow& row() const { return row_; }
    void setRow(MenuRow row);
    // The trailing text as drawn now: "On", "Off", "Apply", or empty for a symbol.
    QString stateText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void nextCheckState() override {}
    void paintEvent(QPaintEvent* event) override;

  private:
    MenuRow row_;
};

}  // namespace velmora
