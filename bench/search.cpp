// Search runs on every keystroke: the whole search page must answer within 50 µs per query, and
// the catalog's search of every query within 50 µs with ten times the catalog.
#include <array>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "bench/Targets.hpp"
#include "bench/TenfoldCatalog.hpp"
#include "kit/Catalog.hpp"
#include "kit/Search.hpp"

namespace velmora {
namespace {

using bench::tenfoldCatalog;

constexpr std::array<std::string_view, 6> kQueries{"dock",  "fast",        "dark mode",
                                                   "wi-fi", "screensaver", "\u00e9cran"};

// What the search page asks for one query: tweaks, recipes, sliders, power settings and the
// keep-awake entry, each item kind with its own text, as the application model builds them.
std::size_t searchPage(std::string_view query) {
    const Catalog& catalog = Catalog::velmora();
    std::size_t hits = catalog.search(query).size();
    for (const Recipe& recipe : catalog.recipes()) {
        hits += Search::matches(
                    query, recipe.title + " " + recipe.summary + " " + Search::keywords(recipe.id))
                    ? 1
                    : 0;
    }
    for (const SliderTweak& slider : Catalog::sliderTweaks()) {
        hits += Search::matches(query, slider.title + " " + slider.summary + " " +
                                           displayName(slider.category) + " " + slider.key.domain +
                                           " " + Search::keywords(slider.id))
                    ? 1
                    : 0;
    }
    for (const PowerTweak& toggle : Catalog::powerToggles()) {
        hits += Search::matches(query, toggle.title + " " + toggle.summary + " power admin " +
                                           Search::keywords(toggle.id))
                    ? 1
                    : 0;
    }
    hits +=
        Search::matches(query, "never sleep keep awake " + Search::keywords("lid-close")) ? 1 : 0;
    return hits;
}

void warmUp() {
    benchmark::DoNotOptimize(Catalog::velmora());
    benchmark::DoNotOptimize(Search::matches("warm", "up"));
}

void BM_CatalogSearch(benchmark::State& state) {
    warmUp();
    const std::string_view query = kQueries.at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(std::string(query));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Catalog::velmora().search(query));
    }
}
BENCHMARK(BM_CatalogSearch)->DenseRange(0, kQueries.size() - 1)->Unit(benchmark::kMicrosecond);

void BM_CatalogSearchTenfold(benchmark::State& state) {
    benchmark::DoNotOptimize(tenfoldCatalog());
    const std::string_view query = kQueries.at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(std::string(query));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tenfoldCatalog().search(query));
    }
}
BENCHMARK(BM_CatalogSearchTenfold)
    ->DenseRange(0, kQueries.size() - 1)
    ->Unit(benchmark::kMicrosecond);

void BM_SearchMatches(benchmark::State& state) {
    warmUp();
    const std::string_view query = kQueries.at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(std::string(query));
    const std::string text =
        "Show the Dock instantly Removes the delay before the auto-hidden Dock appears. Dock "
        "com.apple.dock ";
    for (auto _ : state) {
        benchmark::DoNotOptimize(Search::matches(query, text));
    }
}
BENCHMARK(BM_SearchMatches)->DenseRange(0, kQueries.size() - 1);

// A new query every time, as while typing: nothing of the previous query can be reused.
void BM_SearchMatchesFreshQuery(benchmark::State& state) {
    warmUp();
    const std::string text = "Stops the Dock from being resized by accident. Dock com.apple.dock ";
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        benchmark::DoNotOptimize(Search::matches(flip ? "screensaver" : "screensave", text));
    }
}
BENCHMARK(BM_SearchMatchesFreshQuery);

void BM_SearchPage(benchmark::State& state) {
    warmUp();
    const std::string_view query = kQueries.at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(std::string(query));
    for (auto _ : state) {
        benchmark::DoNotOptimize(searchPage(query));
    }
}
BENCHMARK(BM_SearchPage)->DenseRange(0, kQueries.size() - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora::bench;
    return runWithTargets(
        argc, argv,
        {{"slowest search page",
          [](const TargetReporter& runs) { return microseconds(runs, "BM_SearchPage"); }, 50, "us"},
         {"slowest catalog search at ten times the catalog",
          [](const TargetReporter& runs) { return microseconds(runs, "BM_CatalogSearchTenfold"); },
          50, "us"}},
        "search");
}
