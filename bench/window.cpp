// The main window over the model with fakes and 20 scenes: one keystroke in the search field, a
// sidebar click from Home to another page, and a model refresh that changes nothing (the
// automation tick), each to the end of its sync and repaint. The refresh must rebuild no widget:
// "widgets made" counts those it made.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "bench/ViewsMain.hpp"
#include "tests/ui/WidgetCount.hpp"
#include "tests/ui/model/ModelFakes.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/NavRow.hpp"

namespace {

using namespace velmora;

constexpr std::size_t kScenes = 20;
constexpr QSize kWindowSize{840, 620};

// The model's own test fixture, used outside a test for its fakes: a few tweaks on and 20 scenes.
class Bench : public velmora::testing::ModelTest {
  public:
    void TestBody() override {}

    std::unique_ptr<AppModel> model;
    std::unique_ptr<MainWindow> window;

    Bench() {
        const Catalog& catalog = Catalog::velmora();
        for (std::size_t i = 0; i < catalog.tweaks().size(); i += 7) {
            const DefaultsToggle& toggle = catalog.tweaks()[i].toggle();
            backend->put(toggle.key, toggle.enabledValue);
        }
        // Past the questionnaire, so no sheet covers the window.
        putData(AppModel::Keys::userProfile, R"({"fields":[],"goals":[],"device":"laptop",)"
                                             R"("completedOnboarding":true})");
        model = make(catalog);
        for (std::size_t i = 0; i < kScenes; ++i) {
            const std::string id = std::to_string(i);
            model->upsertSetup({"S" + id,
                                "Scene " + id,
                                SetupIcons::all()[i % SetupIcons::all().size()],
                                {catalog.tweaks()[i].id},
                                {},
                                {},
                                i % 2 == 0});
        }
        window = std::make_unique<MainWindow>(*model);
        window->resize(kWindowSize);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        settle();
    }

    // The sync the last action queued, then a full paint of the window.
    void settle() const {
        ModelSync::of(*model).flush();
        QCoreApplication::processEvents();
        window->repaint();
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

void sidebarClick(benchmark::State& state) {
    Bench bench;
    auto* home = bench.window->findChild<NavRow*>(QStringLiteral("nav.home"));
    auto* browse = bench.window->findChild<NavRow*>(QStringLiteral("nav.browse"));
    bool atHome = true;
    for (auto _ : state) {
        QTest::mouseClick(atHome ? browse : home, Qt::LeftButton);
        bench.settle();
        atHome = !atHome;
    }
}
BENCHMARK(sidebarClick)->Unit(benchmark::kMillisecond)->UseRealTime();

void refreshWithNothingChanged(benchmark::State& state) {
    Bench bench;
    test::WidgetCount count;
    for (auto _ : state) {
        bench.model->refresh();
        ModelSync::of(*bench.model).flush();
    }
    state.counters["widgets made"] = count.made();
}
BENCHMARK(refreshWithNothingChanged)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return velmora::bench::runViewBenchmarks(argc, argv);
}
