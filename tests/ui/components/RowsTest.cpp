// The setting rows over the model: what their switches and stars show and ask, the slider's
// write discipline, their chips and tints, what accessibility tools read, and a screenshot of
// each kind.
#include <QVBoxLayout>

#include "tests/ui/ViewTest.hpp"
#include "ui/components/Chip.hpp"
#include "ui/components/PowerToggleRow.hpp"
#include "ui/components/SliderRow.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/components/TweakRow.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Card.hpp"
#include "ui/widgets/DoubleSlider.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora::testing {
namespace {

constexpr int kCardWidth = 460;
constexpr int kRowPadding = 14;

const SliderTweak& dockSize() {
    return Catalog::sliderTweaks().front();  // "slider-dock-size": 16 to 128 by 4, default 48
}

const PowerTweak& power(std::string_view id) {
    return *std::ranges::find(Catalog::powerToggles(), id, &PowerTweak::id);
}

class RowsTest : public ViewTest {
  protected:
    std::unique_ptr<AppModel> model = make(Catalog::velmora());
    CardCanvas page;
    Card* card = [this] {
        auto* layout = new QVBoxLayout(&page);
        layout->setContentsMargins(20, 20, 20, 20);
        auto* made = new Card;
        made->setFixedWidth(kCardWidth);
        auto* rows = new QVBoxLayout(made);
        rows->setContentsMargins(kRowPadding, 0, kRowPadding, 0);
        layout->addWidget(made);
        return made;
    }();

    // Hands every sync to the switch rows, as the list a page shows them in does.
    RowsTest() {
        ModelSync::of(*model).follow(&page, [this](const SyncCache& synced) {
            for (SwitchRow* row : page.findChildren<SwitchRow*>()) {
                row->follow(synced);
            }
        });
    }

    template <class Row, class Item>
    Row* add(const Item& item) {
        auto* row = new Row(*model, item);
        card->layout()->addWidget(row);
        return row;
    }
    const Tweak& catalogTweak(std::string_view id) {
        return *std::ranges::find(model->catalog().tweaks(), id, &Tweak::id);
    }
    static std::vector<QString> chips(const QWidget& row) {
        std::vector<QString> texts;
        for (const Chip* chip : row.findChildren<Chip*>()) {
            texts.push_back(chip->text());
        }
        return texts;
    }
    std::size_t writesOf(const std::string& key) const {
        return static_cast<std::size_t>(std::ranges::count(journal, "write " + key));
    }
};

TEST_F(RowsTest, ATweakSwitchShowsTheEngineAndAClickAsksForTheOppositeOfAFreshRead) {
    const Tweak& hidden = catalogTweak("dev-show-hidden-files");
    auto* row = add<TweakRow>(hidden);
    showOnPaper(page);
    auto* toggle = find<Switch>(page, rowNames::toggle("dev-show-hidden-files"));
    EXPECT_EQ(accessible(toggle), "CheckBox 'Show hidden files in Finder' off");
    click(toggle);
    EXPECT_FALSE(toggle->isOn()) << "the model answers at the next sync";
    settle();
    EXPECT_TRUE(model->isEnabled(hidden));
    EXPECT_EQ(accessible(toggle), "CheckBox 'Show hidden files in Finder' on");

    // On, but its state cannot be read for now: shown off, and a click asks to switch it on.
    model->refresh();
    prefs->failNextReads[hidden.toggle().key.key] = 2;  // the sync's read and the click's
    settle();
    EXPECT_FALSE(toggle->isOn());
    journal.clear();
    click(toggle);
    EXPECT_EQ(writesOf(hidden.toggle().key.key), 1u);
    EXPECT_TRUE(model->isEnabled(hidden)) << "written on, not removed";

    click(find<StarButton>(page, rowNames::star("dev-show-hidden-files")));
    settle();
    EXPECT_TRUE(model->isFavorite(hidden));
    EXPECT_TRUE(row->star().isOn());
    EXPECT_TRUE(chips(*row).empty()) << "a simple tweak has no chip";
}

TEST_F(RowsTest, APowerSwitchReadsThePmsetCacheExactlyAndTogglesFromTheModelEachTime) {
    const PowerTweak& nap = power("power-disable-powernap");  // on at "0"
    const PowerTweak& womp = power("power-no-network-wake");  // advanced
    auto* napRow = add<PowerToggleRow>(nap);
    auto* wompRow = add<PowerToggleRow>(womp);
    showOnPaper(page);
    EXPECT_FALSE(napRow->toggle().isOn()) << "missing from the cache";
    for (const char* nearly : {" 0", "0 ", "O"}) {
        mac.pmset["powernap"] = nearly;
        model->refresh();
        settle();
        EXPECT_FALSE(napRow->toggle().isOn()) << nearly;
    }
    mac.pmset["powernap"] = "1";
    model->refresh();
    journal.clear();
    click(&napRow->toggle());
    click(&napRow->toggle());  // before any sync: the second click still reads the model
    EXPECT_THAT(journal, ::testing::ElementsAre("pmset powernap 0", "pmset powernap 1"));
    EXPECT_EQ(chips(*napRow), std::vector<QString>{"ADMIN"});
    EXPECT_EQ(chips(*wompRow), (std::vector<QString>{"ADMIN", "ADVANCED"}));
    EXPECT_EQ(accessible(wompRow->findChild<Chip*>()), "StaticText 'ADMIN'");
    EXPECT_EQ(napRow->findChild<SymbolView*>()->symbol(), "moon.zzz");
    click(&wompRow->star());
    EXPECT_TRUE(model->isFavorite(womp));
    EXPECT_EQ(accessible(&wompRow->toggle()), "CheckBox 'Don't wake for network access' off");
}

// A row's labels, chips and tile read as they always did (the switch reads the title and summary,
// which are themselves out of the reading, as the tile is; a chip is static text) with no dynamic
// property on any of them: rows are made by the hundred, and a property gave each of those pieces
// a block of object data of its own.
TEST_F(RowsTest, ARowsLabelsChipsAndTileReadAsBeforeWithoutAPropertyOfTheirOwn) {
    auto* row = add<PowerToggleRow>(power("power-no-network-wake"));
    showOnPaper(page);
    std::size_t pieces = 0;
    for (QWidget* piece : row->findChildren<QWidget*>()) {
        if (qobject_cast<TextLabel*>(piece) != nullptr ||
            qobject_cast<SymbolView*>(piece) != nullptr || qobject_cast<Chip*>(piece) != nullptr) {
            ++pieces;
            EXPECT_EQ(piece->dynamicPropertyNames(), QList<QByteArray>())
                << piece->metaObject()->className();
        }
    }
    EXPECT_EQ(pieces, 5U) << "tile, title, two chips, summary";
    EXPECT_EQ(accessible(row->findChild<Chip*>()), "StaticText 'ADMIN'");
    for (TextLabel* label : row->findChildren<TextLabel*>()) {
        EXPECT_EQ(accessible(label), "NoRole '' hidden");
    }
    EXPECT_EQ(accessible(row->findChild<SymbolView*>()), "NoRole '' hidden");
    EXPECT_EQ(accessible(&row->toggle()), "CheckBox 'Don't wake for network access' off");
    EXPECT_EQ(row->toggle().accessibleDescription(),
              toQString(power("power-no-network-wake").summary));
}

TEST_F(RowsTest, ASliderLoadsOnceWhenFirstShownAndWritesOncePerReleaseKeyOrGrooveClick) {
    const std::string key = dockSize().key.key;
    backend->put(dockSize().key, TweakValue::integer(48));
    auto* row = add<SliderRow>(dockSize());
    EXPECT_FALSE(row->isLoaded()) << "nothing read before it is shown";
    showOnPaper(page);
    EXPECT_EQ(row->value(), 48.0);
    auto* text = find<TextLabel>(page, rowNames::value("slider-dock-size"));
    EXPECT_EQ(text->text(), QStringLiteral("48px"));
    const int reads = prefs->reads[key];
    row->hide();
    backend->put(dockSize().key, TweakValue::integer(100));
    row->show();
    settle();
    EXPECT_EQ(prefs->reads[key], reads) << "shown again: not read again";
    EXPECT_EQ(row->value(), 48.0);

    DoubleSlider& slider = row->slider();
    journal.clear();
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(2, slider.height() / 2));
    for (int x = 2; x < slider.width(); x += 25) {
        QTest::mouseMove(&slider, QPoint(x, slider.height() / 2));
    }
    QTest::mouseRelease(&slider, Qt::LeftButton, {},
                        QPoint(slider.width() - 1, slider.height() / 2));
    EXPECT_EQ(writesOf(key), 1u) << "one write for one drag";
    EXPECT_EQ(backend->at(dockSize().key), TweakValue::integer(128));
    EXPECT_EQ(text->text(), QStringLiteral("128px"));

    journal.clear();
    QTest::keyClick(&slider, Qt::Key_Left);
    EXPECT_EQ(backend->at(dockSize().key), TweakValue::integer(124)) << "one step of 4";
    slider.clearFocus();
    QWheelEvent wheel(QPointF(10, 5), QPointF(10, 5), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &wheel);
    EXPECT_EQ(writesOf(key), 1u) << "the key step wrote; the unfocused wheel did not";
    EXPECT_EQ(accessible(&slider).substr(0, 17), "Slider 'Dock size");
}

TEST_F(RowsTest, AnAbsentSliderShowsItsDefaultAndEveryRowKindIsPictured) {
    auto* slider = add<SliderRow>(dockSize());
    add<TweakRow>(catalogTweak("dev-fast-key-repeat"));  // advanced
    add<TweakRow>(catalogTweak("menubar-clock-seconds"));
    add<PowerToggleRow>(power("power-no-tcp-keepalive"));
    add<PowerToggleRow>(power("power-low-power-mode"));
    model->toggleTweak(catalogTweak("menubar-clock-seconds"));
    model->toggleFavorite(catalogTweak("dev-fast-key-repeat"));
    showOnPaper(page);
    page.adjustSize();
    EXPECT_EQ(slider->value(), 48.0) << "the default";
    auto* tile =
        find<TweakRow>(page, rowNames::row("menubar-clock-seconds"))->findChild<SymbolView*>();
    EXPECT_EQ(tile->grab().toImage().pixelColor(2, 13), Theme::tint(4)) << "menubar tints 4";
    screenshot(page, QStringLiteral("rows"));
}

}  // namespace
}  // namespace velmora::testing
