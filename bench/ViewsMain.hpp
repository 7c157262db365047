// The entry of a benchmark over the views: the offscreen platform, the bundled fonts and the
// application's light look, set up as the application sets them up at launch, then every
// benchmark of the program.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStyleFactory>
#include <sstream>

#include "ui/look/AppFonts.hpp"
#include "ui/look/ResourceBundle.hpp"
#include "ui/look/Theme.hpp"

namespace velmora::bench {

inline int runViewBenchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::ostringstream fontMessages;
    AppFonts::registerFonts(ResourceBundle::module(), fontMessages);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(Theme::lightPalette());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace velmora::bench
