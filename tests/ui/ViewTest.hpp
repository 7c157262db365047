// The view tests' fixture: the app model over its test fakes, and the user's side of a view:
// letting the event loop run the queued sync, finding widgets by object name, clicking and
// hovering at their centre, reading what accessibility tools read, and saving screenshots or
// holding them against reference pictures.
#pragma once

#include <QAccessible>
#include <QApplication>
#include <QScrollArea>
#include <QTest>
#include <QWidget>

#include "tests/ui/Artefacts.hpp"
#include "tests/ui/ReferenceImage.hpp"
#include "tests/ui/model/ModelFakes.hpp"
#include "ui/sync/RowBuilder.hpp"
#include "ui/widgets/Fade.hpp"

// Failures print texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace velmora::testing {

// The model's fake preferences, counting the reads of each key and failing the next reads of
// chosen keys (a state that cannot be read now, but can be written).
class ViewBackend : public FakeBackend {
  public:
    using FakeBackend::FakeBackend;
    std::optional<TweakValue> read(const DefaultsKey& key) override {
        ++reads[key.key];
        if (auto failing = failNextReads.find(key.key);
            failing != failNextReads.end() && failing->second > 0) {
            --failing->second;
            throw VelmoraError::unsupportedPreferenceType(key.domain, key.key);
        }
        return FakeBackend::read(key);
    }
    std::map<std::string, int> reads;
    std::map<std::string, int> failNextReads;
};

class ViewTest : public ModelTest {
  protected:
    static constexpr int kLongestFadeMs = 1000;
    // Turns of the event loop a settle gives the rows left for later (a few milliseconds each).
    static constexpr int kMostBuildTurns = 1000;

    // Installed before any model is made.
    std::shared_ptr<ViewBackend> prefs = [this] {
        auto made = std::make_shared<ViewBackend>(journal);
        backend = made;
        return made;
    }();

    // What the event loop does between two user actions: the queued sync, then deferred
    // deletions, then paints.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        // Rows a page left for later are made a few per turn of the event loop.
        for (int turn = 0; turn < kMostBuildTurns && RowBuilder::anyWaiting(); ++turn) {
            QCoreApplication::processEvents();
        }
    }

    // The widget named `name` below `root` that a user can see (pages keep their rows while
    // another page shows): visible on screen, or, while `root` is not shown, visible once it is.
    template <class Widget = QWidget>
    static Widget* find(const QWidget& root, const QString& name) {
        for (Widget* candidate : root.findChildren<Widget*>(name)) {
            if (root.isVisible() ? candidate->isVisible() : candidate->isVisibleTo(&root)) {
                return candidate;
            }
        }
        ADD_FAILURE() << "no " << name.toStdString() << " is shown"
                      << (root.findChild<Widget*>(name) != nullptr ? " (a hidden one exists)" : "");
        return nullptr;
    }
    // The widget named `name` below `root` whether shown or not, to check what is hidden. Never
    // for clicking: a user reaches only what find() finds.
    template <class Widget = QWidget>
    static Widget* findShownOrHidden(const QWidget& root, const QString& name) {
        auto* found = root.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    // A click as a user makes it: at the centre of a visible widget, scrolled into view first
    // when it lies outside the scrolling part around it, that nothing covers there and no modal
    // window shuts off.
    static void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
        ASSERT_NE(widget, nullptr);
        scrollIntoView(*widget);
        ASSERT_NO_FATAL_FAILURE(expectReachable(*widget));
        QTest::mouseClick(widget, button, {}, widget->rect().center());
    }

    static void hover(QWidget* widget) {
        ASSERT_NE(widget, nullptr);
        ASSERT_TRUE(widget->isVisible()) << describe(widget) << " is hidden";
        QTest::mouseMove(widget, widget->rect().center());
        QCoreApplication::processEvents();
    }

    // Role, name and checked state as an accessibility tool reads them: "CheckBox 'Row' on".
    static std::string accessible(QWidget* widget) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (face == nullptr) {
            return "<none>";
        }
        const QAccessible::State state = face->state();
        std::string text =
            roleName(face->role()) + " '" + face->text(QAccessible::Name).toStdString() + "'";
        if (state.checkable) {
            text += state.checked ? " on" : " off";
        }
        if (state.invisible) {
            text += " hidden";
        }
        return text;
    }

    // Shows `widget` as a window of its own on paper, waits until it is on screen.
    static void showOnPaper(QWidget& widget, const QSize& size = {}) {
        widget.setPalette(QApplication::palette());
        widget.setAutoFillBackground(true);
        if (size.isValid()) {
            widget.resize(size);
        }
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        settle();
    }

    // Saves what the user sees once the hover and state fades have ended, and gives it.
    static QImage screenshot(QWidget& widget, const QString& name) {
        settle();
        const auto fading = [&] {
            const QList<Fade*> fades = widget.findChildren<Fade*>();
            return std::any_of(fades.begin(), fades.end(),
                               [](Fade* fade) { return fade->isRunning(); });
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return !fading(); }, kLongestFadeMs));
        const QImage shot = widget.grab().toImage();
        EXPECT_TRUE(shot.save(test::artefactPath(name + QStringLiteral(".png"))))
            << name.toStdString();
        return shot;
    }

    // The screenshot held against its reference picture, within a small tolerance; a failure
    // says where they differ and saves the difference. VELMORA_UPDATE_REFERENCES=1 writes the
    // references instead, after a deliberate change of the look (tests/ui/ReferenceImage.hpp).
    static void expectLooksAsBefore(QWidget& widget, const QString& name) {
        test::ReferenceImage::expectMatches(screenshot(widget, name), name);
    }

  private:
    static std::string describe(const QWidget* widget) {
        if (widget == nullptr) {
            return "nothing";
        }
        const QString name = widget->objectName();
        return std::string(widget->metaObject()->className()) +
               (name.isEmpty() ? std::string() : " '" + name.toStdString() + "'");
    }

    // Scrolls every scrolling part around `widget` until its centre shows, as a user does before
    // clicking it.
    static void scrollIntoView(QWidget& widget) {
        for (QWidget* around = widget.parentWidget(); around != nullptr;
             around = around->parentWidget()) {
            auto* area = qobject_cast<QScrollArea*>(around);
            // Only what scrolls: a control laid over the area (an edge cue, a floating bar)
            // stays where it is.
            if (area == nullptr || area->widget() == nullptr ||
                !area->viewport()->isAncestorOf(&widget)) {
                continue;
            }
            const QPoint centre = widget.mapTo(area->viewport(), widget.rect().center());
            if (!area->viewport()->rect().contains(centre)) {
                area->ensureWidgetVisible(&widget, 0, 0);
            }
        }
    }

    // Fails unless a click at the centre of `widget` would reach it: shown, not blocked by a
    // modal window, and the widget (or one of its children, which pass on what they do not take)
    // is what its window has at that point.
    static void expectReachable(QWidget& widget) {
        ASSERT_TRUE(widget.isVisible()) << describe(&widget) << " is hidden";
        QWidget* window = widget.window();
        if (QWidget* modal = QApplication::activeModalWidget();
            modal != nullptr && modal != window && !modal->isAncestorOf(&widget)) {
            const QWidget* over = modal->parentWidget();
            const bool blocks = modal->windowModality() == Qt::ApplicationModal ||
                                (over != nullptr && over->window() == window);
            ASSERT_FALSE(blocks) << describe(&widget) << " is shut off by " << describe(modal);
        }
        const QPoint centre = widget.mapTo(window, widget.rect().center());
        QWidget* under = window->childAt(centre);
        if (under == nullptr && window->rect().contains(centre)) {
            under = window;
        }
        ASSERT_TRUE(under == &widget || (under != nullptr && widget.isAncestorOf(under)))
            << describe(&widget) << " is covered by " << describe(under) << " at its centre";
    }

    static std::string roleName(QAccessible::Role role) {
        switch (role) {
            case QAccessible::Button:
                return "Button";
            case QAccessible::CheckBox:
                return "CheckBox";
            case QAccessible::StaticText:
                return "StaticText";
            case QAccessible::Slider:
                return "Slider";
            case QAccessible::NoRole:
                return "NoRole";
            default:
                return "Role" + std::to_string(static_cast<int>(role));
        }
    }
};

}  // namespace velmora::testing
