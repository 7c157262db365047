// Lookup of the resource bundle folder.
#include "ui/look/ResourceBundle.hpp"

#include <QCoreApplication>
#include <QFileInfo>
#include <iostream>

namespace velmora {

QStringList ResourceBundle::defaultCandidates() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (programFolder.isEmpty()) {
        return {};
    }
    return {QDir(programFolder).filePath(QString::fromLatin1(VELMORA_RESOURCES_RELATIVE)),
            programFolder};
}

std::optional<QDir> ResourceBundle::locate(const QStringList& candidates, std::ostream& err) {
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty() || !QFileInfo(candidate).isDir()) {
            continue;
        }
        const QDir bundle(QDir(candidate).filePath(QString::fromLatin1(folderName)));
        if (bundle.exists()) {
            return bundle;
        }
    }
    err << missingMessage << '\n' << std::flush;
    return std::nullopt;
}

const std::optional<QDir>& ResourceBundle::module() {
    static const std::optional<QDir> bundle = locate(defaultCandidates(), std::cerr);
    return bundle;
}

}  // namespace velmora
