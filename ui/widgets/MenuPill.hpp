// A capsule that opens a menu of choices: a symbol, a one-line text and the up-down chevrons, on
// paper with a hairline outline. Item texts are shown as written ("&" is escaped). The menu opens
// without a nested event loop and, while it is open, the pill keeps an InteractionHold, so a sync
// does not rebuild the list it sits in under the open menu. The pill does not change its own
// label: the owner sets it from the choice.
//
//     auto* kind = new MenuPill;
//     kind->setLabel(toQString(rule.kindLabel()), rule.kindSymbol());
//     kind->addItem(QStringLiteral("Battery below…"), "battery.25", [this] { form.kind = ...; });
#pragma once

#include <functional>
#include <memory>
#include <string>
#include "ui/widgets/PaintedButton.hpp"

class QAction;
class QMenu;

namespace velmora {

class InteractionHold;

class MenuPill : public PaintedButton {
    Q_OBJECT

  public:
    explicit MenuPill(QWidget* parent = nullptr);
    ~MenuPill() override;

    void setLabel(const QString& text, const std::string& symbol);
    const QString& labelText() const { return text_; }

    // Adds a choice at the end; `symbol` may be empty.
    QAction* addItem(const QString& text, const std::string& symbol, std::function<void()> chosen);
    void clearItems();
    QMenu& menu() const { return *menu_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void openMenu();

    QString text_;
    std::string symbol_;
    QMenu* menu_;
    std::unique_ptr<InteractionHold> hold_;
};

}  // namespace velmora
