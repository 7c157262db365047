// Browse and On now as a user meets them: what the Advanced switch and each chip show, the chip
// strip keeping its offset, a tweak switched on in Browse and off again on On now, and a slider
// on Browse writing once per release and never from the page scrolling over it.
#include <QChildEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QWheelEvent>

#include "tests/ui/ApplicationWatch.hpp"
#include "tests/ui/WidgetCount.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/DoubleSlider.hpp"
#include "ui/widgets/LabelledSwitch.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/widgets/WheelStrip.hpp"
#include "ui/window/BrowsePage.hpp"
#include "ui/window/FilterChip.hpp"
#include "ui/window/OnNowPage.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora {

// Failures name the filter instead of dumping its bytes.
inline void PrintTo(const BrowseFilter& filter, std::ostream* out) {
    *out << browseNames::chip(filter).toStdString();
}

}  // namespace velmora

namespace velmora::testing {
namespace {

// The state a switch has each time it comes on screen.
class ShownStates : public QObject {
  public:
    std::vector<bool> states;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            states.push_back(static_cast<Switch*>(watched)->isOn());
        }
        return false;
    }
};

class BrowseOnNow : public WindowTest {
  protected:
    void openBrowse() {
        completeOnboarding();
        open(Catalog::velmora());
        clickRow("browse");
        settleLayout();
    }
    BrowsePage* browse() const { return page<BrowsePage>(); }
    // Shown or hidden, to read which sections show.
    template <class Card>
    Card* card(const QString& name) const {
        return findShownOrHidden<Card>(*window->router().currentPage(), name);
    }
    // The section labels that show, top to bottom.
    std::vector<std::string> labels() const {
        std::vector<std::pair<int, std::string>> shown;
        const QWidget* page = window->router().currentPage();
        for (const TextLabel* label : page->findChildren<TextLabel*>("sectionLabel")) {
            if (label->isVisibleTo(page)) {
                shown.emplace_back(label->mapTo(page, QPoint()).y(), label->text().toStdString());
            }
        }
        std::sort(shown.begin(), shown.end());
        std::vector<std::string> texts;
        for (const auto& [y, text] : shown) {
            texts.push_back(text);
        }
        return texts;
    }
    void chip(const QString& name) {
        click(find(*browse(), name));
        settle();
    }
    static std::string name(const QString& objectName) { return objectName.toStdString(); }
};

TEST_F(BrowseOnNow, TheAdvancedSwitchShowsAdvancedPowerSettingsSafariAndTrackpadSliders) {
    openBrowse();
    auto* advanced = find<LabelledSwitch>(*browse(), browseNames::advanced);
    EXPECT_FALSE(advanced->isOn());
    EXPECT_EQ(accessible(advanced), "CheckBox 'Advanced' off");
    EXPECT_THAT(rowIDs(*card<PowerListCard>(browseNames::powerList)),
                ElementsAre("power-disable-powernap", "power-low-power-mode"));
    EXPECT_FALSE(card<QWidget>(browseNames::tweaks(TweakCategory::safari))->isVisible());
    EXPECT_FALSE(card<QWidget>(browseNames::label(TweakCategory::safari))->isVisible());
    EXPECT_TRUE(
        card<QWidget>(browseNames::chip(BrowseFilter::of(TweakCategory::safari)))->isVisible())
        << "its chip stays";
    EXPECT_TRUE(card<QWidget>(browseNames::tweaks(TweakCategory::trackpad))->isVisible());
    EXPECT_FALSE(card<QWidget>(browseNames::sliders(TweakCategory::trackpad))->isVisible());
    // Labels as written, in catalog order; no Safari while all of it is advanced.
    const std::vector<std::string> simpleLabels = labels();
    EXPECT_THAT(std::vector<std::string>(simpleLabels.begin(), simpleLabels.begin() + 2),
                ElementsAre("Power", "Display"));
    EXPECT_THAT(simpleLabels, ::testing::Contains("Mission Control"));
    EXPECT_THAT(simpleLabels, ::testing::Not(::testing::Contains("Safari")));

    click(advanced);
    settle();
    EXPECT_TRUE(state().showAdvanced);
    EXPECT_TRUE(advanced->isOn());
    EXPECT_EQ(rowIDs(*card<PowerListCard>(browseNames::powerList)).size(), 5U);
    EXPECT_EQ(rowIDs(*card<TweakListCard>(browseNames::tweaks(TweakCategory::safari))).size(), 4U);
    EXPECT_TRUE(card<QWidget>(browseNames::label(TweakCategory::safari))->isVisible());
    EXPECT_THAT(rowIDs(*card<SliderListCard>(browseNames::sliders(TweakCategory::trackpad))),
                ElementsAre("slider-mouse-tracking", "slider-trackpad-tracking"));
    std::vector<std::string> expected = {"Power", "Display"};
    for (const TweakCategory category : model->catalog().categories()) {
        expected.push_back(displayName(category));
    }
    EXPECT_EQ(labels(), expected) << "every category shows with Advanced on";
    click(advanced);
    settle();
    EXPECT_FALSE(state().showAdvanced);
    EXPECT_EQ(labels(), simpleLabels);
}

TEST_F(BrowseOnNow, EachChipShowsOnlyItsSectionWithoutALabelAndAnAllAdvancedChipShowsNothing) {
    openBrowse();
    EXPECT_TRUE(find<FilterChip>(*browse(), browseNames::chip(BrowseFilter::all()))->isSelected());
    chip(browseNames::chip(BrowseFilter::display()));
    EXPECT_EQ(state().browseFilter, BrowseFilter::display());
    EXPECT_THAT(shownBlocks(*browse()), ElementsAre(browseNames::chips, browseNames::displayCard));
    EXPECT_TRUE(labels().empty());
    std::vector<std::string> selected;
    for (const FilterChip* filter : browse()->chips()) {
        if (filter->isSelected()) {
            selected.push_back(filter->objectName().toStdString());
        }
    }
    EXPECT_THAT(selected, ElementsAre(name(browseNames::chip(BrowseFilter::display()))));

    chip(browseNames::chip(BrowseFilter::power()));
    EXPECT_THAT(shownBlocks(*browse()),
                ElementsAre(browseNames::chips, browseNames::powerCard, browseNames::powerList));
    chip(browseNames::chip(BrowseFilter::of(TweakCategory::dock)));
    EXPECT_THAT(shownBlocks(*browse()),
                ElementsAre(browseNames::chips, name(browseNames::tweaks(TweakCategory::dock)),
                            name(browseNames::sliders(TweakCategory::dock))));
    // Safari is all advanced: with the switch off its chip shows an empty page, and no message.
    chip(browseNames::chip(BrowseFilter::of(TweakCategory::safari)));
    EXPECT_EQ(state().browseFilter, BrowseFilter::of(TweakCategory::safari));
    EXPECT_THAT(shownBlocks(*browse()), ElementsAre(browseNames::chips));
    EXPECT_EQ(state().selection, NavItem::browse()) << "a chip changes only the filter";
}

// A catalog with tweaks of the power category: two chips say "Power", yet each chooses its own
// section, without its label: the category's chip that category alone, the fixed chip the power
// settings alone. Sliders of categories no tweak has never show.
TEST_F(BrowseOnNow, ThePowerCategoryShareItsChipTitleWithThePowerSettings) {
    Tweak powerTweak = tweak("t-power");
    powerTweak.category = TweakCategory::power;
    completeOnboarding();
    open(Catalog({tweak("t-a"), powerTweak}, {}));
    clickRow("browse");
    std::vector<std::string> chipLabels;
    for (const FilterChip* filter : browse()->chips()) {
        chipLabels.push_back(filter->label().toStdString());
    }
    EXPECT_THAT(chipLabels, ElementsAre("All", "Power", "Display", "System", "Power"));
    EXPECT_THAT(labels(), ElementsAre("Power", "Display", "System", "Power"));
    for (const QWidget* sliders : browse()->findChildren<QWidget*>(
             QRegularExpression(QStringLiteral("^browse\\.sliders\\.")))) {
        EXPECT_FALSE(sliders->isVisibleTo(browse())) << sliders->objectName().toStdString();
    }

    const BrowseFilter powerCategory = BrowseFilter::of(TweakCategory::power);
    auto* categoryChip = find<FilterChip>(*browse(), browseNames::chip(powerCategory));
    auto* powerChip = find<FilterChip>(*browse(), browseNames::chip(BrowseFilter::power()));
    chip(browseNames::chip(powerCategory));
    EXPECT_EQ(state().browseFilter, powerCategory);
    EXPECT_FALSE(powerChip->isSelected());
    EXPECT_TRUE(categoryChip->isSelected());
    EXPECT_THAT(shownBlocks(*browse()),
                ElementsAre(browseNames::chips, name(browseNames::tweaks(TweakCategory::power))));

    chip(browseNames::chip(BrowseFilter::power()));
    EXPECT_EQ(state().browseFilter, BrowseFilter::power());
    EXPECT_TRUE(powerChip->isSelected());
    EXPECT_FALSE(categoryChip->isSelected());
    EXPECT_THAT(shownBlocks(*browse()),
                ElementsAre(browseNames::chips, browseNames::powerCard, browseNames::powerList));
}

TEST_F(BrowseOnNow, ThePageKeepsItsRowsAndTheChipStripItsOffsetAcrossSyncs) {
    openBrowse();
    click(find(*browse(), browseNames::advanced));
    settle();
    QScrollBar* strip = browse()->chipStrip().horizontalScrollBar();
    ASSERT_GT(strip->maximum(), 0) << "the chips are wider than the page";
    strip->setValue(strip->maximum());
    const int offset = strip->value();
    const QWidget* dockRows = find(*browse(), browseNames::tweaks(TweakCategory::dock));
    const QWidget* firstRow = find(*browse(), rowNames::row("dock-instant-autohide-delay"));
    {
        test::WidgetCount count;
        changeModel([&] { model->refresh(); });
        click(find(*browse(), rowNames::toggle("dock-instant-autohide-delay")));
        settle();
        EXPECT_EQ(count.made(), 0) << "a refresh and a switch rebuild nothing";
    }
    EXPECT_EQ(find(*browse(), rowNames::row("dock-instant-autohide-delay")), firstRow);
    // A chip picks another filter: the other sections hide, and the strip stays where the user
    // scrolled it to reach the chip.
    const auto pick = [&](const BrowseFilter& filter) {
        chip(browseNames::chip(filter));  // scrolls the chip into view first when it is not
        const int reached = strip->value();
        settleLayout();
        return reached;
    };
    EXPECT_EQ(pick(BrowseFilter::of(TweakCategory::menubar)), strip->value());
    EXPECT_EQ(strip->value(), offset) << "the menu bar chip shows at the strip's end";
    // Scrolled a little, with All still in reach.
    const QWidget* all = find(*browse(), browseNames::chip(BrowseFilter::all()));
    strip->setValue(std::min(strip->maximum(), all->x() + all->width() / 4));
    const int allOffset = strip->value();
    ASSERT_GT(allOffset, 0);
    EXPECT_EQ(pick(BrowseFilter::all()), allOffset);
    EXPECT_EQ(strip->value(), allOffset);
    EXPECT_EQ(find(*browse(), browseNames::tweaks(TweakCategory::dock)), dockRows);
    EXPECT_EQ(find(*browse(), rowNames::row("dock-instant-autohide-delay")), firstRow);
}

// Only the page on screen is given the syncs: Browse's rows are left alone while Home shows, and
// are brought up to date as Browse comes back, before it is seen.
TEST_F(BrowseOnNow, RowsOfAHiddenPageAreNotCalledAndShowTheCurrentStateWhenItComesBack) {
    openBrowse();
    const Tweak bounce = *model->catalog().tweak("dock-no-launch-bounce");
    auto* toggle = find<Switch>(*browse(), rowNames::toggle("dock-no-launch-bounce"));
    auto* star = find<StarButton>(*browse(), rowNames::star("dock-no-launch-bounce"));
    auto* power = find<Switch>(*browse(), rowNames::toggle("power-disable-powernap"));
    clickRow("home");
    changeModel([&] {
        model->toggleTweak(bounce);
        model->toggleFavorite(bounce);
        model->togglePowerToggle(
            *std::ranges::find(Catalog::powerToggles(), "power-disable-powernap", &PowerTweak::id));
    });
    EXPECT_FALSE(toggle->isOn()) << "the hidden row was not called";
    EXPECT_FALSE(star->isOn());
    EXPECT_FALSE(power->isOn());

    ShownStates shown;
    toggle->installEventFilter(&shown);
    clickRow("browse");
    EXPECT_EQ(find<Switch>(*browse(), rowNames::toggle("dock-no-launch-bounce")), toggle) << "kept";
    EXPECT_EQ(shown.states, std::vector<bool>{true}) << "up to date as it comes on screen";
    EXPECT_TRUE(star->isOn());
    EXPECT_TRUE(power->isOn());
}

// However many rows and cards the pages have built, the sync calls the window alone, which hands
// the sync to the page on screen.
TEST_F(BrowseOnNow, TheSyncFollowsTheWindowAloneWhateverThePagesHaveBuilt) {
    openBrowse();
    const ModelSync& sync = ModelSync::of(*model);
    EXPECT_EQ(sync.followerCount(), 1u);
    click(find(*browse(), browseNames::advanced));
    settle();
    for (const char* item : {"home", "favorites", "active", "automations", "browse"}) {
        clickRow(item);
    }
    type(QStringLiteral("a"));
    changeModel([&] { model->refresh(); });
    EXPECT_GT(window->findChildren<SwitchRow*>().size(), 50u) << "rows of every page were built";
    EXPECT_EQ(sync.followerCount(), 1u);
}

// The widgets given a parent after they were made: a widget made in its parent announces itself
// from inside QWidget's constructor, while it is still a plain QWidget. One made without a parent
// is a window until a layout adopts it, and keeps a window's extra data for life.
class AdoptedWidgets : public test::ApplicationWatch {
  public:
    bool contains(const QWidget* widget) const { return adopted_.contains(widget); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType() && child->metaObject() != &QWidget::staticMetaObject) {
                adopted_.insert(child);
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QSet<const QObject*> adopted_;
};

// Browse keeps hundreds of rows built. Each is its entry and its own pieces, nothing more: every
// widget of a row was made in its parent, never a window for a moment, and the divider under a
// row is painted by its entry rather than being a widget with layouts of its own.
TEST_F(BrowseOnNow, EveryBrowseRowIsItsEntryAndItsPiecesEachMadeInItsParent) {
    const AdoptedWidgets adopted;
    {
        QWidget host;
        auto* later = new TextLabel(DesignFont::inter(1), Theme::ink());
        (new QVBoxLayout(&host))->addWidget(later);
        const auto* madeIn = new TextLabel(DesignFont::inter(1), Theme::ink(), &host);
        ASSERT_TRUE(adopted.contains(later));
        ASSERT_FALSE(adopted.contains(madeIn));
    }

    openBrowse();
    click(find(*browse(), browseNames::advanced));
    settle();
    std::size_t rows = 0;
    for (QWidget* row : browse()->findChildren<QWidget*>(QRegularExpression("^row\\."))) {
        ++rows;
        QWidget* entry = row->parentWidget();
        EXPECT_EQ(entry->findChildren<QWidget*>(Qt::FindDirectChildrenOnly), QList<QWidget*>{row})
            << name(row->objectName()) << ": the entry holds its row alone";
        QList<QWidget*> widgets = row->findChildren<QWidget*>();
        widgets << row << entry;
        for (const QWidget* widget : widgets) {
            EXPECT_FALSE(adopted.contains(widget))
                << name(row->objectName()) << " " << widget->metaObject()->className();
        }
    }
    EXPECT_GT(rows, 100u);
}

TEST_F(BrowseOnNow, ATweakSwitchedOnInBrowseShowsOnOnNowAndSwitchedOffThereTheEmptyStateReturns) {
    openBrowse();
    clickRow("active");
    EXPECT_THAT(shownBlocks(*page<OnNowPage>()), ElementsAre("backButton", onNowNames::empty));
    clickRow("browse");
    click(find(*browse(), rowNames::toggle("dock-no-launch-bounce")));
    settle();
    EXPECT_TRUE(find<Switch>(*browse(), rowNames::toggle("dock-no-launch-bounce"))->isOn());
    EXPECT_EQ(countPill()->label(), QStringLiteral("1 on"));

    click(countPill());
    // The new rows get their height as their list card's layout reaches them.
    settleLayout();
    auto* onNow = page<OnNowPage>();
    EXPECT_EQ(state().backTo, NavItem::browse());
    EXPECT_THAT(shownBlocks(*onNow), ElementsAre("backButton", onNowNames::line,
                                                 onNowNames::powerUps, onNowNames::tweaks));
    EXPECT_EQ(find<TextLabel>(*onNow, "sectionLabel")->text(), QStringLiteral("Power-ups"));
    EXPECT_THAT(rowIDs(*find<TweakListCard>(*onNow, onNowNames::tweaks)),
                ElementsAre("dock-no-launch-bounce"));

    click(find(*onNow, rowNames::toggle("dock-no-launch-bounce")));
    settle();
    EXPECT_THAT(shownBlocks(*onNow), ElementsAre("backButton", onNowNames::empty));
    EXPECT_FALSE(countPill()->isVisible());
    EXPECT_EQ(shownPage(), "page.active");
}

TEST_F(BrowseOnNow, OnNowListsAppliedRecipesInCatalogOrderKeepAwakeAndPowerSettingsThatAreOn) {
    const PowerTweak& power = Catalog::powerToggles()[2];
    mac.pmset[power.key] = power.onValue;
    mac.keepAwake = true;
    completeOnboarding();
    open(Catalog::velmora());
    changeModel([&] {
        model->apply(model->catalog().recipes()[3]);
        model->apply(model->catalog().recipes()[0]);
    });
    clickRow("active");
    auto* onNow = page<OnNowPage>();
    EXPECT_THAT(shownBlocks(*onNow), ElementsAre("backButton", onNowNames::line, onNowNames::grid,
                                                 onNowNames::powerCard, onNowNames::power));
    const auto* grid = find<RecipeGrid>(*onNow, onNowNames::grid);
    EXPECT_THAT(cardIDs(*grid), ElementsAre("screenshot-studio", "developer-setup"));
    EXPECT_EQ(grid->cards()[1]->index(), 1);
    EXPECT_THAT(rowIDs(*find<PowerListCard>(*onNow, onNowNames::power)), ElementsAre(power.id));

    // Only keep-awake left on: the line and its card.
    changeModel([&] {
        model->revert(model->catalog().recipes()[0]);
        model->revert(model->catalog().recipes()[3]);
        model->togglePowerToggle(power);
    });
    EXPECT_THAT(shownBlocks(*onNow),
                ElementsAre("backButton", onNowNames::line, onNowNames::powerCard));
    click(find(*onNow, settingNames::lidSwitch));
    settle();
    EXPECT_THAT(shownBlocks(*onNow), ElementsAre("backButton", onNowNames::empty));
}

// Scrolling the page with the pointer over a slider scrolls the page and writes nothing; a drag
// writes once, at its release, and the row (with the value it shows) stays.
TEST_F(BrowseOnNow, ABrowseSliderWritesOncePerReleaseAndNeverFromThePageScrollingOverIt) {
    openBrowse();
    const SliderTweak& dockSize = Catalog::sliderTweaks().front();
    const auto writes = [&] {
        return std::count(journal.begin(), journal.end(), "write " + dockSize.key.key);
    };
    auto* slider = find<DoubleSlider>(*browse(), rowNames::slider("slider-dock-size"));
    const double shown = slider->doubleValue();
    QScrollBar* page = window->router().verticalScrollBar();
    const int before = page->value();
    // A wheel notch over the slider, which Qt hands on to the page when the slider leaves it.
    for (int notch = 0; notch < 3; ++notch) {
        const QPointF at = QRectF(slider->rect()).center();
        QWheelEvent overSlider(at, slider->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                               Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &overSlider);
        EXPECT_FALSE(overSlider.isAccepted()) << "the slider leaves the wheel to the page";
        QWidget* viewport = window->router().viewport();
        const QPointF there = slider->mapTo(viewport, at);
        QWheelEvent overPage(there, viewport->mapToGlobal(there), QPoint(), QPoint(0, -120),
                             Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &overPage);
        settle();
    }
    EXPECT_GT(page->value(), before) << "the page scrolled";
    EXPECT_EQ(writes(), 0);
    EXPECT_EQ(slider->doubleValue(), shown);

    const QWidget* rowBefore = find(*browse(), rowNames::row("slider-dock-size"));
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(2, slider->height() / 2));
    for (int x = 2; x < slider->width(); x += 20) {
        QTest::mouseMove(slider, QPoint(x, slider->height() / 2));
        settle();
    }
    EXPECT_EQ(writes(), 0) << "nothing while dragging";
    QTest::mouseRelease(slider, Qt::LeftButton, {},
                        QPoint(slider->width() - 1, slider->height() / 2));
    settle();
    EXPECT_EQ(writes(), 1);
    EXPECT_EQ(backend->at(dockSize.key), TweakValue::integer(static_cast<int>(dockSize.max)));
    EXPECT_EQ(find(*browse(), rowNames::row("slider-dock-size")), rowBefore);
    EXPECT_EQ(slider->doubleValue(), dockSize.max);
}

}  // namespace
}  // namespace velmora::testing

namespace velmora::testing {
namespace {

// A scene switched to (by hand or by a rule firing) moves the Dock's size behind the row: the row
// shows the stored size, so that a nudge of the knob starts from it rather than writing back the
// size the row last held; a knob the user holds meanwhile stays where the user has it.
TEST_F(BrowseOnNow, ASliderShowsTheValueASceneSetAndAHeldKnobKeepsTheUsers) {
    openBrowse();
    const SliderTweak& dockSize = Catalog::sliderTweaks().front();
    auto* slider = find<DoubleSlider>(*browse(), rowNames::slider(dockSize.id));
    auto* text = find<TextLabel>(*browse(), rowNames::value(dockSize.id));
    const auto sceneSetting = [&](double size) {
        return velmora::Setup{"S", "Scene", "moon.fill", {}, {}, {{dockSize.id, size}}, false};
    };
    ASSERT_EQ(slider->doubleValue(), dockSize.defaultValue);

    changeModel([&] { model->applySetup(sceneSetting(80)); });
    EXPECT_EQ(backend->at(dockSize.key), TweakValue::integer(80));
    EXPECT_EQ(slider->doubleValue(), 80);
    EXPECT_EQ(text->text(), QStringLiteral("80px"));
    EXPECT_EQ(slider->valueText(), QStringLiteral("80px"));

    // Held at the far left (a press on the groove jumps there), a scene comes meanwhile.
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(2, slider->height() / 2));
    settle();
    changeModel([&] { model->applySetup(sceneSetting(100)); });
    EXPECT_EQ(slider->doubleValue(), dockSize.min) << "the knob under the pointer stays";
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(2, slider->height() / 2));
    settle();
    EXPECT_EQ(backend->at(dockSize.key), TweakValue::integer(static_cast<int>(dockSize.min)));
    EXPECT_EQ(slider->doubleValue(), dockSize.min);
    EXPECT_EQ(text->text(), QStringLiteral("16px"));
}

}  // namespace
}  // namespace velmora::testing
