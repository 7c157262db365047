// The resource bundle beside the program, and font registration with its messages.
#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QRawFont>
#include <QTemporaryDir>
#include <algorithm>
#include <sstream>

#include "ui/AppFonts.hpp"
#include "ui/ResourceBundle.hpp"

namespace velmora {
namespace {

// A copy of the real bundle in a temporary folder, which a test may then damage.
class BundleCopy {
  public:
    BundleCopy() {
        const std::optional<QDir>& real = ResourceBundle::module();
        QDir(temp.path()).mkdir(QString::fromLatin1(ResourceBundle::folderName));
        bundle = QDir(temp.filePath(QString::fromLatin1(ResourceBundle::folderName)));
        for (const QString& name : real ? real->entryList(QDir::Files) : QStringList()) {
            QFile::copy(real->filePath(name), bundle.filePath(name));
        }
    }
    QTemporaryDir temp;
    QDir bundle;
};

TEST(ResourceBundle, FoundBesideTheProgramOrInTheFirstCandidateAndAMissingOneIsNotFatal) {
    const std::optional<QDir>& beside = ResourceBundle::module();
    ASSERT_TRUE(beside.has_value());
    for (const char* name : {"Inter.ttf", "Fraunces.ttf", "Inter-OFL.txt", "Fraunces-OFL.txt",
                             "Phosphor-LICENSE.txt"}) {
        EXPECT_TRUE(beside->exists(QString::fromLatin1(name))) << name;
    }
    BundleCopy copy;
    QTemporaryDir empty;
    std::ostringstream err;
    const auto found = ResourceBundle::locate(
        {QString(), empty.path(), QStringLiteral("/no/such/dir"), copy.temp.path()}, err);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->absolutePath(), copy.bundle.absolutePath());
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(ResourceBundle::locate({empty.path()}, err).has_value());
    EXPECT_EQ(err.str(), "unable to find bundle named Velmora_VelmoraUI\n");
}

TEST(AppFonts, CompleteBundleRegistersEveryWeightOfBothFamiliesInOrder) {
    std::ostringstream err;
    AppFonts::registerFonts(ResourceBundle::module(), err);
    EXPECT_EQ(err.str(), "[fonts] registered Inter\n[fonts] registered Fraunces\n");
    const std::pair<const char*, QFont::Weight> weights[] = {
        {"Inter", QFont::Normal}, {"Inter", QFont::Medium},    {"Inter", QFont::DemiBold},
        {"Inter", QFont::Bold},   {"Fraunces", QFont::Normal}, {"Fraunces", QFont::DemiBold},
        {"Fraunces", QFont::Bold}};
    for (const auto& [family, weight] : weights) {
        QFont font(QString::fromLatin1(family));
        font.setPixelSize(14);
        font.setWeight(weight);
        const QRawFont raw = QRawFont::fromFont(font);
        EXPECT_EQ(raw.familyName(), QString::fromLatin1(family)) << family << weight;
        EXPECT_EQ(raw.weight(), weight) << family << weight;
    }
}

TEST(AppFonts, EachMissingOrDamagedFileIsReportedOnItsOwnLineAndTheRestGoOn) {
    const struct {
        const char* file;  // removed, or with `damage` written over it
        const char* damage;
        const char* expected;
    } cases[] = {
        {"Fraunces.ttf", nullptr,
         "[fonts] registered Inter\n[fonts] Fraunces.ttf not found in bundle\n"},
        {"Inter-Bold.ttf", nullptr,
         "[fonts] registered Inter\n[fonts] Inter-Bold.ttf not found in bundle\n"
         "[fonts] registered Fraunces\n"},
        {"Inter.ttf", "this is not a font",
         "[fonts] Inter failed: unknown\n[fonts] registered Fraunces\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        BundleCopy copy;
        QFile file(copy.bundle.filePath(QString::fromLatin1(c.file)));
        ASSERT_TRUE(c.damage == nullptr ? file.remove()
                                        : file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                                              file.write(c.damage) > 0);
        file.close();
        std::ostringstream err;
        AppFonts::registerFonts(copy.bundle, err);
        EXPECT_EQ(err.str(), c.expected);
    }
    std::ostringstream err;
    AppFonts::registerFonts(std::nullopt, err);
    const std::string text = err.str();
    EXPECT_TRUE(text.starts_with("[fonts] Inter.ttf not found in bundle\n"));
    EXPECT_NE(text.find("[fonts] Fraunces.ttf not found in bundle\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
}

}  // namespace
}  // namespace velmora
