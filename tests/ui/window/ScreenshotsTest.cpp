// Pictures of the window for a person to look at: build/artefacts/ui/window-*.png.
#include "tests/ui/window/WindowTest.hpp"

namespace velmora::testing {
namespace {

using Screenshots = WindowTest;

TEST_F(Screenshots, WindowWithItsSidebarAndNoScenes) {
    open(Catalog::velmora());
    screenshot(*window, QStringLiteral("window-no-scenes"));
}

}  // namespace
}  // namespace velmora::testing
