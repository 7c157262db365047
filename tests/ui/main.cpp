// Test entry: the offscreen platform, the bundled fonts and the application's light look, set up
// before any test as the application sets them up at launch.
#include <gtest/gtest.h>

#include <QApplication>
#include <sstream>

#include "ui/look/AppFonts.hpp"
#include "ui/look/AppStyle.hpp"
#include "ui/look/ResourceBundle.hpp"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::ostringstream fontMessages;
    velmora::AppFonts::registerFonts(velmora::ResourceBundle::module(), fontMessages);
    velmora::AppStyle::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
