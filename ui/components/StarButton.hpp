// The favourite toggle: "star.fill" in the accent when the item is a favourite, else "star",
// faint, darker under the pointer. It calls its action on every click and shows what its owner
// sets (the model's answer at the next sync). Tool tip and accessible name: "Pin to Favorites" or
// "Unpin from Favorites"; its accessible description names what it pins (setSubject).
#pragma once

#include <functional>

#include "ui/look/Symbols.hpp"
#include "ui/widgets/PaintedButton.hpp"

namespace velmora {

class StarButton : public PaintedButton {
    Q_OBJECT

  public:
    StarButton(bool isOn, std::function<void()> action, QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    // The title of the item it pins, read after its name: a screen reader landing on a star hears
    // which of a page's many stars it is.
    void setSubject(const QString& title);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    SymbolLook symbol() const;

    void describe();

    bool on_;
};

}  // namespace velmora
