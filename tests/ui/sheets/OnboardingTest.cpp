// The questionnaire as a user goes through it: what each step shows, what a click on a tile or a
// card chooses, what Done and Skip store (and, once the questionnaire was completed, what Skip
// leaves alone), that nothing else closes it, and how each step looks.
#include <QTest>
#include <QTimer>

#include "tests/ui/ViewTest.hpp"
#include "ui/sheets/OnboardingDialog.hpp"
#include "ui/sheets/OnboardingTile.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora::testing {
namespace {

using enum UserField;
using enum UserGoal;

class OnboardingTest : public ViewTest {
  protected:
    std::unique_ptr<AppModel> model;
    std::unique_ptr<OnboardingDialog> sheet;
    int completions = 0;

    void open() {
        if (!model) {
            model = make(Catalog::velmora());
        }
        sheet = std::make_unique<OnboardingDialog>(*model, [this] { ++completions; });
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        settle();
    }

    QString title() const { return find<TextLabel>(*sheet, onboardingNames::title)->text(); }
    QString counter() const { return find<TextLabel>(*sheet, onboardingNames::counter)->text(); }
    // Shown or hidden (Back is hidden on the first step); press() clicks only a shown one.
    TextButton* button(const char* name) const {
        return findShownOrHidden<TextButton>(*sheet, QString::fromLatin1(name));
    }
    void press(const char* name) {
        click(button(name));
        settle();
    }
    QAbstractButton* choice(const QString& name) const {
        return find<QAbstractButton>(*sheet, name);
    }
    void choose(const QString& name) {
        click(choice(name));
        settle();
    }
    // The shown tiles' titles, row by row as they stand on screen, the chosen ones marked "*".
    std::vector<std::string> shownTiles() const {
        std::vector<OnboardingTile*> tiles;
        for (OnboardingTile* tile : sheet->findChildren<OnboardingTile*>()) {
            if (tile->isVisibleTo(sheet.get())) {
                tiles.push_back(tile);
            }
        }
        std::ranges::sort(tiles, {}, [this](const QWidget* tile) {
            const QPoint at = tile->mapTo(sheet.get(), QPoint());
            return std::pair(at.y(), at.x());
        });
        std::vector<std::string> titles;
        for (const OnboardingTile* tile : tiles) {
            titles.push_back(tile->title().toStdString() + (tile->isOn() ? "*" : ""));
        }
        return titles;
    }
    bool stored() { return store->data(AppModel::Keys::userProfile).has_value(); }
};

TEST_F(OnboardingTest, AFirstRunGoesThroughTheStepsKeepingChoicesAndDoneStoresThem) {
    open();
    EXPECT_EQ(title(), "What do you do most?");
    EXPECT_EQ(find<TextLabel>(*sheet, onboardingNames::subtitle)->text(),
              "Choose any that fit \u2014 we'll tune recommendations to you.");
    EXPECT_THAT(shownTiles(), ElementsAre("Developer", "Designer", "Writer", "Photo & Video",
                                          "Student", "Business", "Keep it clean"));
    EXPECT_FALSE(button(onboardingNames::back)->isVisible());
    EXPECT_TRUE(button(onboardingNames::skip)->isVisible());
    EXPECT_EQ(counter(), "1 / 3");
    EXPECT_EQ(button(onboardingNames::next)->label(), "Continue");
    // The ampersand is painted, not taken for a keyboard mnemonic.
    EXPECT_EQ(accessible(choice(onboardingNames::field("photoVideo"))),
              "CheckBox 'Photo & Video' off");

    choose(onboardingNames::field("writer"));
    choose(onboardingNames::field("writer"));
    choose(onboardingNames::field("developer"));
    choose(onboardingNames::field("designer"));
    EXPECT_THAT(shownTiles(), ElementsAre("Developer*", "Designer*", "Writer", "Photo & Video",
                                          "Student", "Business", "Keep it clean"));
    EXPECT_EQ(accessible(choice(onboardingNames::field("developer"))), "CheckBox 'Developer' on");

    press(onboardingNames::next);
    EXPECT_EQ(title(), "What matters most?");
    EXPECT_EQ(counter(), "2 / 3");
    EXPECT_TRUE(button(onboardingNames::back)->isVisible());
    EXPECT_EQ(button(onboardingNames::next)->label(), "Continue");
    EXPECT_THAT(shownTiles(),
                ElementsAre("Speed", "Focus", "Privacy", "Capture", "Battery", "Keyboard"));
    choose(onboardingNames::goal("focus"));
    press(onboardingNames::back);
    EXPECT_EQ(title(), "What do you do most?");
    EXPECT_EQ(shownTiles().front(), "Developer*");
    EXPECT_EQ(shownTiles().at(1), "Designer*");
    press(onboardingNames::next);
    EXPECT_EQ(shownTiles().at(1), "Focus*");

    press(onboardingNames::next);
    EXPECT_EQ(title(), "Laptop or desktop?");
    EXPECT_EQ(counter(), "3 / 3");
    EXPECT_EQ(button(onboardingNames::next)->label(), "Done");
    auto* laptop = qobject_cast<DeviceCard*>(choice(onboardingNames::device("laptop")));
    auto* desktop = qobject_cast<DeviceCard*>(choice(onboardingNames::device("desktop")));
    ASSERT_TRUE(laptop && desktop);
    EXPECT_TRUE(laptop->isOn());
    choose(onboardingNames::device("desktop"));
    choose(onboardingNames::device("desktop"));
    EXPECT_TRUE(desktop->isOn()) << "clicking the chosen card keeps it chosen";
    EXPECT_FALSE(laptop->isOn());
    EXPECT_FALSE(stored()) << "nothing is stored before Done";

    press(onboardingNames::next);
    EXPECT_EQ(model->profile(),
              (UserProfile{{developer, designer}, {focus}, DeviceKind::desktop, true}));
    EXPECT_TRUE(stored());
    EXPECT_EQ(completions, 1);
}

TEST_F(OnboardingTest, AChosenTileOrCardShowsTheFocusAsClearlyAsAnUnchosenOne) {
    open();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    // What the sheet shows of `button` without and with the focus.
    const auto looks = [](QAbstractButton& button) {
        button.clearFocus();
        QImage without = button.grab().toImage();
        button.setFocus(Qt::TabFocusReason);
        return std::pair(without, button.grab().toImage());
    };
    // The pixels that plainly differ between two pictures of one size: a ring that only darkens
    // an outline of its own colour does not count.
    const auto differing = [](const QImage& a, const QImage& b) {
        constexpr int kPlain = 56;
        int count = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QColor one = a.pixelColor(x, y);
                const QColor two = b.pixelColor(x, y);
                const int most =
                    std::max({std::abs(one.red() - two.red()), std::abs(one.green() - two.green()),
                              std::abs(one.blue() - two.blue())});
                count += most > kPlain ? 1 : 0;
            }
        }
        return count;
    };
    QAbstractButton* tile = choice(onboardingNames::field("writer"));
    const auto [restingOff, focusedOff] = looks(*tile);
    choose(onboardingNames::field("writer"));
    ASSERT_TRUE(tile->isChecked());
    const auto [restingOn, focusedOn] = looks(*tile);
    // The ring of an unchosen tile changes its whole outline; a chosen one's should show as much.
    const int shownOff = differing(restingOff, focusedOff);
    ASSERT_GT(shownOff, 0);
    EXPECT_GT(differing(restingOn, focusedOn), shownOff / 2) << "the chosen tile's ring shows";

    press(onboardingNames::next);
    press(onboardingNames::next);
    QAbstractButton* laptop = choice(onboardingNames::device("laptop"));
    ASSERT_TRUE(laptop->isChecked());
    const auto [restingCard, focusedCard] = looks(*laptop);
    EXPECT_GT(differing(restingCard, focusedCard), shownOff / 2) << "the chosen card's ring shows";
}

TEST_F(OnboardingTest, SkipOnAFirstRunStoresACompletedProfileWithoutTheChosenFieldsAndGoals) {
    open();
    choose(onboardingNames::field("student"));
    press(onboardingNames::next);
    choose(onboardingNames::goal("battery"));
    press(onboardingNames::skip);
    EXPECT_EQ(model->profile(), (UserProfile{{}, {}, DeviceKind::laptop, true}));
    EXPECT_TRUE(stored());
    EXPECT_EQ(completions, 1);

    // Not completed yet, on the last step with Desktop chosen: the Mac is kept.
    model->setProfile(UserProfile{});
    completions = 0;
    open();
    choose(onboardingNames::field("student"));
    press(onboardingNames::next);
    press(onboardingNames::next);
    choose(onboardingNames::device("desktop"));
    press(onboardingNames::skip);
    EXPECT_EQ(model->profile(), (UserProfile{{}, {}, DeviceKind::desktop, true}));
    EXPECT_EQ(completions, 1);
}

TEST_F(OnboardingTest, EscapeAndACloseRequestLeaveTheSheetOpenAndStoreNothing) {
    open();
    choose(onboardingNames::field("developer"));
    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(sheet->close());
    settle();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(completions, 0);
    EXPECT_FALSE(stored());
    EXPECT_FALSE(model->profile().completedOnboarding);
    EXPECT_EQ(shownTiles().front(), "Developer*") << "the answers so far stay";
}

TEST_F(OnboardingTest, TheSheetDoesNotHoldUpTheApplicationsQuit) {
    open();
    // Quit asks every window to close first; a refusal would cancel it, and exec() would run on
    // until the guard ends it with another code.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(std::chrono::seconds(5));
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(completions, 0) << "closing for the quit is not completing";

    // After the quit, the sheet refuses the user's close requests again.
    open();
    EXPECT_FALSE(sheet->close());
}

TEST_F(OnboardingTest, UpdatingStartsFromTheStoredAnswersAndSkipKeepsThem) {
    const std::string answers =
        R"({"fields":["developer","writer"],"goals":["privacy"],"device":"desktop",)"
        R"("completedOnboarding":true})";
    putData(AppModel::Keys::userProfile, answers);
    model = make(Catalog::velmora());
    const UserProfile before = model->profile();
    open();
    EXPECT_THAT(shownTiles(), ElementsAre("Developer*", "Designer", "Writer*", "Photo & Video",
                                          "Student", "Business", "Keep it clean"));
    choose(onboardingNames::field("developer"));
    press(onboardingNames::next);
    EXPECT_EQ(shownTiles().at(2), "Privacy*");
    press(onboardingNames::next);
    EXPECT_TRUE(qobject_cast<DeviceCard*>(choice(onboardingNames::device("desktop")))->isOn());
    choose(onboardingNames::device("laptop"));
    press(onboardingNames::skip);
    EXPECT_EQ(model->profile(), before);
    EXPECT_EQ(storedData(AppModel::Keys::userProfile), answers);
    EXPECT_EQ(completions, 1);

    // Done, on the other hand, stores the changed answers.
    open();
    choose(onboardingNames::field("developer"));
    press(onboardingNames::next);
    press(onboardingNames::next);
    choose(onboardingNames::device("laptop"));
    press(onboardingNames::next);
    EXPECT_EQ(model->profile(), (UserProfile{{writer}, {privacy}, DeviceKind::laptop, true}));
}

TEST_F(OnboardingTest, ATileKeepsItsBlurbToOneLineAndWrapsOnlyALongTitle) {
    const QString longBlurb =
        QStringLiteral("Terminal, speed, control, and a great deal more besides");
    OnboardingTile tile("camera", QStringLiteral("Photo & Video"), longBlurb);
    OnboardingTile longTitle("camera", QStringLiteral("Photo, Video, Audio & Every Other Medium"),
                             QStringLiteral("Capture"));
    EXPECT_EQ(tile.heightForWidth(180), tile.heightForWidth(600));
    EXPECT_GT(longTitle.heightForWidth(180), longTitle.heightForWidth(600));
    EXPECT_EQ(tile.text(), QString()) << "no button text, so no mnemonic";
}

// Each step held against its reference picture (VELMORA_UPDATE_REFERENCES=1 writes new ones).
TEST_F(OnboardingTest, Screenshots) {
    open();
    choose(onboardingNames::field("developer"));
    choose(onboardingNames::field("photoVideo"));
    expectLooksAsBefore(*sheet, QStringLiteral("onboarding-1-fields"));
    press(onboardingNames::next);
    choose(onboardingNames::goal("speed"));
    expectLooksAsBefore(*sheet, QStringLiteral("onboarding-2-goals"));
    press(onboardingNames::next);
    expectLooksAsBefore(*sheet, QStringLiteral("onboarding-3-device"));
}

}  // namespace
}  // namespace velmora::testing
