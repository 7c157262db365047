// Registers the bundled "Inter" and "Fraunces" font files for this process.
#pragma once

#include <QDir>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora {

class AppFonts {
  public:
    struct Family {
        std::string name;                      // "Inter": the file "Inter.ttf", regular weight
        std::vector<std::string> moreWeights;  // further files of the family the views use
    };

    // "Inter" first, then "Fraunces".
    static const std::vector<Family>& families();

    // Registers every file of every family from the resource bundle, one line on standard error
    // per family ("[fonts] registered Inter"); a missing or refused file is reported on its own
    // line and the rest go on. Never reads fonts from the desktop's own folders.
    static void registerFonts();
    // The same from a given bundle folder (none: every file counts as missing), its lines added to
    // `report`.
    static void registerFonts(const std::optional<QDir>& bundle, std::string& report);

    // Leaves the pages of every font file the process maps (the bundle's, and the desktop's that
    // Qt's engines map themselves) to the page cache: an engine reads a few tables of its file
    // when it is made and then the glyphs it draws, and nothing else of it is needed resident.
    // What is read later is mapped again from the page cache.
    static void leaveFilesToPageCache();

    // A registration running on a worker thread (Qt's font database may be used from any
    // thread), so that the start can do work that draws no text meanwhile. Its lines are held
    // until `finish`, so that they come out whole and in order.
    class Pending {
      public:
        explicit Pending(std::optional<QDir> bundle);
        // Waits for the worker. The lines of a registration never finished are dropped: a second
        // start hands over to the first instance and shows no text of its own.
        ~Pending();
        Pending(const Pending&) = delete;
        Pending& operator=(const Pending&) = delete;

        // Waits for the registration and gives its lines; the second and later calls give none.
        std::string finish();

      private:
        std::string report_;
        std::jthread worker_;
        bool finished_ = false;
    };
    // Starts `registerFonts()` on a worker.
    static std::unique_ptr<Pending> registerInBackground();
};

}  // namespace velmora
