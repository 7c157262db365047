// The main window over the model with fakes and 20 scenes: one keystroke in the search field, a
// sidebar click from Home to another page, and a model refresh that changes nothing (the
// automation tick), each to the end of its sync and repaint. The refresh must rebuild no widget:
// "widgets made" counts those it made. Then the pages: opening Browse with Advanced on to the end
// of its first paint (the rows past the first screenful are made from the event loop after it;
// "rows" counts them all once made, and at ten times the catalog "ms to every row" is how long
// they take from the click), a switch clicked on Browse, and a search keystroke that changes the
// results, each to the end of its repaint. A user's own data at scale: with 200 scenes, 200 rules
// and every power-up a favourite, the sidebar click and the unchanged refresh again; and a
// keystroke with a pasted page of 20,000 characters in the search field, and switching between two
// scenes, one with every power-up and one with none.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "bench/TenfoldCatalog.hpp"
#include "bench/ViewsMain.hpp"
#include "tests/ui/WidgetCount.hpp"
#include "tests/ui/model/ModelFakes.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/sync/RowBuilder.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/NavRow.hpp"
#include "ui/window/Router.hpp"

namespace {

using namespace velmora;
using velmora::bench::tenfoldCatalog;

constexpr std::size_t kScenes = 20;
constexpr std::size_t kScenesAtScale = 200;
constexpr qsizetype kPastedPage = 20000;
constexpr QSize kWindowSize{840, 620};

// The model's own test fixture, used outside a test for its fakes: a few tweaks on and 20 scenes.
class Bench : public velmora::testing::ModelTest {
  public:
    void TestBody() override {}

    std::unique_ptr<AppModel> model;
    std::unique_ptr<MainWindow> window;

    enum class Data { some, atScale };

    explicit Bench(const Catalog& catalog = Catalog::velmora(), Data data = Data::some) {
        for (std::size_t i = 0; i < catalog.tweaks().size(); i += 7) {
            const DefaultsToggle& toggle = catalog.tweaks()[i].toggle();
            backend->put(toggle.key, toggle.enabledValue);
        }
        // Past the questionnaire, so no sheet covers the window.
        putData(AppModel::Keys::userProfile, R"({"fields":[],"goals":[],"device":"laptop",)"
                                             R"("completedOnboarding":true})");
        model = make(catalog);
        const std::size_t scenes = data == Data::atScale ? kScenesAtScale : kScenes;
        for (std::size_t i = 0; i < scenes; ++i) {
            const std::string id = std::to_string(i);
            model->upsertSetup({"S" + id,
                                "Scene " + id,
                                SetupIcons::all()[i % SetupIcons::all().size()],
                                {catalog.tweaks()[i % catalog.tweaks().size()].id},
                                {},
                                {},
                                i % 2 == 0});
        }
        if (data == Data::atScale) {
            addRulesAndFavorites(catalog, scenes);
        }
        openWindow();
    }

    // A rule for every scene, of every kind in turn, and every power-up starred.
    void addRulesAndFavorites(const Catalog& catalog, std::size_t scenes) {
        const auto& kinds = allCases<AutomationRule::Kind>();
        for (std::size_t i = 0; i < scenes; ++i) {
            AutomationRule rule;
            rule.id = "R" + std::to_string(i);
            rule.kind = kinds[i % kinds.size()];
            rule.setupID = "S" + std::to_string(i);
            rule.enabled = true;
            model->addRule(rule);
        }
        for (const Tweak& tweak : catalog.tweaks()) {
            model->toggleFavorite(tweak);
        }
    }

    // A new window over the same model, on Home.
    void openWindow() {
        window.reset();
        window = std::make_unique<MainWindow>(*model);
        window->resize(kWindowSize);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        settle();
    }

    template <class Widget = QWidget>
    Widget* find(const char* name) const {
        return find<Widget>(QString::fromLatin1(name));
    }
    template <class Widget = QWidget>
    Widget* find(const QString& name) const {
        return window->findChild<Widget*>(name);
    }

    // The sync the last action queued, the repaint it left pending, and the event loop drained of
    // what that left (deferred deletions, the display's answers). The repaint is the one the
    // platform's update timer would deliver: only the dirty region, painted and flushed now. A
    // forced repaint of the whole window would paint every benchmark's window a second time.
    void settle() const {
        ModelSync::of(*model).flush();
        QCoreApplication::processEvents();
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(window.get(), &request);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

void typeOneCharacter(benchmark::State& state) {
    Bench bench;
    auto* field = bench.window->findChild<QLineEdit*>(QStringLiteral("topbar.search"));
    bool typed = false;
    for (auto _ : state) {
        // In turns a letter and its erasure: each is one keystroke.
        QTest::keyClick(field, typed ? Qt::Key_Backspace : Qt::Key_D);
        bench.settle();
        typed = !typed;
    }
}
BENCHMARK(typeOneCharacter)->Unit(benchmark::kMillisecond)->UseRealTime();

void clickSidebar(benchmark::State& state, Bench& bench) {
    auto* home = bench.window->findChild<NavRow*>(navNames::row("home"));
    auto* browse = bench.window->findChild<NavRow*>(navNames::row("browse"));
    bool atHome = true;
    for (auto _ : state) {
        QTest::mouseClick(atHome ? browse : home, Qt::LeftButton);
        bench.settle();
        atHome = !atHome;
    }
}

void sidebarClick(benchmark::State& state) {
    Bench bench;
    clickSidebar(state, bench);
}
BENCHMARK(sidebarClick)->Unit(benchmark::kMillisecond)->UseRealTime();

void sidebarClickAtScale(benchmark::State& state) {
    Bench bench(Catalog::velmora(), Bench::Data::atScale);
    clickSidebar(state, bench);
}
BENCHMARK(sidebarClickAtScale)->Unit(benchmark::kMillisecond)->UseRealTime();

void refresh(benchmark::State& state, Bench& bench) {
    test::WidgetCount count;
    for (auto _ : state) {
        bench.model->refresh();
        ModelSync::of(*bench.model).flush();
    }
    state.counters["widgets made"] = count.made();
}

void refreshWithNothingChanged(benchmark::State& state) {
    Bench bench;
    refresh(state, bench);
}
BENCHMARK(refreshWithNothingChanged)->Unit(benchmark::kMillisecond)->UseRealTime();

void refreshWithNothingChangedAtScale(benchmark::State& state) {
    Bench bench(Catalog::velmora(), Bench::Data::atScale);
    refresh(state, bench);
}
BENCHMARK(refreshWithNothingChangedAtScale)->Unit(benchmark::kMillisecond)->UseRealTime();

// A scene switched to from its sidebar row, in turns one with every power-up on and one with
// none, to the end of the sync and repaint: every catalog tweak is written.
void switchToAScene(benchmark::State& state) {
    Bench bench(Catalog::velmora(), Bench::Data::atScale);
    Setup all = bench.model->setups()[0];
    all.id = "all";
    all.tweakIDs.clear();
    for (const Tweak& tweak : bench.model->catalog().tweaks()) {
        all.tweakIDs.push_back(tweak.id);
    }
    Setup none = all;
    none.id = "none";
    none.tweakIDs.clear();
    bench.model->upsertSetup(all);
    bench.model->upsertSetup(none);
    bench.settle();
    bool toAll = true;
    for (auto _ : state) {
        bench.model->applySetup(toAll ? all : none);
        bench.settle();
        toAll = !toAll;
    }
}
BENCHMARK(switchToAScene)->Unit(benchmark::kMillisecond)->UseRealTime();

// A keystroke at the end of a pasted page that matches nothing: every keystroke searches the
// whole page again and shows it quoted in full.
void typeAfterAPastedPage(benchmark::State& state) {
    Bench bench;
    auto* field = bench.window->findChild<QLineEdit*>(QStringLiteral("topbar.search"));
    field->setText(QStringLiteral("Paste some prose here, ").repeated(kPastedPage / 23));
    bench.settle();
    bool typed = false;
    for (auto _ : state) {
        QTest::keyClick(field, typed ? Qt::Key_Backspace : Qt::Key_D);
        bench.settle();
        typed = !typed;
    }
}
BENCHMARK(typeAfterAPastedPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// From a freshly opened window with Advanced on, the click on Browse to the end of its repaint.
void timeOpeningBrowse(benchmark::State& state, Bench& bench) {
    for (auto _ : state) {
        state.PauseTiming();
        bench.openWindow();
        bench.window->change([](WindowState& s) { s.showAdvanced = true; });
        bench.settle();
        auto* browse = bench.find<NavRow>(navNames::row("browse"));
        state.ResumeTiming();
        QTest::mouseClick(browse, Qt::LeftButton);
        bench.settle();
    }
}

// The event loop run until every row Browse left for later is made.
void makeEveryRow() {
    while (RowBuilder::anyWaiting()) {
        QCoreApplication::processEvents();
    }
}

void openBrowseWithAdvancedOn(benchmark::State& state) {
    Bench bench;
    timeOpeningBrowse(state, bench);
    makeEveryRow();
    state.counters["rows"] =
        static_cast<double>(bench.window->router().currentPage()->findChildren<Switch*>().size());
}
BENCHMARK(openBrowseWithAdvancedOn)->Unit(benchmark::kMillisecond)->UseRealTime();

void openBrowseWithAdvancedOnTenfold(benchmark::State& state) {
    Bench bench(tenfoldCatalog());
    timeOpeningBrowse(state, bench);

    bench.openWindow();
    bench.window->change([](WindowState& s) { s.showAdvanced = true; });
    bench.settle();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(bench.find<NavRow>(navNames::row("browse")), Qt::LeftButton);
    bench.settle();
    makeEveryRow();
    state.counters["ms to every row"] = static_cast<double>(clock.nsecsElapsed()) / 1e6;
}
BENCHMARK(openBrowseWithAdvancedOnTenfold)->Unit(benchmark::kMillisecond)->UseRealTime();

void switchClickOnBrowse(benchmark::State& state) {
    Bench bench;
    bench.window->change([](WindowState& s) { s.showAdvanced = true; });
    QTest::mouseClick(bench.find<NavRow>(navNames::row("browse")), Qt::LeftButton);
    bench.settle();
    auto* toggle = bench.find<Switch>("switch.dock-no-launch-bounce");
    for (auto _ : state) {
        QTest::mouseClick(toggle, Qt::LeftButton);
        bench.settle();
    }
}
BENCHMARK(switchClickOnBrowse)->Unit(benchmark::kMillisecond)->UseRealTime();

// In turns "doc" (28 power-ups, 3 sliders, a power setting) and "dock" (21 power-ups, 3 sliders,
// none): every keystroke replaces the rows of the lists.
void searchKeystrokeThatChangesTheResults(benchmark::State& state) {
    Bench bench;
    auto* field = bench.window->findChild<QLineEdit*>(QStringLiteral("topbar.search"));
    QTest::keyClicks(field, QStringLiteral("doc"));
    bench.settle();
    bool longer = false;
    for (auto _ : state) {
        QTest::keyClick(field, longer ? Qt::Key_Backspace : Qt::Key_K);
        bench.settle();
        longer = !longer;
    }
}
BENCHMARK(searchKeystrokeThatChangesTheResults)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::bench;
    const auto ms = [](const char* name) {
        return [name](const TargetReporter& runs) { return milliseconds(runs, name); };
    };
    return runViewBenchmarks(
        argc, argv,
        {{"search keystroke", ms("typeOneCharacter"), 8, "ms"},
         {"search keystroke that changes the results", ms("searchKeystrokeThatChangesTheResults"),
          8, "ms"},
         {"search keystroke with a pasted page in the field", ms("typeAfterAPastedPage"), 8, "ms"},
         {"sidebar page switch", ms("sidebarClick/"), 8, "ms"},
         {"sidebar page switch, 200 scenes and rules", ms("sidebarClickAtScale"), 8, "ms"},
         {"unchanged refresh", ms("refreshWithNothingChanged/"), 2, "ms"},
         {"unchanged refresh, 200 scenes and rules", ms("refreshWithNothingChangedAtScale"), 2,
          "ms"},
         {"widgets made by an unchanged refresh",
          [](const TargetReporter& runs) {
              return runs.counter("refreshWithNothingChanged", "widgets made");
          },
          0, ""},
         {"open Browse with Advanced on", ms("openBrowseWithAdvancedOn/"), 30, "ms"},
         {"open Browse with Advanced on, ten times the catalog",
          ms("openBrowseWithAdvancedOnTenfold"), 100, "ms"},
         {"switch click on Browse to the end of its repaint", ms("switchClickOnBrowse"), 4, "ms"}});
}
