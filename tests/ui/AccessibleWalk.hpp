// A screen reader's reading of a widget tree, held against what the screen shows: the tree is
// walked through QAccessible from the root's interface as a tool walks it over AT-SPI (hidden
// parts are skipped with everything under them), and the texts the view paints are caught while
// the root is grabbed. Each check returns its findings as readable lines, empty when all is well.
#pragma once

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/look/Fonts.hpp"

namespace velmora::testing {

class AccessibleWalk {
  public:
    explicit AccessibleWalk(QWidget& root) : root_(root) {
        visit(QAccessible::queryAccessibleInterface(&root));
    }

    // What a tool reads of `object` if the walk reached it: its name, description and value.
    std::optional<QString> spoken(const QObject* object) const {
        const auto found = reached_.find(object);
        if (found == reached_.end()) {
            return std::nullopt;
        }
        QAccessibleInterface* face = found->second;
        return face->text(QAccessible::Name) + QLatin1Char('\n') +
               face->text(QAccessible::Description) + QLatin1Char('\n') +
               face->text(QAccessible::Value);
    }
    QAccessibleInterface* reached(const QObject* object) const {
        const auto found = reached_.find(object);
        return found == reached_.end() ? nullptr : found->second;
    }

    // Every text painted in the root that no tool can read: the nearest reached widget at or
    // above the one that paints it must carry it in its name, description or value (a line of
    // a wrapped text as part of the whole, an elided one up to its "…").
    std::vector<std::string> unreadTexts() const {
        std::vector<std::pair<QPointer<QWidget>, QString>> drawn;
        DesignFont::watchDrawing([&drawn](const QPainter& painter, const QString& text) {
            drawn.emplace_back(dynamic_cast<QWidget*>(painter.device()), text);
        });
        (void)root_.grab();
        DesignFont::watchDrawing({});
        std::vector<std::string> unread;
        for (const auto& [widget, text] : drawn) {
            if (!widget) {
                continue;
            }
            const QString shown = plain(text);
            if (shown.isEmpty()) {
                continue;
            }
            const QWidget* holder = widget;
            while (holder != nullptr && !reached_.contains(holder)) {
                holder = holder->parentWidget();
            }
            const std::string where = describe(*widget);
            if (holder == nullptr) {
                unread.push_back(where + " paints \"" + shown.toStdString() + "\" out of reach");
            } else if (!plain(*spoken(holder)).contains(shown) &&
                       !(holder != widget && controlUnderSays(*holder, shown))) {
                unread.push_back(where + " paints \"" + shown.toStdString() + "\", read as \"" +
                                 spoken(holder)->toStdString() + "\"");
            }
        }
        return unread;
    }

    // Every control reached that lacks a role, a name or the state it shows.
    std::vector<std::string> incompleteControls() const {
        std::vector<std::string> incomplete;
        for (const auto& [object, face] : reached_) {
            auto* widget = qobject_cast<QWidget*>(const_cast<QObject*>(object));
            if (widget == nullptr || !isControl(*widget)) {
                continue;
            }
            const std::string where = describe(*widget);
            const QAccessible::State state = face->state();
            if (face->role() == QAccessible::NoRole || face->role() == QAccessible::Client) {
                incomplete.push_back(where + " has no role");
            }
            if (face->text(QAccessible::Name).trimmed().isEmpty()) {
                incomplete.push_back(where + " has no name");
            }
            if (state.disabled == widget->isEnabled()) {
                incomplete.push_back(where + " hides whether it is enabled");
            }
            if (auto* button = qobject_cast<QAbstractButton*>(widget);
                button != nullptr && button->isCheckable() &&
                (!state.checkable || state.checked != button->isChecked())) {
                incomplete.push_back(where + " hides whether it is on");
            }
            if (face->role() == QAccessible::PageTab && !state.selectable) {
                incomplete.push_back(where + " hides whether it is the chosen tab");
            }
        }
        return incomplete;
    }

    // Every text a tool reads twice: a description that repeats the name, or a text read again
    // inside a control whose name or description already says it.
    std::vector<std::string> repeatedTexts() const {
        std::vector<std::string> repeated;
        for (const auto& [object, face] : reached_) {
            const auto* widget = qobject_cast<const QWidget*>(object);
            if (widget == nullptr) {
                continue;
            }
            const QString name = face->text(QAccessible::Name);
            if (!name.isEmpty() && face->text(QAccessible::Description) == name) {
                repeated.push_back(describe(*widget) + " reads \"" + name.toStdString() +
                                   "\" as its name and its description");
            }
            if (face->role() != QAccessible::StaticText || name.isEmpty()) {
                continue;
            }
            for (const QWidget* above = widget->parentWidget(); above != nullptr;
                 above = above->parentWidget()) {
                QAccessibleInterface* control = reached(above);
                if (control == nullptr ||
                    (!isControl(*above) && control->role() != QAccessible::SpinBox)) {
                    continue;
                }
                const QString said = control->text(QAccessible::Name) + QLatin1Char('\n') +
                                     control->text(QAccessible::Description);
                if (said.contains(name)) {
                    repeated.push_back(describe(*widget) + " reads \"" + name.toStdString() +
                                       "\" again inside " + describe(*above));
                }
            }
        }
        return repeated;
    }

    // Every text read beside a control of its own row that the control reads already: a title
    // read as a label and again as the switch's name, a value read as a label and again as the
    // slider's value.
    std::vector<std::string> textsReadBesideTheirControl() const {
        std::vector<std::string> repeated;
        for (const auto& [object, face] : reached_) {
            const auto* widget = qobject_cast<const QWidget*>(object);
            const QString text = face->text(QAccessible::Name);
            if (widget == nullptr || face->role() != QAccessible::StaticText || text.isEmpty() ||
                widget->parentWidget() == nullptr) {
                continue;
            }
            for (const auto& [other, control] : reached_) {
                auto* beside = qobject_cast<QWidget*>(const_cast<QObject*>(other));
                if (beside == nullptr || !isControl(*beside) ||
                    !widget->parentWidget()->isAncestorOf(beside)) {
                    continue;
                }
                for (const QAccessible::Text part :
                     {QAccessible::Name, QAccessible::Description, QAccessible::Value}) {
                    if (control->text(part) == text) {
                        repeated.push_back(describe(*widget) + " reads \"" + text.toStdString() +
                                           "\", which " + describe(*beside) + " reads too");
                    }
                }
            }
        }
        return repeated;
    }

    // Every part reached that a tool can say nothing of: no role, no name and nothing under it,
    // such as a decoration left unhidden.
    std::vector<std::string> emptyParts() const {
        std::vector<std::string> empty;
        for (const auto& [object, face] : reached_) {
            const auto* widget = qobject_cast<const QWidget*>(object);
            const bool saysNothing =
                (face->role() == QAccessible::Client || face->role() == QAccessible::NoRole) &&
                face->text(QAccessible::Name).isEmpty() && face->childCount() == 0;
            if (widget != nullptr && saysNothing) {
                empty.push_back(describe(*widget) + " says nothing");
            }
        }
        return empty;
    }

    // The widgets reached under `root` (itself included) that read as `role`.
    std::vector<const QWidget*> withRole(const QWidget& root, QAccessible::Role role) const {
        std::vector<const QWidget*> found;
        for (const auto& [object, face] : reached_) {
            const auto* widget = qobject_cast<const QWidget*>(object);
            if (widget != nullptr && face->role() == role &&
                (widget == &root || root.isAncestorOf(widget))) {
                found.push_back(widget);
            }
        }
        return found;
    }

    std::size_t size() const { return reached_.size(); }

  private:
    static bool isControl(const QWidget& widget) {
        return qobject_cast<const QAbstractButton*>(&widget) != nullptr ||
               qobject_cast<const QLineEdit*>(&widget) != nullptr ||
               qobject_cast<const QAbstractSlider*>(&widget) != nullptr ||
               qobject_cast<const QAbstractSpinBox*>(&widget) != nullptr;
    }
    // Whether a control reached under `holder` reads `shown`: a text a row paints beside its
    // control, out of the reading itself, is read there.
    bool controlUnderSays(const QWidget& holder, const QString& shown) const {
        for (const auto& [object, face] : reached_) {
            auto* widget = qobject_cast<QWidget*>(const_cast<QObject*>(object));
            if (widget != nullptr && isControl(*widget) && holder.isAncestorOf(widget) &&
                plain(*spoken(widget)).contains(shown)) {
                return true;
            }
        }
        return false;
    }

    // Whitespace folded and an ellipsis taken off, so a line of a wrapped or elided text is
    // found in the whole.
    static QString plain(const QString& text) {
        QString folded = text.simplified();
        if (folded.endsWith(QChar(0x2026))) {
            folded.chop(1);
        }
        return folded.trimmed();
    }
    static std::string describe(const QWidget& widget) {
        return std::string(widget.metaObject()->className()) + ' ' +
               (widget.objectName().isEmpty() ? std::string("(unnamed)")
                                              : widget.objectName().toStdString());
    }

    void visit(QAccessibleInterface* face) {
        if (face == nullptr || face->state().invisible || reached_.contains(face->object())) {
            return;
        }
        reached_.emplace(face->object(), face);
        for (int index = 0; index < face->childCount(); ++index) {
            visit(face->child(index));
        }
    }

    QWidget& root_;
    std::map<const QObject*, QAccessibleInterface*> reached_;
};

}  // namespace velmora::testing
