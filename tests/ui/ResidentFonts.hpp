// What of the font files the process maps is resident, as /proc/self/maps and smaps tell, and a
// read of them whole, as the font database and new font engines read them.
#pragma once

#include <QFile>
#include <cstdint>
#include <vector>

namespace velmora::testing {

constexpr qint64 kKib = 1024;
constexpr std::uintptr_t kPage = 4096;
// "start-end perms offset device inode path", in /proc/self/maps and smaps alike.
constexpr qsizetype kPathField = 5;

// The process's mappings of font files, each as its address range.
struct FontMapping {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
};

// The bundle's files and the desktop's monospaced face, which Qt maps itself; the files other tests
// registered from folders removed since too.
inline bool isFontFile(const QByteArray& path) {
    QByteArray lower = path.toLower();
    lower.replace(" (deleted)", "");
    return lower.endsWith(".ttf") || lower.endsWith(".otf") || lower.endsWith(".ttc");
}

inline std::vector<FontMapping> fontMappings() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    std::vector<FontMapping> found;
    if (!maps.open(QIODevice::ReadOnly)) {
        return found;
    }
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > kPathField && isFontFile(fields.mid(kPathField).join(' '))) {
            const QList<QByteArray> range = fields[0].split('-');
            found.push_back({range[0].toULongLong(nullptr, 16), range[1].toULongLong(nullptr, 16)});
        }
    }
    return found;
}

// What a font engine does when it is made for a new size, and the font database when it lists the
// files again: every page of the files read.
inline void readFontFilesWhole() {
    for (const FontMapping& mapping : fontMappings()) {
        for (std::uintptr_t at = mapping.start; at < mapping.end; at += kPage) {
            (void)*reinterpret_cast<const volatile char*>(at);
        }
    }
}

inline qint64 fontFilesBytes() {
    qint64 bytes = 0;
    for (const FontMapping& mapping : fontMappings()) {
        bytes += static_cast<qint64>(mapping.end - mapping.start);
    }
    return bytes;
}

// Kilobytes resident from font files.
inline qint64 residentFontKib() {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) {
        return -1;
    }
    qint64 total = 0;
    bool inFont = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        // A mapping's line starts with its address range, each of its fields with "Name:".
        if (!line.isEmpty() && !line.left(line.indexOf(' ')).endsWith(':')) {
            inFont = isFontFile(line.simplified().split(' ').mid(kPathField).join(' '));
        } else if (inFont && line.startsWith("Rss:")) {
            total += line.mid(4).trimmed().split(' ').front().toLongLong();
        }
    }
    return total;
}

// An eighth of the files' size: what is left resident once they were left to the page cache.
inline qint64 fewFontKib() {
    constexpr qint64 kAtMostAnEighth = 8;
    return fontFilesBytes() / kKib / kAtMostAnEighth;
}

}  // namespace velmora::testing
