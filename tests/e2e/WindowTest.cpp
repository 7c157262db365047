// The main window's pages and the scene editor, as a user works them: a power-up switched on in
// Browse and back off on On now, a slider dragged once, and a scene saved from the current setup
// that brings the domain files back after everything was switched off.
#include <sys/inotify.h>
#include <unistd.h>

#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>

#include "platform/UniqueFd.hpp"
#include "tests/e2e/EndToEnd.hpp"
#include "ui/model/AppModel.hpp"

namespace velmora::e2e {
namespace {

// Counts the replacements of one domain file (each write renames a finished file over it), from
// its making on.
class WriteCounter {
  public:
    WriteCounter(const fs::path& domainFile)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(domainFile.filename()) {
        fs::create_directories(domainFile.parent_path());
        ::inotify_add_watch(fd_.get(), domainFile.parent_path().c_str(), IN_MOVED_TO);
    }
    int count() {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(fd_.get(), buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                writes_ += event->len > 0 && name_ == event->name ? 1 : 0;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return writes_;
    }

  private:
    UniqueFd fd_;
    std::string name_;
    int writes_ = 0;
};

QRect knobOf(QSlider& slider) {
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.upsideDown = slider.invertedAppearance();
    option.subControls = QStyle::SC_SliderHandle | QStyle::SC_SliderGroove;
    return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                          &slider);
}

TEST_F(EndToEnd, APowerUpSwitchedInBrowseIsUndoneOnOnNowAndADraggedSliderWritesOnce) {
    storeOnboardedProfile();
    launch();
    click(QStringLiteral("nav.browse"));
    click(QStringLiteral("switch.dev-show-hidden-files"));
    EXPECT_TRUE(waitFor([&] {
        return stored("com.apple.finder", "AppleShowAllFiles") == StoredValue{"bool", "true"};
    }));
    screenshot(QStringLiteral("browse"));

    click(QStringLiteral("nav.active"));
    ASSERT_NE(shown(QStringLiteral("page.active")), nullptr);
    screenshot(QStringLiteral("on-now"));
    // The only visible switch of that name now: Browse is hidden behind On now.
    click(QStringLiteral("switch.dev-show-hidden-files"));
    EXPECT_TRUE(waitFor([&] { return !stored("com.apple.finder", "AppleShowAllFiles"); }))
        << "switched off, the key is gone again";

    // The Dock's size: one drag across several steps, one value written when it is let go.
    click(QStringLiteral("nav.browse"));
    auto* slider = qobject_cast<QSlider*>(shown(QStringLiteral("slider.slider-dock-size")));
    ASSERT_NE(slider, nullptr);
    scrollIntoView(slider);
    WriteCounter writes(domainFile("com.apple.dock"));
    const QPoint knob = slider->mapToGlobal(knobOf(*slider).center());
    constexpr int kDragSteps = 8;
    constexpr int kLateWriteMs = 500;
    x().drag(knob, knob + QPoint(slider->width() / 3, 0), kDragSteps);
    EXPECT_TRUE(waitFor([&] { return stored("com.apple.dock", "tilesize").has_value(); }));
    const std::optional<StoredValue> size = stored("com.apple.dock", "tilesize");
    EXPECT_TRUE(waitFor([&] { return !slider->isSliderDown(); }));
    // Nothing to wait for but time: a second write, were there one, would come within this.
    QTest::qWait(kLateWriteMs);
    EXPECT_EQ(writes.count(), 1) << "one write for one release";
    EXPECT_EQ(stored("com.apple.dock", "tilesize"), size);
    EXPECT_NE(size.value_or(StoredValue{}).text, "64") << "the drag moved it off its default";
}

TEST_F(EndToEnd, ASceneOfTheCurrentSetupBringsTheFilesBackAfterEverythingWasSwitchedOff) {
    storeOnboardedProfile();
    // What is on before: two power-ups, as another program or an earlier session left them.
    defaultsWrite("com.apple.finder", "AppleShowAllFiles", "-bool", "true");
    defaultsWrite("NSGlobalDomain", "KeyRepeat", "-int", "2");
    launch();

    click(QStringLiteral("scenes.add"));
    QWidget* editor = shown(QStringLiteral("editor"));
    ASSERT_NE(editor, nullptr);
    click(QStringLiteral("editor.fill"));
    typeInto(QStringLiteral("editor.name"), QStringLiteral("Desk"));
    screenshot(QStringLiteral("editor"));
    click(QStringLiteral("editor.save"));
    ASSERT_TRUE(waitFor([&] { return !editor->isVisible() && model().setups().size() == 1; }));
    const velmora::Setup scene = model().setups().front();
    EXPECT_EQ(scene.name, "Desk");
    EXPECT_TRUE(appData("velmora_setups").has_value()) << "the scene is stored";

    // Everything off, as On now offers it: each power-up's switch.
    click(QStringLiteral("nav.active"));
    ASSERT_NE(shown(QStringLiteral("page.active")), nullptr);
    for (const char* id : {"dev-show-hidden-files", "dev-fast-key-repeat"}) {
        click(QStringLiteral("switch.") + QLatin1String(id));
        EXPECT_TRUE(waitFor([&] {
            return !model().engine().isEnabled(*model().catalog().tweak(id));
        })) << id;
    }
    EXPECT_FALSE(stored("com.apple.finder", "AppleShowAllFiles").has_value());
    EXPECT_FALSE(stored("NSGlobalDomain", "KeyRepeat").has_value());

    click(QStringLiteral("scene.") + QString::fromStdString(scene.id));
    EXPECT_TRUE(waitFor([&] {
        return stored("com.apple.finder", "AppleShowAllFiles") == StoredValue{"bool", "true"} &&
               stored("NSGlobalDomain", "KeyRepeat") == StoredValue{"integer", "2"};
    })) << "the scene puts back what was on when it was saved";
    EXPECT_EQ(model().lastError(), std::nullopt);
}

}  // namespace
}  // namespace velmora::e2e
