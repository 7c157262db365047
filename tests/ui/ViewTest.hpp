// The view tests' fixture: the app model over its test fakes, and the user's side of a view:
// letting the event loop run the queued sync, finding widgets by object name, clicking and
// hovering at their centre, reading what accessibility tools read, and saving screenshots.
#pragma once

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include "tests/ui/Artefacts.hpp"
#include "tests/ui/model/ModelFakes.hpp"
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
    }

    template <class Widget = QWidget>
    static Widget* find(const QWidget& root, const QString& name) {
        auto* found = root.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    static void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, button, {}, widget->rect().center());
    }

    static void hover(QWidget* widget) {
        ASSERT_NE(widget, nullptr);
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

    // Saves what the user sees once the hover and state fades have ended.
    static void screenshot(QWidget& widget, const QString& name) {
        settle();
        const auto fading = [&] {
            const QList<Fade*> fades = widget.findChildren<Fade*>();
            return std::any_of(fades.begin(), fades.end(),
                               [](Fade* fade) { return fade->isRunning(); });
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return !fading(); }, kLongestFadeMs));
        EXPECT_TRUE(widget.grab().save(test::artefactPath(name + QStringLiteral(".png"))))
            << name.toStdString();
    }

  private:
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
