// A capsule that opens a menu of choices: a symbol, a one-line text and the up-down chevrons, on
// paper with a hairline outline. Item texts are shown as written ("&" is escaped). The menu opens
// without a nested event loop and, while it is open, the pill keeps an InteractionHold, so a sync
// does not rebuild the list it sits in under the open menu. The pill does not change its own
// label: the owner sets it from the choice. A tool button with its menu set, drawn by the
// application's style; it opens the menu itself, never in a nested loop.
//
//     auto* kind = new MenuPill;
//     kind->setLabel(toQString(rule.kindLabel()), rule.kindSymbol());
//     kind->addItem(QStringLiteral("Battery below…"), "battery.25", [this] { form.kind = ...; });
#pragma once

#include <QToolButton>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QMenu;

namespace velmora {

class InteractionHold;

class MenuPill : public QToolButton {
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

  private:
    void openMenu();

    QString text_;
    std::string symbol_;
    QMenu* menu_;
    std::unique_ptr<InteractionHold> hold_;
};

}  // namespace velmora
