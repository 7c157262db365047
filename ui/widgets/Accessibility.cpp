// An accessibility factory consulted before Qt's own: it answers only for widgets marked here.
#include "ui/widgets/Accessibility.hpp"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace velmora::accessibility {

namespace {

constexpr const char* kRoleProperty = "velmora.accessibleRole";
constexpr const char* kHiddenProperty = "velmora.accessibleHidden";
constexpr const char* kMenuProperty = "velmora.accessibleOpensMenu";

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

class MenuButton : public QAccessibleWidget {
  public:
    explicit MenuButton(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        return state;
    }
    QStringList actionNames() const override {
        return {QAccessibleActionInterface::showMenuAction(),
                QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString& name) override {
        auto* button = static_cast<QAbstractButton*>(widget());
        if (button->isEnabled() && actionNames().contains(name)) {
            button->click();
        }
    }
};

QAccessibleInterface* factory(const QString& /*className*/, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (widget->property(kHiddenProperty).toBool()) {
        return new Hidden(widget);
    }
    if (widget->property(kMenuProperty).toBool()) {
        return new MenuButton(widget);
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

void hide(QWidget& widget) {
    installFactoryOnce();
    widget.setProperty(kHiddenProperty, true);
}

}  // namespace velmora::accessibility
