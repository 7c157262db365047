// An accessibility factory consulted before Qt's own: it answers only for widgets marked here.
#include "ui/widgets/Accessibility.hpp"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

#include "ui/widgets/Text.hpp"

namespace velmora::accessibility {

namespace {

constexpr const char* kRoleProperty = "velmora.accessibleRole";
constexpr const char* kHiddenProperty = "velmora.accessibleHidden";
constexpr const char* kMenuProperty = "velmora.accessibleOpensMenu";
constexpr const char* kTipNameProperty = "velmora.accessibleTipIsName";

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

// A button as Qt reads one (pressed, checked when checkable, the press action), and: a button
// that opens a menu says so and opens it by either action; a description that only repeats the
// name is not read.
class Button : public QAccessibleWidget {
  public:
    Button(QAbstractButton* button, bool opensMenu)
        : QAccessibleWidget(button, QAccessible::Button), opensMenu_(opensMenu) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = opensMenu_;
        state.pressed = button().isDown();
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
        if (opensMenu_) {
            return {QAccessibleActionInterface::showMenuAction(),
                    QAccessibleActionInterface::pressAction()};
        }
        return {QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString& name) override {
        if (button().isEnabled() && actionNames().contains(name)) {
            button().click();
        }
    }

  private:
    QAbstractButton& button() const { return *static_cast<QAbstractButton*>(widget()); }

    bool opensMenu_;
};

QAccessibleInterface* factory(const QString& /*className*/, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (widget->property(kHiddenProperty).toBool()) {
        return new Hidden(widget);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button != nullptr &&
        (button->property(kMenuProperty).toBool() || button->property(kTipNameProperty).toBool())) {
        return new Button(button, button->property(kMenuProperty).toBool());
    }
    const QVariant role = widget->property(kRoleProperty);
    if (role.isValid()) {
        return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
    }
    return nullptr;
}

void installFactoryOnce() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

}  // namespace

void describe(QWidget& widget, QAccessible::Role role, const QString& name) {
    installFactoryOnce();
    widget.setProperty(kRoleProperty, static_cast<int>(role));
    if (widget.accessibleName() != name) {
        widget.setAccessibleName(name);
    }
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
    widget.setProperty(kHiddenProperty, true);
}

}  // namespace velmora::accessibility
