// Entry of the end-to-end run: as root it first moves itself to an unprivileged user beside a
// root agent; then it brings up its own desktop, runs the cases (each starts the installed
// application on it), and takes the desktop down.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>

#include "tests/e2e/Desktop.hpp"
#include "tests/e2e/RootAgent.hpp"

int main(int argc, char** argv) {
    // Test discovery only lists the cases: no desktop, no move.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--gtest_list_tests") {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    }
    if (const std::optional<int> status = velmora::e2e::runAsUserWithRootAgent(argc, argv)) {
        return *status;
    }
    std::optional<velmora::e2e::Desktop> desktop;
    try {
        desktop.emplace(velmora::e2e::workFolder());
    } catch (const std::exception& error) {
        std::cerr << "e2e: no desktop to run on: " << error.what() << '\n';
        return EXIT_FAILURE;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The session's private runtime folder, as a desktop session has one.
    const std::filesystem::path runtime = velmora::e2e::workFolder() / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
    int status = EXIT_FAILURE;
    {
        // For the event loop the waits run and the screen the screenshots take.
        QGuiApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    desktop.reset();
    return status;
}
