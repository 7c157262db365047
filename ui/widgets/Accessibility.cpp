// An accessibility factory consulted before Qt's own: it answers only for widgets marked here.
#include "ui/widgets/Accessibility.hpp"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QVariant>
#include <QWidget>
#include <set>

#include "ui/widgets/Text.hpp"

namespace velmora::accessibility {

namespace {

constexpr const char* kRoleProperty = "velmora.accessibleRole";
constexpr const char* kHiddenProperty = "velmora.accessibleHidden";
constexpr const char* kMenuProperty = "velmora.accessibleOpensMenu";
constexpr const char* kTipNameProperty = "velmora.accessibleTipIsName";
constexpr const char* kClickedProperty = "velmora.accessibleClickedByTools";
constexpr const char* kSelectedProperty = "velmora.accessibleSelected";
constexpr const char* kExpandedProperty = "velmora.accessibleExpanded";
constexpr const char* kContextMenuProperty = "velmora.accessibleContextMenu";
constexpr const char* kLayerHostProperty = "velmora.accessibleLayerHost";
constexpr const char* kLayerProperty = "velmora.accessibleLayer";

class Hidden : public QAccessibleWidget {
  public:
    explicit Hidden(QWidget* widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        state.focusable = false;
        return state;
    }
    QString text(QAccessible::Text /*type*/) const override { return {}; }
};

}  // namespace

// A widget's role and whether it is out of the reading: its own where it holds them, else in
// dynamic properties.
struct Reading {
    static std::optional<QAccessible::Role> role(const QWidget& widget) {
        if (const auto* own = dynamic_cast<const OwnReading*>(&widget)) {
            return own->role_;
        }
        const QVariant given = widget.property(kRoleProperty);
        if (!given.isValid()) {
            return std::nullopt;
        }
        return static_cast<QAccessible::Role>(given.toInt());
    }
    static void setRole(QWidget& widget, QAccessible::Role role) {
        if (auto* own = dynamic_cast<OwnReading*>(&widget)) {
            own->role_ = role;
        } else {
            widget.setProperty(kRoleProperty, static_cast<int>(role));
        }
    }
    static bool hidden(const QWidget& widget) {
        if (const auto* own = dynamic_cast<const OwnReading*>(&widget)) {
            return own->hidden_;
        }
        return widget.property(kHiddenProperty).toBool();
    }
    static void hide(QWidget& widget) {
        if (auto* own = dynamic_cast<OwnReading*>(&widget)) {
            own->hidden_ = true;
        } else {
            widget.setProperty(kHiddenProperty, true);
        }
    }
};

namespace {

// A button as Qt reads one (pressed, checked when checkable), and: a button that opens a menu
// says so and opens it by either action; a description that only repeats the name is not read;
// every action that presses or toggles clicks it, as a user's click does; a button given the
// role of a page tab reads whether it is the chosen one (setSelected), a disclosure whether it
// has its part shown (setExpanded); a button with a context menu opens it by the show-menu action.
class Button : public QAccessibleWidget {
  public:
    Button(QAbstractButton* button, bool opensMenu)
        : QAccessibleWidget(button, QAccessible::Button), opensMenu_(opensMenu) {}
    QAccessible::Role role() const override {
        const QVariant given = widget()->property(kRoleProperty);
        if (given.isValid()) {
            return static_cast<QAccessible::Role>(given.toInt());
        }
        return button().isCheckable() && !opensMenu_ ? QAccessible::CheckBox : QAccessible::Button;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = opensMenu_;
        state.pressed = button().isDown();
        if (const QVariant expanded = widget()->property(kExpandedProperty); expanded.isValid()) {
            state.expandable = true;
            state.expanded = expanded.toBool();
            state.collapsed = !expanded.toBool();
        }
        if (role() == QAccessible::PageTab) {
            state.selectable = true;
            state.selected = widget()->property(kSelectedProperty).toBool();
            return state;
        }
        state.checkable = button().isCheckable();
        state.checked = button().isCheckable() && button().isChecked();
        return state;
    }
    QString text(QAccessible::Text type) const override {
        const QString said = QAccessibleWidget::text(type);
        if (type == QAccessible::Description &&
            said == QAccessibleWidget::text(QAccessible::Name)) {
            return {};
        }
        return said;
    }
    QStringList actionNames() const override {
        QStringList names;
        if (button().isEnabled()) {
            if (opensMenu_) {
                names << QAccessibleActionInterface::showMenuAction()
                      << QAccessibleActionInterface::pressAction();
            } else if (role() == QAccessible::CheckBox) {
                names << QAccessibleActionInterface::toggleAction();
            } else {
                names << QAccessibleActionInterface::pressAction();
            }
            if (hasContextMenu()) {
                names << QAccessibleActionInterface::showMenuAction();
            }
        }
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == QAccessibleActionInterface::showMenuAction() && hasContextMenu()) {
            if (button().isEnabled()) {
                // As the keyboard's menu key asks for it, at the button's middle.
                const QPoint middle = button().rect().center();
                QContextMenuEvent asked(QContextMenuEvent::Keyboard, middle,
                                        button().mapToGlobal(middle));
                QCoreApplication::sendEvent(&button(), &asked);
            }
            return;
        }
        const bool clicks = name == QAccessibleActionInterface::pressAction() ||
                            name == QAccessibleActionInterface::toggleAction() ||
                            name == QAccessibleActionInterface::showMenuAction();
        if (!clicks) {
            QAccessibleWidget::doAction(name);
        } else if (button().isEnabled() && actionNames().contains(name)) {
            button().click();
        }
    }

  private:
    QAbstractButton& button() const { return *static_cast<QAbstractButton*>(widget()); }
    bool hasContextMenu() const {
        return !opensMenu_ && widget()->property(kContextMenuProperty).toBool();
    }

    bool opensMenu_;
};

// A parent that lays a modal layer over its content. Its interface lives as long as the widget
// (Qt keeps it once made), so whether a layer is up is asked at each question, never stored.
class LayerHost : public QAccessibleWidget {
  public:
    explicit LayerHost(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}
    int childCount() const override {
        return layer() != nullptr ? 1 : QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int index) const override {
        if (QWidget* shown = layer()) {
            return index == 0 ? QAccessible::queryAccessibleInterface(shown) : nullptr;
        }
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (QWidget* shown = layer()) {
            return child != nullptr && child->object() == shown ? 0 : -1;
        }
        return QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (QWidget* shown = layer()) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(shown);
            return face != nullptr && face->rect().contains(x, y) ? face : nullptr;
        }
        return QAccessibleWidget::childAt(x, y);
    }

  private:
    // The layer up, if one is: a handful of children to look through.
    QWidget* layer() const {
        for (QObject* child : widget()->children()) {
            auto* shown = qobject_cast<QWidget*>(child);
            if (shown != nullptr && shown->property(kLayerProperty).toBool() &&
                shown->isVisible()) {
                return shown;
            }
        }
        return nullptr;
    }
};

// Tells the tools that the layer's parent has other parts when the layer comes and goes, so a
// tool that keeps the tree reads it anew.
class LayerWatch : public QObject {
  public:
    explicit LayerWatch(QWidget& layer) : QObject(&layer) { layer.installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            if (QWidget* parent = static_cast<QWidget*>(watched)->parentWidget()) {
                QAccessibleEvent reordered(parent, QAccessible::ObjectReorder);
                QAccessible::updateAccessibility(&reordered);
            }
        }
        return false;
    }
};

QAccessibleInterface* factory(const QString& /*className*/, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (Reading::hidden(*widget)) {
        return new Hidden(widget);
    }
    if (widget->property(kLayerHostProperty).toBool()) {
        return new LayerHost(widget);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button != nullptr &&
        (button->property(kMenuProperty).toBool() || button->property(kTipNameProperty).toBool() ||
         button->property(kClickedProperty).toBool())) {
        return new Button(button, button->property(kMenuProperty).toBool());
    }
    if (const std::optional<QAccessible::Role> role = Reading::role(*widget)) {
        return new QAccessibleWidget(widget, *role);
    }
    return nullptr;
}

void installFactoryOnce() {
    installOnce(factory);
}

// Qt keeps the interface it made for a widget for the widget's life: a widget whose kind changed
// after tools first asked about it (a label taken out of the reading once its row reads it, a text
// that became a heading) is asked about anew, through the factory.
void askAnew(QWidget& widget) {
    if (QAccessibleInterface* kept = QAccessible::queryAccessibleInterface(&widget)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(kept));
    }
}

}  // namespace

void installOnce(QAccessible::InterfaceFactory factory) {
    // Widgets are made on the interface thread only, so the set needs no lock.
    static std::set<QAccessible::InterfaceFactory> installed;
    if (installed.insert(factory).second) {
        QAccessible::installFactory(factory);
    }
}

void describe(QWidget& widget, QAccessible::Role role, const QString& name) {
    installFactoryOnce();
    const std::optional<QAccessible::Role> before = Reading::role(widget);
    Reading::setRole(widget, role);
    if (before.has_value() && *before != role) {
        askAnew(widget);
    }
    if (widget.accessibleName() != name) {
        widget.setAccessibleName(name);
    }
}

void clickedByTools(QAbstractButton& button) {
    installFactoryOnce();
    button.setProperty(kClickedProperty, true);
}

void setSelected(QWidget& widget, bool selected) {
    if (widget.property(kSelectedProperty).toBool() == selected) {
        return;
    }
    widget.setProperty(kSelectedProperty, selected);
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(&widget, changed);
    QAccessible::updateAccessibility(&event);
    // Qt's AT-SPI bridge passes a change of the selected state on only as a selection event.
    QAccessibleEvent chosen(&widget,
                            selected ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    QAccessible::updateAccessibility(&chosen);
}

void setExpanded(QWidget& widget, bool expanded) {
    const QVariant before = widget.property(kExpandedProperty);
    if (before.isValid() && before.toBool() == expanded) {
        return;
    }
    widget.setProperty(kExpandedProperty, expanded);
    QAccessible::State changed;
    changed.expanded = true;
    changed.collapsed = true;
    QAccessibleStateChangeEvent event(&widget, changed);
    QAccessible::updateAccessibility(&event);
}

void nameWindow(QWidget& window, const QString& name) {
    describe(window, QAccessible::Window, name);
}

void readsRow(QWidget& control, const QString& title, const QString& detail) {
    if (control.accessibleName() != title) {
        control.setAccessibleName(title);
    }
    if (control.accessibleDescription() != detail) {
        control.setAccessibleDescription(detail);
    }
}

void hasContextMenu(QAbstractButton& button) {
    installFactoryOnce();
    button.setProperty(kContextMenuProperty, true);
}

void opensMenu(QAbstractButton& button) {
    installFactoryOnce();
    button.setProperty(kMenuProperty, true);
}

void nameByToolTip(QAbstractButton& button, const QString& tip) {
    installFactoryOnce();
    button.setProperty(kTipNameProperty, true);
    setPlainToolTip(button, tip);
    if (button.accessibleName() != tip) {
        button.setAccessibleName(tip);
    }
}

void hide(QWidget& widget) {
    installFactoryOnce();
    if (!Reading::hidden(widget)) {
        Reading::hide(widget);
        askAnew(widget);
    }
}

void laysModalLayers(QWidget& parent) {
    installFactoryOnce();
    parent.setProperty(kLayerHostProperty, true);
}

void markModalLayer(QWidget& layer) {
    installFactoryOnce();
    layer.setProperty(kLayerProperty, true);
    new LayerWatch(layer);
}

}  // namespace velmora::accessibility
