// The resource bundle beside the program, and font registration with its messages.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QRawFont>
#include <QTemporaryDir>
#include <string>

#include "ui/look/AppFonts.hpp"
#include "ui/look/ResourceBundle.hpp"

namespace velmora {
namespace {

// A copy of the real bundle in a temporary folder, which a test may then damage.
struct BundleCopy {
    BundleCopy() {
        const std::optional<QDir>& real = ResourceBundle::module();
        QDir(temp.path()).mkdir(QString::fromLatin1(ResourceBundle::folderName));
        for (const QString& name : real ? real->entryList(QDir::Files) : QStringList()) {
            QFile::copy(real->filePath(name), bundle.filePath(name));
        }
    }
    QTemporaryDir temp;
    QDir bundle{temp.filePath(QString::fromLatin1(ResourceBundle::folderName))};
};

TEST(ResourceBundle, FoundBesideTheProgramOrInTheFirstCandidateAndAMissingOneIsNotFatal) {
    ASSERT_TRUE(ResourceBundle::module().has_value());
    BundleCopy copy;
    QTemporaryDir empty;
    std::string err;
    const auto found = ResourceBundle::locate(
        {QString(), empty.path(), QStringLiteral("/no/such/dir"), copy.temp.path()}, err);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->absolutePath(), copy.bundle.absolutePath());
    EXPECT_FALSE(ResourceBundle::locate({empty.path()}, err).has_value());
    EXPECT_EQ(err, "unable to find bundle named Velmora_VelmoraUI\n");
}

TEST(AppFonts, CompleteBundleRegistersEveryWeightOfBothFamiliesInOrder) {
    std::string err;
    AppFonts::registerFonts(ResourceBundle::module(), err);
    EXPECT_EQ(err, "[fonts] registered Inter\n[fonts] registered Fraunces\n");
    const std::pair<const char*, QFont::Weight> weights[] = {
        {"Inter", QFont::Normal}, {"Inter", QFont::Medium},    {"Inter", QFont::DemiBold},
        {"Inter", QFont::Bold},   {"Fraunces", QFont::Normal}, {"Fraunces", QFont::DemiBold},
        {"Fraunces", QFont::Bold}};
    for (const auto& [family, weight] : weights) {
        QFont font(QString::fromLatin1(family));
        font.setPixelSize(14);
        font.setWeight(weight);
        const QRawFont raw = QRawFont::fromFont(font);
        EXPECT_EQ(std::pair(raw.familyName(), raw.weight()),
                  std::pair(QString::fromLatin1(family), static_cast<int>(weight)));
    }
}

// Registered on a worker: the lines come out whole, in order and once, when the caller finishes
// it, and the families are there from then on.
TEST(AppFonts, ABackgroundRegistrationReportsOnceWhenFinished) {
    BundleCopy copy;
    QFile::remove(copy.bundle.filePath(QStringLiteral("Inter-Bold.ttf")));
    AppFonts::Pending pending(copy.bundle);
    EXPECT_EQ(pending.finish(),
              "[fonts] registered Inter\n[fonts] Inter-Bold.ttf not found in bundle\n"
              "[fonts] registered Fraunces\n");
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Fraunces")));
    EXPECT_EQ(pending.finish(), "");
}

// A registration dropped unfinished (a second start handing over to the first) still completes
// before it is gone; its lines are only ever given by `finish`.
TEST(AppFonts, ABackgroundRegistrationDroppedUnfinishedCompletes) {
    BundleCopy copy;
    { AppFonts::Pending pending(copy.bundle); }
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Inter")));
}

// Kilobytes of the process resident from files in `folder`, as /proc/self/smaps counts them.
qint64 residentKibFrom(const QDir& folder) {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray prefix = folder.absolutePath().toLocal8Bit() + '/';
    qint64 total = 0;
    bool inFolder = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        // A mapping's line starts with its address range, each of its fields with "Name:".
        if (!line.isEmpty() && !line.left(line.indexOf(' ')).endsWith(':')) {
            inFolder = line.contains(' ' + prefix);
        } else if (inFolder && line.startsWith("Rss:")) {
            total += line.mid(4).trimmed().split(' ').front().toLongLong();
        }
    }
    return total;
}

// Registered fonts stay usable while most of their files' bytes are left to the page cache: a
// process that has registered them keeps resident only what it has read since.
TEST(AppFonts, RegisteredFilesAreNotKeptResident) {
    BundleCopy copy;
    qint64 bytes = 0;
    for (const QString& name : copy.bundle.entryList({QStringLiteral("*.ttf")})) {
        bytes += QFileInfo(copy.bundle.filePath(name)).size();
    }
    std::string err;
    AppFonts::registerFonts(copy.bundle, err);
    ASSERT_EQ(err, "[fonts] registered Inter\n[fonts] registered Fraunces\n");
    constexpr qint64 kKib = 1024;
    constexpr qint64 kAtMostAnEighth = 8;
    EXPECT_LE(residentKibFrom(copy.bundle), bytes / kKib / kAtMostAnEighth);

    QFont font(QStringLiteral("Inter"));
    font.setPixelSize(14);
    font.setWeight(QFont::Bold);
    EXPECT_GT(QRawFont::fromFont(font).advancesForGlyphIndexes({36}).value(0).x(), 0);
}

TEST(AppFonts, EachMissingOrDamagedFileIsReportedOnItsOwnLineAndTheRestGoOn) {
    // The file removed, or with `damage` written over it.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Fraunces.ttf", nullptr,
         "[fonts] registered Inter\n[fonts] Fraunces.ttf not found in bundle\n"},
        {"Inter-Bold.ttf", nullptr,
         "[fonts] registered Inter\n[fonts] Inter-Bold.ttf not found in bundle\n"
         "[fonts] registered Fraunces\n"},
        {"Inter.ttf", "this is not a font",
         "[fonts] Inter failed: unknown\n[fonts] registered Fraunces\n"},
    };
    for (const auto& [name, damage, expected] : cases) {
        BundleCopy copy;
        QFile file(copy.bundle.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(damage == nullptr ? file.remove()
                                      : file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                                            file.write(damage) > 0);
        file.close();
        std::string err;
        AppFonts::registerFonts(copy.bundle, err);
        EXPECT_EQ(err, expected) << name;
    }
}

}  // namespace
}  // namespace velmora
