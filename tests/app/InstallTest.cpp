// The install step into a temporary prefix, checked as a desktop and the helper meet the result:
// where each file lands and with which rights (whatever the umask), the program stripped with the
// signature still matching the installed bytes, a valid desktop entry naming the installed program
// and an icon the theme finds, the installed program starting with its resource bundle, and the
// manifest removing what was installed.
#include <fcntl.h>
#include <signal.h>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QSvgRenderer>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/CodeSignature.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/UniqueFd.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kStartTimeoutMs = 10000;
constexpr fs::perms kProgramRights = fs::perms(0755);
constexpr fs::perms kFileRights = fs::perms(0644);

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct InstallRun {
    std::string output;
    bool succeeded = false;
};

fs::path prefixIn(const fs::path& root) {
    return root / "usr";
}
fs::path manifestIn(const fs::path& root) {
    return root / "install_manifest.txt";
}

// As `umask 000; cmake --install build --strip --prefix <root>/usr`, through the build's script
// that writes the list of installed files to a manifest of our own instead of the user's
// build/install_manifest.txt.
InstallRun installInto(const fs::path& root) {
    const ProcessResult run = ProcessRunner::run(
        "/bin/sh",
        {"-c", "umask 000 && exec \"$0\" \"$@\"", VELMORA_CMAKE_COMMAND,
         "-DCMAKE_INSTALL_PREFIX=" + prefixIn(root).string(), "-DCMAKE_INSTALL_DO_STRIP=1",
         "-DVELMORA_INSTALL_MANIFEST=" + manifestIn(root).string(), "-P",
         std::string(VELMORA_BINARY_DIR) + "/install-elsewhere.cmake"});
    return {run.standardOutput + run.standardError, run.succeeded()};
}

// One install for the whole suite: each test reads what it laid out, and none changes it.
class Installed : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = std::make_unique<testing::TempFolder>("velmora-install",
                                                      testing::TempFolder::Reach::everyone);
        install_ = installInto(root_->path());
    }
    static void TearDownTestSuite() { root_.reset(); }
    void SetUp() override { ASSERT_TRUE(install_.succeeded) << install_.output; }

    static fs::path prefix() { return prefixIn(root_->path()); }
    static fs::path program() { return prefix() / "bin" / "velmora"; }
    static fs::path libexec() { return prefix() / "libexec" / "velmora"; }
    static fs::path desktopEntry() { return prefix() / "share/applications/velmora.desktop"; }

  private:
    static inline std::unique_ptr<testing::TempFolder> root_;
    static inline InstallRun install_;
};

TEST_F(Installed, ProgramsLandInBinAndLibexecWithTheirRightsAndTheSignatureStillMatches) {
    for (const fs::path& file : {program(), libexec() / "velmora-helper", libexec() / "pmset",
                                 libexec() / "defaults", libexec() / "osascript"}) {
        ASSERT_TRUE(fs::is_regular_file(file)) << file;
        EXPECT_EQ(fs::status(file).permissions(), kProgramRights) << file;
    }
    // The helper's home: nobody but its owner may change it, whatever the umask was.
    for (const fs::path& folder : {libexec(), libexec().parent_path(), prefix() / "bin"}) {
        EXPECT_EQ(fs::status(folder).permissions(), kProgramRights) << folder;
    }
    EXPECT_TRUE(fs::is_regular_file(prefix() / "share/velmora/Velmora_VelmoraUI.bundle/Inter.ttf"));

    // The helper serves only a program whose bytes match its signature: what is installed is the
    // stripped copy the build signed, untouched by `--strip` (no rewritten library paths).
    const auto signature = CodeSignature::parse(fileText(program().string() + ".sig"));
    ASSERT_TRUE(signature) << signature.error();
    const UniqueFd fd(::open(program().c_str(), O_RDONLY | O_CLOEXEC));
    const auto digest = digestOfFile(fd.get());
    ASSERT_TRUE(digest) << digest.error();
    EXPECT_EQ(digest.value(), signature.value().digest);
    const auto key = SigningKey::fromFileText(fileText(VELMORA_SIGNING_KEY_FILE));
    ASSERT_TRUE(key) << key.error();
    EXPECT_TRUE(signature.value().verifiedBy(key.value().publicKey()));
}

// Under a permissive umask a folder writable by all would let another user replace what is in it.
TEST_F(Installed, EveryFolderIs0755EveryFile0644AndEveryProgram0755WhateverTheUmask) {
    int checked = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix())) {
        const fs::path relative = fs::relative(entry.path(), prefix());
        const fs::file_status status = fs::symlink_status(entry.path());
        const bool program = relative.parent_path() == "libexec/velmora" ||
                             (relative.parent_path() == "bin" && relative.extension() != ".sig");
        const fs::perms wanted = fs::is_directory(status) || program ? kProgramRights : kFileRights;
        EXPECT_TRUE(fs::is_directory(status) || fs::is_regular_file(status)) << relative;
        EXPECT_EQ(status.permissions(), wanted) << relative;
        ++checked;
    }
    EXPECT_GT(checked, 20);
    EXPECT_EQ(fs::status(prefix() / "share/applications").permissions(), kProgramRights);
}

// The installed program carries no debug information (the build's keeps it), and `--strip` takes
// it from the helper and the tools too.
TEST_F(Installed, ProgramsAreInstalledStrippedWhileTheBuildKeepsItsDebugInformation) {
    const auto hasDebugInfo = [](const fs::path& file) {
        const ProcessResult sections = ProcessRunner::run("/usr/bin/readelf", {"-S", "-W", file});
        EXPECT_TRUE(sections.succeeded()) << sections.standardError;
        return sections.standardOutput.find(".debug_info") != std::string::npos;
    };
    EXPECT_TRUE(hasDebugInfo(std::string(VELMORA_BINARY_DIR) + "/bin/velmora"));
    for (const fs::path& file : {program(), libexec() / "velmora-helper", libexec() / "defaults"}) {
        EXPECT_FALSE(hasDebugInfo(file)) << file;
    }
    EXPECT_LT(fs::file_size(program()),
              fs::file_size(std::string(VELMORA_BINARY_DIR) + "/bin/velmora") / 4);
}

// What the README gives for removing an installation: the manifest names every file installed.
// It removes an install of its own, so that the suite's stays whole for the cases after it.
TEST_F(Installed, TheManifestRemovesEveryInstalledFile) {
    const testing::TempFolder root("velmora-install-removed", testing::TempFolder::Reach::everyone);
    const InstallRun install = installInto(root.path());
    ASSERT_TRUE(install.succeeded) << install.output;
    ASSERT_TRUE(fs::is_regular_file(prefixIn(root.path()) / "bin" / "velmora"));

    const ProcessResult removed = ProcessRunner::run(
        "/bin/sh", {"-c", "xargs rm < \"$0\"", manifestIn(root.path()).string()});
    ASSERT_TRUE(removed.succeeded()) << removed.standardError;
    for (const fs::directory_entry& entry :
         fs::recursive_directory_iterator(prefixIn(root.path()))) {
        EXPECT_TRUE(entry.is_directory()) << entry.path() << " was left";
    }
}

TEST_F(Installed, TheDesktopEntryIsValidAndNamesTheInstalledProgramAndAnIconTheThemeHas) {
    const ProcessResult check =
        ProcessRunner::run("/usr/bin/desktop-file-validate", {desktopEntry().string()});
    EXPECT_TRUE(check.succeeded()) << "scripts/setup installs desktop-file-utils\n"
                                   << check.standardOutput << check.standardError;
    EXPECT_EQ(check.standardOutput.find("error:"), std::string::npos) << check.standardOutput;

    QSettings entry(QString::fromStdString(desktopEntry().string()), QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Name")).toString(), QStringLiteral("Velmora"));
    EXPECT_EQ(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    const std::string exec = fileText(desktopEntry());
    EXPECT_NE(exec.find("\nExec=\"" + program().string() + "\"\n"), std::string::npos) << exec;

    const QString icon = entry.value(QStringLiteral("Icon")).toString();
    ASSERT_EQ(icon, QStringLiteral("velmora"));
    const fs::path theme = prefix() / "share/icons/hicolor";
    EXPECT_TRUE(fs::is_regular_file(theme / "scalable/apps/velmora.svg"));
    for (const int side : {32, 48, 128, 256}) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        const QImage image(QString::fromStdString((theme / size / "apps/velmora.png").string()));
        EXPECT_EQ(image.size(), QSize(side, side)) << size;
    }
}

// The spiral on its paper tile: ink in the middle, paper around it, nothing in the corners.
TEST_F(Installed, TheScalableIconDrawsTheSpiralOnItsTile) {
    QSvgRenderer svg(QString::fromStdString(
        (prefix() / "share/icons/hicolor/scalable/apps/velmora.svg").string()));
    ASSERT_TRUE(svg.isValid());
    constexpr int kSide = 96;
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        svg.render(&painter);
    }
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "a rounded tile leaves the corners clear";
    int dark = 0;
    for (int y = kSide / 4; y < 3 * kSide / 4; ++y) {
        for (int x = kSide / 4; x < 3 * kSide / 4; ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    const int middle = kSide * kSide / 4;
    EXPECT_GT(dark, middle / 20) << "the spiral's turns";
    EXPECT_LT(dark, middle / 2) << "turns apart, not a blot";
    EXPECT_GT(qGray(image.pixel(kSide / 10 + 2, kSide / 2)), 200) << "paper at the tile's edge";
}

// Started from the prefix with nothing of the build beside it, the program finds its resource
// bundle in share/velmora and runs until a termination signal ends it cleanly.
TEST_F(Installed, TheInstalledProgramStartsWithItsBundleAndEndsOnATerminationSignal) {
    testing::TempFolder home("velmora-install-run");
    fs::create_directory(home.path() / "runtime", home.path());
    fs::permissions(home.path() / "runtime", fs::perms::owner_all);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=false"));
    const auto place = [&](const char* name) {
        return QString::fromStdString((home.path() / name).string());
    };
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), place("runtime"));
    env.insert(QStringLiteral("VELMORA_HOME_ROOT"), place("home"));
    env.insert(QStringLiteral("VELMORA_SYSTEM_ROOT"), place("system"));
    QProcess velmora;
    velmora.setProcessEnvironment(env);
    velmora.start(QString::fromStdString(program().string()), {});
    ASSERT_TRUE(velmora.waitForStarted());
    const fs::path socket = home.path() / "runtime/velmora/instance.sock";
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return fs::exists(socket) || velmora.state() != QProcess::Running; },
                        kStartTimeoutMs));
    ASSERT_EQ(velmora.state(), QProcess::Running) << velmora.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(velmora.processId()), SIGTERM);
    ASSERT_TRUE(velmora.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(velmora.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(velmora.exitCode(), 0);
    EXPECT_EQ(velmora.readAllStandardError().toStdString(),
              "[fonts] registered Inter\n[fonts] registered Fraunces\n");
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
