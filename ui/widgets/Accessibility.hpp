// What painted widgets tell accessibility tools. A widget that paints itself is, to those tools, a
// nameless "client" area unless it says what it stands for, as the native controls of the design
// did. Buttons (QAbstractButton subclasses) need only a name: Qt reports them as buttons, and as
// checkable with their on/off state when checkable. Other painted widgets declare their role here;
// decorations are hidden.
#pragma once

#include <QAccessible>
#include <QString>

class QAbstractButton;
class QWidget;

namespace velmora::accessibility {

// Gives `widget` the role `role` and the name `name` for accessibility tools; call again with a
// new name when its text changes.
void describe(QWidget& widget, QAccessible::Role role, const QString& name);

// Makes `button` read as a button that opens a menu (the "has popup" state), pressed by the
// tools' press and show-menu actions alike.
void opensMenu(QAbstractButton& button);

// Gives `button`, a symbol without words (a star, a "+", a trash can), `tip` as its tool tip and
// as its name, read once: Qt would read a tool tip again as the description.
void nameByToolTip(QAbstractButton& button, const QString& tip);

// Lets `parent` lay modal layers over its content: while a child marked by `markModalLayer` is
// shown, the tools reach that child alone, and the rest of `parent` (the content the layer
// covers) is out of their reading and reach until it goes. Call as `parent` is made, before
// anything asks the tools about it.
void laysModalLayers(QWidget& parent);
// Marks `layer`, a child of a parent given `laysModalLayers`, as such a layer.
void markModalLayer(QWidget& layer);

// Installs `factory` once, however often it is asked: a control with an interface of its own
// calls it from its constructor.
void installOnce(QAccessible::InterfaceFactory factory);

// Keeps `widget`, a decoration such as the logo or an icon, out of what the tools read aloud.
void hide(QWidget& widget);

}  // namespace velmora::accessibility
