// Where the interface tests leave their pictures for a person to look at.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

namespace velmora::test {

// build/artefacts/ui, created on demand; falls back beside the test program outside ctest.
inline QString artefactPath(const QString& fileName) {
    const QByteArray buildDir = qgetenv("VELMORA_BUILD_DIR");
    const QString root = buildDir.isEmpty()
                             ? QCoreApplication::applicationDirPath() + QStringLiteral("/..")
                             : QString::fromLocal8Bit(buildDir);
    QDir dir(root + QStringLiteral("/artefacts/ui"));
    dir.mkpath(QStringLiteral("."));
    return dir.filePath(fileName);
}

}  // namespace velmora::test
