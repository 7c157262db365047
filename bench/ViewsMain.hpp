// The entry of a benchmark over the views: the platform, the bundled fonts and the application's
// light look, set up as the application sets them up at launch, then every benchmark of the
// program and its targets. Offscreen unless QT_QPA_PLATFORM names another (bench/views.sh runs
// each program offscreen and on a real X server with a window manager); the targets hold on X,
// so only there does a missed one fail the program.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QGuiApplication>
#include <string>

#include "bench/Targets.hpp"
#include "ui/look/AppFonts.hpp"
#include "ui/look/AppStyle.hpp"
#include "ui/look/ResourceBundle.hpp"

namespace velmora::bench {

inline int runViewBenchmarks(int argc, char** argv, const std::vector<Target>& targets) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::string fontMessages;
    AppFonts::registerFonts(ResourceBundle::module(), fontMessages);
    AppStyle::install();
    const QString platform = QGuiApplication::platformName();
    const bool onX = platform == QStringLiteral("xcb");
    return runWithTargets(argc, argv, targets, "platform " + platform.toStdString(), onX);
}

}  // namespace velmora::bench
