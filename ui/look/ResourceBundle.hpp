// Finds the interface's resource bundle folder ("Velmora_VelmoraUI.bundle") beside the program.
#pragma once

#include <QDir>
#include <QStringList>
#include <optional>
#include <string>

namespace velmora {

class ResourceBundle {
  public:
    static constexpr const char* folderName = "Velmora_VelmoraUI.bundle";
    static constexpr const char* missingMessage = "unable to find bundle named Velmora_VelmoraUI";

    // Folders searched, in order, for the bundle: the program's resource folder (the installed
    // share/velmora beside its bin folder) and its own folder (where the build leaves it).
    static QStringList defaultCandidates();

    // The first candidate's bundle folder that exists. When none does, adds missingMessage and a
    // line feed to `report` and returns nothing: the bundle holds only cosmetic assets, so the
    // program goes on with fallbacks instead of stopping.
    static std::optional<QDir> locate(const QStringList& candidates, std::string& report);

    // locate(defaultCandidates()) done once per process, reporting to standard error.
    static const std::optional<QDir>& module();
};

}  // namespace velmora
