// The window gives back memory it no longer uses once it has stayed as it is for a moment after a
// page was shown or a sheet closed: here the pages of the font files (the bundle's and the
// desktop's monospaced face), as /proc/self/smaps counts them, which the font engines read when
// they are made.
#include <QTest>

#include "tests/ui/ResidentFonts.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/MemoryTidy.hpp"

namespace velmora::testing {
namespace {

class WindowMemoryTidy : public WindowTest {};

TEST_F(WindowMemoryTidy, FontFilesAreLeftToThePageCacheOnceTheWindowIsQuietAfterAChange) {
    completeOnboarding();
    open(smallCatalog(), designSize, MainWindow::defaultSheets());
    constexpr qreal kMonospacedSize = 10;
    ASSERT_GT(DesignFont::monospaced(kMonospacedSize).width(QStringLiteral("12:00")), 0);
    ASSERT_GT(fontFilesBytes(), 0);
    const qint64 fewKib = fewFontKib();
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"page shown", [&] { clickRow("browse"); }},
        {"search results shown", [&] { type(QStringLiteral("dock")); }},
        {"sheet closed",
         [&] {
             window->change([](WindowState& s) { s.openEditor(std::nullopt); });
             settle();
             window->change([](WindowState& s) { s.showEditor = false; });
             settle();
         }},
    };
    for (const auto& [change, make] : changes) {
        readFontFilesWhole();
        make();
        EXPECT_GT(residentFontKib(), fewKib) << change << ": tidied before the window was quiet";
        EXPECT_TRUE(QTest::qWaitFor([&] { return residentFontKib() <= fewKib; },
                                    static_cast<int>(MemoryTidy::quiet.count()) * 4))
            << change << ": " << residentFontKib() << " KiB resident";
    }
}

}  // namespace
}  // namespace velmora::testing
