// The window with and without scenes, held against its reference pictures in tests/ui/references
// (VELMORA_UPDATE_REFERENCES=1 writes new ones after a deliberate change of the look).
#include "tests/ui/window/WindowTest.hpp"

namespace velmora::testing {
namespace {

using Screenshots = WindowTest;

TEST_F(Screenshots, WindowWithItsSidebarAndNoScenes) {
    open(Catalog::velmora());
    expectLooksAsBefore(*window, QStringLiteral("window-no-scenes"));
}

// Eight scenes at the least height: the list scrolls, the suggestion and the profile stay.
TEST_F(Screenshots, EightScenesAtTheLeastHeight) {
    putData(AppModel::Keys::userProfile,
            R"({"fields":["writer","developer","student"],"goals":["focus"],)"
            R"("device":"desktop","completedOnboarding":true})");
    open(Catalog::velmora(), {MainWindow::minimumWidth, MainWindow::minimumHeight});
    const char* names[] = {"Desk",   "Travel", "Focus", "Night shift with a very long name",
                           "Gaming", "Music",  "Cafe",  "A&B"};
    const auto& icons = SetupIcons::all();
    changeModel([&] {
        for (std::size_t i = 0; i < std::size(names); ++i) {
            model->upsertSetup({std::string("S").append(std::to_string(i)),
                                names[i],
                                icons[i % icons.size()],
                                std::vector<std::string>(i, "x"),
                                {},
                                {},
                                i % 2 == 0});
        }
    });
    expectLooksAsBefore(*window, QStringLiteral("window-eight-scenes"));
}

}  // namespace
}  // namespace velmora::testing
