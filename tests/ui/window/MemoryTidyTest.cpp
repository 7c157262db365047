// The window gives back memory it no longer uses once it has stayed as it is for a moment after a
// page was shown or a sheet closed: here the pages of the font files (the bundle's and the
// desktop's monospaced face), as /proc/self/smaps counts them, which the font engines read when
// they are made.
#include <QFile>
#include <QTest>
#include <cstdint>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/MemoryTidy.hpp"

namespace velmora::testing {
namespace {

constexpr qint64 kKib = 1024;
constexpr std::uintptr_t kPage = 4096;
// "start-end perms offset device inode path", in /proc/self/maps and smaps alike.
constexpr qsizetype kPathField = 5;

// The process's mappings of font files, each as its address range.
struct FontMapping {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
};

// The bundle's files and the desktop's monospaced face, which Qt maps itself; the files other tests
// registered from folders removed since too.
bool isFontFile(const QByteArray& path) {
    QByteArray lower = path.toLower();
    lower.replace(" (deleted)", "");
    return lower.endsWith(".ttf") || lower.endsWith(".otf") || lower.endsWith(".ttc");
}

std::vector<FontMapping> fontMappings() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    std::vector<FontMapping> found;
    if (!maps.open(QIODevice::ReadOnly)) {
        return found;
    }
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > kPathField && isFontFile(fields.mid(kPathField).join(' '))) {
            const QList<QByteArray> range = fields[0].split('-');
            found.push_back({range[0].toULongLong(nullptr, 16), range[1].toULongLong(nullptr, 16)});
        }
    }
    return found;
}

// What a font engine does when it is made for a new size, and the font database when it lists the
// files again: every page of the files read.
void readFontFilesWhole() {
    for (const FontMapping& mapping : fontMappings()) {
        for (std::uintptr_t at = mapping.start; at < mapping.end; at += kPage) {
            (void)*reinterpret_cast<const volatile char*>(at);
        }
    }
}

qint64 fontFilesBytes() {
    qint64 bytes = 0;
    for (const FontMapping& mapping : fontMappings()) {
        bytes += static_cast<qint64>(mapping.end - mapping.start);
    }
    return bytes;
}

// Kilobytes resident from font files.
qint64 residentFontKib() {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) {
        return -1;
    }
    qint64 total = 0;
    bool inFont = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        // A mapping's line starts with its address range, each of its fields with "Name:".
        if (!line.isEmpty() && !line.left(line.indexOf(' ')).endsWith(':')) {
            inFont = isFontFile(line.simplified().split(' ').mid(kPathField).join(' '));
        } else if (inFont && line.startsWith("Rss:")) {
            total += line.mid(4).trimmed().split(' ').front().toLongLong();
        }
    }
    return total;
}

class WindowMemoryTidy : public WindowTest {};

TEST_F(WindowMemoryTidy, FontFilesAreLeftToThePageCacheOnceTheWindowIsQuietAfterAChange) {
    completeOnboarding();
    open(smallCatalog(), designSize, MainWindow::defaultSheets());
    constexpr qreal kMonospacedSize = 10;
    ASSERT_GT(DesignFont::monospaced(kMonospacedSize).width(QStringLiteral("12:00")), 0);
    ASSERT_GT(fontFilesBytes(), 0);
    constexpr qint64 kAtMostAnEighth = 8;
    const qint64 fewKib = fontFilesBytes() / kKib / kAtMostAnEighth;
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
