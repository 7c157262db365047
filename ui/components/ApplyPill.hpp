// The capsule that applies or reverts a recipe: "Apply" outlined in ink when the recipe is not
// applied; "Applied" with a checkmark on a filled ink capsule when it is, turning into "Revert"
// with a back arrow under the pointer. It calls its action on every click and decides nothing
// itself: the owner's action re-reads the model (model.toggle(recipe)). A change of `applied`
// fades over 0.12 seconds.
#pragma once

#include <functional>
#include "ui/widgets/PaintedButton.hpp"

#include "ui/widgets/Fade.hpp"

namespace velmora {

class ApplyPill : public PaintedButton {
    Q_OBJECT

  public:
    ApplyPill(bool applied, std::function<void()> action, QWidget* parent = nullptr);

    bool isApplied() const { return applied_; }
    void setApplied(bool applied);
    // The text shown now: "Apply", "Applied", or "Revert" under the pointer.
    QString shownText() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void describe();

    bool applied_;
    Fade fill_;
};

}  // namespace velmora
