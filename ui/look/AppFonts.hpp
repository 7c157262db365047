// Registers the bundled "Inter" and "Fraunces" font files for this process.
#pragma once

#include <QDir>
#include <optional>
#include <ostream>
#include <string>
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
    // The same from a given bundle folder (none: every file counts as missing), reporting to `err`.
    static void registerFonts(const std::optional<QDir>& bundle, std::ostream& err);
};

}  // namespace velmora
