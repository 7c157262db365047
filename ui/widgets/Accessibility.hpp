// What painted widgets tell accessibility tools. A widget that paints itself is, to those tools, a
// nameless "client" area unless it says what it stands for, as the native controls of the design
// did. Buttons (QAbstractButton subclasses) need only a name: Qt reports them as buttons, and as
// checkable with their on/off state when checkable. Other painted widgets declare their role here;
// decorations are hidden.
#pragma once

#include <QAccessible>
#include <QString>
#include <optional>

class QAbstractButton;
class QWidget;

namespace velmora::accessibility {

// Held by a widget made by the hundred (a row's labels and symbol) that keeps its own role and
// whether it is out of the reading, which `describe` and `hide` then set on it: as dynamic
// properties they gave every such widget a block of extra object data of its own.
class OwnReading {
  public:
    OwnReading() = default;
    OwnReading(const OwnReading&) = delete;
    OwnReading& operator=(const OwnReading&) = delete;

  protected:
    ~OwnReading() = default;

  private:
    friend struct Reading;
    std::optional<QAccessible::Role> role_;
    bool hidden_ = false;
};

// Gives `widget` the role `role` and the name `name` for accessibility tools; call again with a
// new name when its text changes.
void describe(QWidget& widget, QAccessible::Role role, const QString& name);

// Makes the tools' actions on `button`, a button that paints itself, click it as a user does: a
// button whose state follows its owner (a switch, a sidebar row, a chip) is flipped by the owner
// after the click, so a tool's "toggle" that only flipped the look would change nothing. The
// button reads as a check box while it is checkable, a plain button otherwise, or with the role
// `describe` gave it.
void clickedByTools(QAbstractButton& button);

// Says whether `widget`, read as one of a set (a sidebar tab), is the chosen one, and tells the
// tools when that changes.
void setSelected(QWidget& widget, bool selected);

// Says whether `widget`, a button that shows or hides a part below it (a disclosure), has it
// shown, and tells the tools when that changes.
void setExpanded(QWidget& widget, bool expanded);

// Gives `button`, which presses as usual and also has a context menu (a scene's row), the tools'
// show-menu action: it opens that menu as the keyboard's menu key does.
void hasContextMenu(QAbstractButton& button);

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

// Makes `window`, a top-level widget, read as a window named `name`: Qt reads a plain widget
// window as a nameless part of the desktop, and the tray's panel has no title to name it.
void nameWindow(QWidget& window, const QString& name);

// Makes `control` read the texts shown beside it in its row, once: `title` as its name and
// `detail` (when not empty) as its description. The labels that show them are taken out of the
// reading with `hide`; call again when the texts change.
void readsRow(QWidget& control, const QString& title, const QString& detail);

// Keeps `widget` out of what the tools read aloud: a decoration such as the logo or an icon, or
// a text that the control beside it reads (readsRow).
void hide(QWidget& widget);

}  // namespace velmora::accessibility
