// The interface's two hot paths, with the app model over its test fakes on the offscreen
// platform: (a) one click on a TweakRow's switch, through the model's change and the deferred
// sync, to the end of the repaint that follows; (b) building the full status-item panel and
// painting it. Target: each at most 4 ms, a quarter of a 60 Hz frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include "bench/ViewsMain.hpp"
#include "tests/ui/model/ModelFakes.hpp"
#include "ui/components/TweakRow.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Card.hpp"
#include "ui/widgets/Switch.hpp"

namespace {

using namespace velmora;

// The model's own test fixture, used outside a test for its fakes.
class FakeMacModel : public velmora::testing::ModelTest {
  public:
    void TestBody() override {}
    std::unique_ptr<AppModel> model = make(Catalog::velmora());
};

// Counts the paints of one widget, so the benchmark knows the repaint happened inside its timing.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// A browse-like page: one list card holding the first twelve tweaks' rows.
constexpr int kRows = 12;
constexpr QSize kPage{560, 900};

void switchClickToRepaint(benchmark::State& state) {
    FakeMacModel mac;
    AppModel& model = *mac.model;
    CardCanvas page;
    auto* outer = new QVBoxLayout(&page);
    auto* card = new Card;
    auto* rows = new QVBoxLayout(card);
    outer->addWidget(card);
    for (int i = 0; i < kRows; ++i) {
        rows->addWidget(new TweakRow(model, model.catalog().tweaks()[static_cast<std::size_t>(i)]));
    }
    // The list's part of a page: every sync handed to its rows.
    ModelSync::of(model).follow(&page, [&page](const SyncCache& now) {
        for (TweakRow* row : page.findChildren<TweakRow*>()) {
            row->follow(now);
        }
    });
    page.resize(kPage);
    page.show();
    if (!QTest::qWaitForWindowExposed(&page)) {
        state.SkipWithError("the page never showed");
        return;
    }
    QCoreApplication::processEvents();
    auto* toggle = page.findChildren<Switch*>()[kRows / 2];
    PaintCounter counter;
    toggle->installEventFilter(&counter);

    for (auto _ : state) {
        const int before = counter.paints;
        const bool wasOn = toggle->isOn();
        QTest::mouseClick(toggle, Qt::LeftButton, {}, toggle->rect().center());
        // The event loop's turn: the queued sync, then the paint it asked for, then whatever
        // that left queued (deferred deletions, the display's answers).
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        if (toggle->isOn() == wasOn || counter.paints == before) {
            state.SkipWithError("the click did not reach the screen");
            return;
        }
    }
}

void buildAndPaintFullPanel(benchmark::State& state) {
    FakeMacModel mac;
    AppModel& model = *mac.model;
    // Everything the panel can list: favourites of every kind, four recommendations, recipes.
    model.saveProfile({UserField::developer}, {UserGoal::speed}, DeviceKind::laptop);
    model.toggleFavorite(model.recipes()[3]);
    model.apply(model.recipes()[3]);
    for (const char* id :
         {"menubar-clock-seconds", "dev-show-hidden-files", "finder-show-path-bar"}) {
        model.toggleFavorite(*model.catalog().tweak(id));
    }
    model.toggleFavoritePower();
    model.toggleFavorite(Catalog::powerToggles()[1]);
    QCoreApplication::processEvents();

    QImage canvas(MenuBarView::panelWidth, 440, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        MenuBarView view(model);
        view.resize(MenuBarView::panelWidth, 440);
        view.layout()->activate();
        QPainter painter(&canvas);
        view.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(canvas.bits());
    }
    QCoreApplication::processEvents();
}

BENCHMARK(switchClickToRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(buildAndPaintFullPanel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::bench;
    return runViewBenchmarks(
        argc, argv,
        {{"switch click to the end of its repaint",
          [](const TargetReporter& runs) { return milliseconds(runs, "switchClickToRepaint"); }, 4,
          "ms"},
         {"build and paint the popover",
          [](const TargetReporter& runs) { return milliseconds(runs, "buildAndPaintFullPanel"); },
          4, "ms"}});
}
