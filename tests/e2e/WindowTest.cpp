// The main window's pages and the scene editor, as a user works them: a power-up switched on in
// Browse and back off on On now, a slider dragged once, and a scene saved from the current setup
// that brings the domain files back after everything was switched off.
#include <sys/inotify.h>
#include <unistd.h>

#include <QTest>

#include "kit/Setup.hpp"
#include "platform/UniqueFd.hpp"
#include "tests/e2e/EndToEnd.hpp"

namespace velmora::e2e {
namespace {

const std::vector<Seek> kHiddenFiles{{"check box", "Show hidden files in Finder"}};
const std::vector<Seek> kFastKeyRepeat{{"check box", "Faster key repeat"}};

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

TEST_F(EndToEnd, APowerUpSwitchedInBrowseIsUndoneOnOnNowAndADraggedSliderWritesOnce) {
    storeOnboardedProfile();
    launch();
    goTo("Browse all");
    click(kHiddenFiles);
    EXPECT_TRUE(waitFor([&] {
        return stored("com.apple.finder", "AppleShowAllFiles") == StoredValue{"bool", "true"};
    }));
    EXPECT_TRUE(waitFor([&] { return checked(kHiddenFiles); })) << "the switch shows it on";
    screenshot(QStringLiteral("browse"));

    goTo("On now");
    EXPECT_TRUE(waitFor([&] { return checked(kHiddenFiles) && !find(kFastKeyRepeat); }))
        << "On now lists what is on, and only that:\n"
        << onScreen();
    screenshot(QStringLiteral("on-now"));
    click(kHiddenFiles);
    EXPECT_TRUE(waitFor([&] { return !stored("com.apple.finder", "AppleShowAllFiles"); }))
        << "switched off, the key is gone again";

    // The Dock's size: one drag across several steps, one value written when it is let go.
    goTo("Browse all");
    const std::vector<Seek> dockSize{{"slider", "Dock size"}};
    click(dockSize);  // brought into view; a click where the knob is leaves the value
    const Accessible slider = shown(dockSize);
    const QRect place = slider.extents();
    const auto range = slider.range();
    ASSERT_TRUE(range.has_value() && range->maximum > range->minimum) << "a slider with a range";
    WriteCounter writes(domainFile("com.apple.dock"));
    const int before = writes.count();
    const double share = (range->current - range->minimum) / (range->maximum - range->minimum);
    const QPoint knob(place.left() + static_cast<int>(share * place.width()), place.center().y());
    constexpr int kDragSteps = 8;
    constexpr int kLateWriteMs = 500;
    x().drag(knob, knob + QPoint(place.width() / 3, 0), kDragSteps);
    EXPECT_TRUE(waitFor([&] { return writes.count() > before; }));
    const std::optional<StoredValue> size = stored("com.apple.dock", "tilesize");
    // Nothing to wait for but time: a second write, were there one, would come within this.
    QTest::qWait(kLateWriteMs);
    EXPECT_EQ(writes.count() - before, 1) << "one write for one release";
    EXPECT_EQ(stored("com.apple.dock", "tilesize"), size);
    EXPECT_NE(size.value_or(StoredValue{}).text, "64") << "the drag moved it off its default";
    EXPECT_GT(shown(dockSize).range().value_or(Accessible::Range{}).current, range->current)
        << "the slider shows the new size";
}

TEST_F(EndToEnd, ASceneOfTheCurrentSetupBringsTheFilesBackAfterEverythingWasSwitchedOff) {
    storeOnboardedProfile();
    // What is on before: two power-ups, as another program or an earlier session left them.
    defaultsWrite("com.apple.finder", "AppleShowAllFiles", "-bool", "true");
    defaultsWrite("NSGlobalDomain", "KeyRepeat", "-int", "2");
    launch();

    click({{"push button", "Build a new scene"}});
    const std::vector<Seek> save{{"push button", "Save scene"}};
    shown(save);
    click({{"", "Start from my current setup"}});
    typeInto({{"text", "Scene name"}}, QStringLiteral("Desk"));
    screenshot(QStringLiteral("editor"));
    click(save);
    const std::vector<Seek> scene{{"push button", "Desk"}};
    ASSERT_TRUE(waitFor([&] { return !find(save) && find(scene); }))
        << "the editor closes and the sidebar lists the scene:\n"
        << onScreen();
    const auto scenes = velmora::Setup::decodeList(appData("velmora_setups").value_or(""));
    ASSERT_TRUE(scenes) << "the scene is stored: " << scenes.error();
    ASSERT_EQ(scenes.value().size(), 1u);
    EXPECT_EQ(scenes.value().front().name, "Desk");

    // Everything off, as On now offers it: each power-up's switch.
    goTo("On now");
    for (const auto& power : {kHiddenFiles, kFastKeyRepeat}) {
        click(power);
        EXPECT_TRUE(waitFor([&] { return !find(power) || !checked(power); }))
            << describe(power) << " shows it off";
    }
    EXPECT_TRUE(waitFor([&] {
        return !stored("com.apple.finder", "AppleShowAllFiles").has_value() &&
               !stored("NSGlobalDomain", "KeyRepeat").has_value();
    }));

    click(scene);
    EXPECT_TRUE(waitFor([&] {
        return stored("com.apple.finder", "AppleShowAllFiles") == StoredValue{"bool", "true"} &&
               stored("NSGlobalDomain", "KeyRepeat") == StoredValue{"integer", "2"};
    })) << "the scene puts back what was on when it was saved";
    EXPECT_TRUE(waitFor([&] { return checked(kHiddenFiles) && checked(kFastKeyRepeat); }))
        << "On now shows both on again:\n"
        << onScreen();
}

}  // namespace
}  // namespace velmora::e2e
