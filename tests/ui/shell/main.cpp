// Test entry: offscreen platform, and private temporary folders for everything the shell touches.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

// A desktop-sized screen, so that the 840 × 620 window and the popover fit as they would, and far
// below it one of double density, for a window moved between the two.
constexpr const char* kScreenConfig =
    R"({"synchronousWindowSystemEvents": false, "windowFrameMargins": false,
        "screens": [{"name": "desk", "x": 0, "y": 0, "width": 1440, "height": 900,
                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
                    {"name": "double", "x": 0, "y": 20000, "width": 1440, "height": 900,
                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})";

int main(int argc, char** argv) {
    QTemporaryDir config, home, system, runtime;
    QFile file(config.filePath(QStringLiteral("screen.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(kScreenConfig) < 0) {
        return EXIT_FAILURE;
    }
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file.fileName()));
    qputenv("VELMORA_HOME_ROOT", home.path().toLocal8Bit());
    qputenv("VELMORA_SYSTEM_ROOT", system.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
