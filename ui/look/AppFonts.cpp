// Font registration through Qt's application font database.
#include "ui/look/AppFonts.hpp"

#include <sys/mman.h>

#include <QByteArray>
#include <QFile>
#include <QFontDatabase>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "ui/look/ResourceBundle.hpp"

namespace velmora {

namespace {

enum class Report { always, onlyFailures };

// The file's bytes as pages mapped from it, shared with every process that maps it, rather than a
// copy in the heap; Qt's font database and engines keep the array as it is given, without copying.
// A registered font is never removed, so the mapping stays for the life of the process (and still
// reads the same bytes should the file be replaced or removed meanwhile). Where the file cannot be
// mapped, its bytes are read.
struct FontBytes {
    enum class Origin { mapped, read };
    QByteArray bytes;
    Origin origin;
};

FontBytes mapped(QFile& file) {
    const qint64 size = file.size();
    void* pages = size > 0 ? ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE,
                                    file.handle(), 0)
                           : MAP_FAILED;
    if (pages == MAP_FAILED) {
        return {file.readAll(), FontBytes::Origin::read};
    }
    return {QByteArray::fromRawData(static_cast<const char*>(pages), static_cast<qsizetype>(size)),
            FontBytes::Origin::mapped};
}

// The font database reads nearly all of a file as it registers it and again as it is next filled,
// which left it resident, some 300 KB a weight of Inter, for the life of the process; the engines
// then read a few tables and the glyphs drawn. The pages go back to the file's page cache, from
// which the bytes read later are mapped again; the mapping and its contents stay as they were.
// Read bytes (a file that could not be mapped) are left alone.
void leaveToThePageCache(const FontBytes& font) {
    if (font.origin == FontBytes::Origin::mapped) {
        ::madvise(const_cast<char*>(font.bytes.constData()),
                  static_cast<std::size_t>(font.bytes.size()), MADV_DONTNEED);
    }
}

// The font files the process maps read-only, as the kernel lists its mappings: the bundle's, and
// the desktop's that Qt's engines map through FreeType themselves.
std::vector<std::pair<void*, std::size_t>> fontFileMappings() {
    std::vector<std::pair<void*, std::size_t>> found;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return found;
    }
    // "start-end perms offset device inode path"
    constexpr qsizetype kPerms = 1;
    constexpr qsizetype kPath = 5;
    constexpr const char* kRemoved = " (deleted)";
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() <= kPath || fields[kPerms] != "r--p") {
            continue;
        }
        // The path may hold spaces; a file removed or replaced since it was mapped is still read
        // through its mapping.
        QByteArray path = fields.mid(kPath).join(' ').toLower();
        if (path.endsWith(kRemoved)) {
            path.chop(qsizetype(std::strlen(kRemoved)));
        }
        if (!path.endsWith(".ttf") && !path.endsWith(".otf") && !path.endsWith(".ttc")) {
            continue;
        }
        const QList<QByteArray> range = fields[0].split('-');
        const auto start = static_cast<std::uintptr_t>(range.value(0).toULongLong(nullptr, 16));
        const auto end = static_cast<std::uintptr_t>(range.value(1).toULongLong(nullptr, 16));
        if (start != 0 && end > start) {
            found.emplace_back(reinterpret_cast<void*>(start), end - start);
        }
    }
    return found;
}

// Registers `name`.ttf; the outcome line is written for the family's main file and for failures.
// A registered file read through a mapping is added to `mappedNow`.
void registerFile(const std::optional<QDir>& bundle, const std::string& name, Report reportWhen,
                  std::vector<FontBytes>& mappedNow, std::string& report) {
    const QString fileName = QString::fromStdString(name) + QStringLiteral(".ttf");
    if (!bundle || !bundle->exists(fileName)) {
        report += "[fonts] " + name + ".ttf not found in bundle\n";
        return;
    }
    QFile file(bundle->filePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        report += "[fonts] " + name + " failed: " + file.errorString().toStdString() + '\n';
        return;
    }
    FontBytes font = mapped(file);
    // Qt refuses a font without saying why: that is the "no error came back" case.
    if (QFontDatabase::addApplicationFontFromData(font.bytes) < 0) {
        leaveToThePageCache(font);
        report += "[fonts] " + name + " failed: unknown\n";
        return;
    }
    if (reportWhen == Report::always) {
        report += "[fonts] registered " + name + '\n';
    }
    if (font.origin == FontBytes::Origin::mapped) {
        mappedNow.push_back(std::move(font));
    }
}

}  // namespace

const std::vector<AppFonts::Family>& AppFonts::families() {
    static const std::vector<Family> list{
        {"Inter", {"Inter-Medium", "Inter-SemiBold", "Inter-Bold"}},
        {"Fraunces", {"Fraunces-SemiBold", "Fraunces-Bold"}},
    };
    return list;
}

void AppFonts::registerFonts() {
    std::string report;
    registerFonts(ResourceBundle::module(), report);
    std::fputs(report.c_str(), stderr);
}

AppFonts::Pending::Pending(std::optional<QDir> bundle)
    : worker_([this, bundle = std::move(bundle)] { registerFonts(bundle, report_); }) {}

AppFonts::Pending::~Pending() = default;

std::string AppFonts::Pending::finish() {
    if (finished_) {
        return {};
    }
    finished_ = true;
    worker_.join();
    return std::move(report_);
}

std::unique_ptr<AppFonts::Pending> AppFonts::registerInBackground() {
    return std::make_unique<Pending>(ResourceBundle::module());
}

void AppFonts::registerFonts(const std::optional<QDir>& bundle, std::string& report) {
    std::vector<FontBytes> mappedNow;
    for (const Family& family : families()) {
        registerFile(bundle, family.name, Report::always, mappedNow, report);
        for (const std::string& weight : family.moreWeights) {
            registerFile(bundle, weight, Report::onlyFailures, mappedNow, report);
        }
    }
    // Each registration empties Qt's font database, which lists the desktop's fonts and reads every
    // registered file once more when next asked: it is asked here, so that the first text measured
    // does not wait for it (at launch this runs on a worker while the model is made, where it
    // would otherwise fall to the window's first measure on the main thread), and so that the
    // files' pages are left to the page cache once nothing reads them whole again.
    QFontDatabase::families();
    for (const FontBytes& font : mappedNow) {
        leaveToThePageCache(font);
    }
}

void AppFonts::leaveFilesToPageCache() {
    for (const auto& [pages, size] : fontFileMappings()) {
        ::madvise(pages, size, MADV_DONTNEED);
    }
}

}  // namespace velmora
