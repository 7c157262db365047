// Test entry: the offscreen platform, the bundled fonts and the application's light look, set up
// before any test as the application sets them up at launch.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "tests/ui/Ratio.hpp"
#include "ui/look/AppFonts.hpp"
#include "ui/look/AppStyle.hpp"
#include "ui/look/ResourceBundle.hpp"

int main(int argc, char** argv) {
    QTemporaryDir config;
    QFile file(config.filePath(QStringLiteral("screens.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(velmora::test::kScreens) < 0) {
        return EXIT_FAILURE;
    }
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file.fileName()));
    QApplication app(argc, argv);
    std::string fontMessages;
    velmora::AppFonts::registerFonts(velmora::ResourceBundle::module(), fontMessages);
    velmora::AppStyle::install();
    // Weekday names in the suggestion are in the user's language; the reference pictures and the
    // tests read English ones, whatever the machine's language.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
