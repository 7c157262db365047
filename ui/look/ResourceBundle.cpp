// Lookup of the resource bundle folder.
#include "ui/look/ResourceBundle.hpp"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace velmora {

QStringList ResourceBundle::defaultCandidates() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (programFolder.isEmpty()) {
        return {};
    }
    return {QDir(programFolder).filePath(QString::fromLatin1(VELMORA_RESOURCES_RELATIVE)),
            programFolder};
}

std::optional<QDir> ResourceBundle::locate(const QStringList& candidates, std::string& report) {
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty() || !QFileInfo(candidate).isDir()) {
            continue;
        }
        const QDir bundle(QDir(candidate).filePath(QString::fromLatin1(folderName)));
        if (bundle.exists()) {
            return bundle;
        }
    }
    report += std::string(missingMessage) + '\n';
    return std::nullopt;
}

const std::optional<QDir>& ResourceBundle::module() {
    static const std::optional<QDir> bundle = [] {
        std::string report;
        std::optional<QDir> found = locate(defaultCandidates(), report);
        std::fputs(report.c_str(), stderr);
        return found;
    }();
    return bundle;
}

}  // namespace velmora
