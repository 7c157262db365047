// The resource bundle beside the program, and font registration with its messages.
#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
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
        if (!real) {
            return;
        }
        bundle_ = QDir(temp_.filePath(QString::fromLatin1(ResourceBundle::folderName)));
        QDir(temp_.path()).mkdir(QString::fromLatin1(ResourceBundle::folderName));
        for (const QString& name : real->entryList(QDir::Files)) {
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
    for (const char* name :
         {"Inter.ttf", "Inter-Medium.ttf", "Inter-SemiBold.ttf", "Inter-Bold.ttf", "Fraunces.ttf",
          "Fraunces-SemiBold.ttf", "Fraunces-Bold.ttf", "Inter-OFL.txt", "Fraunces-OFL.txt",
          "Phosphor-LICENSE.txt"}) {
        EXPECT_TRUE(bundle->exists(QString::fromLatin1(name))) << name;
    }
}

TEST(ResourceBundle, FirstCandidateHoldingTheBundleWins) {
    BundleCopy copy;
    QTemporaryDir empty;
    std::ostringstream err;
    const auto found = ResourceBundle::locate(
        {QString(), empty.path(), QStringLiteral("/no/such/dir"), copy.parent()}, err);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->absolutePath(), copy.bundle().absolutePath());
    EXPECT_EQ(err.str(), "");
}

TEST(ResourceBundle, MissingBundleIsReportedAndNotFatal) {
    QTemporaryDir empty;
    std::ostringstream err;
    EXPECT_FALSE(ResourceBundle::locate({empty.path()}, err).has_value());
    EXPECT_EQ(err.str(), "unable to find bundle named Velmora_VelmoraUI\n");
    std::ostringstream none;
    EXPECT_FALSE(ResourceBundle::locate({}, none).has_value());
    EXPECT_EQ(none.str(), "unable to find bundle named Velmora_VelmoraUI\n");
}

TEST(AppFonts, CompleteBundleRegistersBothFamiliesInOrder) {
    std::ostringstream err;
    AppFonts::registerFonts(ResourceBundle::module(), err);
    EXPECT_EQ(err.str(), "[fonts] registered Inter\n[fonts] registered Fraunces\n");
    const QStringList families = QFontDatabase::families();
    EXPECT_TRUE(families.contains(QStringLiteral("Inter")));
    EXPECT_TRUE(families.contains(QStringLiteral("Fraunces")));
}

TEST(AppFonts, WeightsResolveToTheBundledFiles) {
    std::ostringstream err;
    AppFonts::registerFonts(ResourceBundle::module(), err);
    for (const auto& [family, weight] :
         {std::pair{"Inter", QFont::Normal}, std::pair{"Inter", QFont::Medium},
          std::pair{"Inter", QFont::DemiBold}, std::pair{"Inter", QFont::Bold},
          std::pair{"Fraunces", QFont::Normal}, std::pair{"Fraunces", QFont::DemiBold},
          std::pair{"Fraunces", QFont::Bold}}) {
        QFont font(QString::fromLatin1(family));
        font.setPixelSize(14);
        font.setWeight(weight);
        const QRawFont raw = QRawFont::fromFont(font);
        EXPECT_EQ(raw.familyName(), QString::fromLatin1(family)) << family << weight;
        EXPECT_EQ(raw.weight(), weight) << family << weight;
    }
}

TEST(AppFonts, MissingFileIsReportedAndTheRestGoOn) {
    BundleCopy copy;
    ASSERT_TRUE(copy.bundle().remove(QStringLiteral("Fraunces.ttf")));
    std::ostringstream err;
    AppFonts::registerFonts(copy.bundle(), err);
    EXPECT_EQ(err.str(), "[fonts] registered Inter\n[fonts] Fraunces.ttf not found in bundle\n");
}

TEST(AppFonts, MissingWeightIsReportedOnItsOwnLine) {
    BundleCopy copy;
    ASSERT_TRUE(copy.bundle().remove(QStringLiteral("Inter-Bold.ttf")));
    std::ostringstream err;
    AppFonts::registerFonts(copy.bundle(), err);
    EXPECT_EQ(err.str(),
              "[fonts] registered Inter\n[fonts] Inter-Bold.ttf not found in bundle\n"
              "[fonts] registered Fraunces\n");
}

TEST(AppFonts, RefusedFileSaysWhy) {
    BundleCopy copy;
    QFile broken(copy.bundle().filePath(QStringLiteral("Inter.ttf")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("this is not a font");
    broken.close();
    std::ostringstream err;
    AppFonts::registerFonts(copy.bundle(), err);
    EXPECT_EQ(err.str(),
              "[fonts] Inter failed: not a usable font file\n[fonts] registered Fraunces\n");
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
