// The resource bundle beside the program, and font registration with its messages.
#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QFontDatabase>
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
        QDir(temp_.path()).mkdir(QString::fromLatin1(ResourceBundle::folderName));
        bundle_ = QDir(temp_.filePath(QString::fromLatin1(ResourceBundle::folderName)));
        for (const QString& name : real ? real->entryList(QDir::Files) : QStringList()) {
            QFile::copy(real->filePath(name), bundle_.filePath(name));
        }
    }
    QDir bundle() const { return bundle_; }
    QString parent() const { return temp_.path(); }

  private:
    QTemporaryDir temp_;
    QDir bundle_;
};

TEST(ResourceBundle, FoundBesideTheProgramWithFontsAndLicences) {
    const std::optional<QDir>& bundle = ResourceBundle::module();
    ASSERT_TRUE(bundle.has_value());
    EXPECT_EQ(bundle->dirName(), QStringLiteral("Velmora_VelmoraUI.bundle"));
    for (const char* name : {"Inter.ttf", "Fraunces.ttf", "Inter-OFL.txt", "Fraunces-OFL.txt",
                             "Phosphor-LICENSE.txt"}) {
        EXPECT_TRUE(bundle->exists(QString::fromLatin1(name))) << name;
    }
}

TEST(ResourceBundle, FirstCandidateHoldingTheBundleWinsAndAMissingOneIsNotFatal) {
    BundleCopy copy;
    QTemporaryDir empty;
    std::ostringstream err;
    const auto found = ResourceBundle::locate(
        {QString(), empty.path(), QStringLiteral("/no/such/dir"), copy.parent()}, err);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->absolutePath(), copy.bundle().absolutePath());
    EXPECT_EQ(err.str(), "");

    EXPECT_FALSE(ResourceBundle::locate({empty.path()}, err).has_value());
    EXPECT_EQ(err.str(), "unable to find bundle named Velmora_VelmoraUI\n");
}

TEST(AppFonts, CompleteBundleRegistersEveryWeightOfBothFamiliesInOrder) {
    std::ostringstream err;
    AppFonts::registerFonts(ResourceBundle::module(), err);
    EXPECT_EQ(err.str(), "[fonts] registered Inter\n[fonts] registered Fraunces\n");
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Fraunces")));
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

TEST(AppFonts, EachDamagedFileIsReportedOnItsOwnLineAndTheRestGoOn) {
    enum class Damage { removed, notAFont };
    const struct {
        const char* file;
        Damage damage;
        const char* expected;
    } cases[] = {
        {"Fraunces.ttf", Damage::removed,
         "[fonts] registered Inter\n[fonts] Fraunces.ttf not found in bundle\n"},
        {"Inter-Bold.ttf", Damage::removed,
         "[fonts] registered Inter\n[fonts] Inter-Bold.ttf not found in bundle\n"
         "[fonts] registered Fraunces\n"},
        {"Inter.ttf", Damage::notAFont,
         "[fonts] Inter failed: unknown\n[fonts] registered Fraunces\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        BundleCopy copy;
        QFile file(copy.bundle().filePath(QString::fromLatin1(c.file)));
        ASSERT_TRUE(c.damage == Damage::removed
                        ? file.remove()
                        : file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                              file.write("this is not a font") > 0);
        file.close();
        std::ostringstream err;
        AppFonts::registerFonts(copy.bundle(), err);
        EXPECT_EQ(err.str(), c.expected);
    }
}

TEST(AppFonts, WithoutABundleEveryFileIsMissing) {
    std::ostringstream err;
    AppFonts::registerFonts(std::nullopt, err);
    const std::string text = err.str();
    EXPECT_EQ(text.rfind("[fonts] Inter.ttf not found in bundle\n", 0), 0u);
    EXPECT_NE(text.find("[fonts] Fraunces.ttf not found in bundle\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
}

}  // namespace
}  // namespace velmora
