// Font registration through Qt's application font database.
#include "ui/look/AppFonts.hpp"

#include <sys/mman.h>

#include <QByteArray>
#include <QFile>
#include <QFontDatabase>
#include <iostream>

#include "ui/look/ResourceBundle.hpp"

namespace velmora {

namespace {

enum class Report { always, onlyFailures };

// The file's bytes as pages mapped from it, shared with every process that maps it, rather than a
// copy in the heap; Qt's font database and engines keep the array as it is given, without copying.
// A registered font is never removed, so the mapping stays for the life of the process (and still
// reads the same bytes should the file be replaced or removed meanwhile). Where the file cannot be
// mapped, its bytes are read.
QByteArray mapped(QFile& file) {
    const qint64 size = file.size();
    void* pages = size > 0 ? ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE,
                                    file.handle(), 0)
                           : MAP_FAILED;
    if (pages == MAP_FAILED) {
        return file.readAll();
    }
    return QByteArray::fromRawData(static_cast<const char*>(pages), static_cast<qsizetype>(size));
}

// Registers `name`.ttf; the outcome line is written for the family's main file and for failures.
void registerFile(const std::optional<QDir>& bundle, const std::string& name, Report report,
                  std::ostream& err) {
    const QString fileName = QString::fromStdString(name) + QStringLiteral(".ttf");
    if (!bundle || !bundle->exists(fileName)) {
        err << "[fonts] " << name << ".ttf not found in bundle\n" << std::flush;
        return;
    }
    QFile file(bundle->filePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        err << "[fonts] " << name << " failed: " << file.errorString().toStdString() << '\n'
            << std::flush;
        return;
    }
    // Qt refuses a font without saying why: that is the "no error came back" case.
    if (QFontDatabase::addApplicationFontFromData(mapped(file)) < 0) {
        err << "[fonts] " << name << " failed: unknown\n" << std::flush;
        return;
    }
    if (report == Report::always) {
        err << "[fonts] registered " << name << '\n' << std::flush;
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
    registerFonts(ResourceBundle::module(), std::cerr);
}

AppFonts::Pending::Pending(std::optional<QDir> bundle)
    : worker_([this, bundle = std::move(bundle)] {
          registerFonts(bundle, report_);
          // Qt lists the desktop's own fonts when a font is first resolved, and the first text the
          // window measures would wait for it on the main thread: the worker lists them while
          // the model is made. The list is the process's own, whatever thread fills it.
          QFontDatabase::families();
      }) {}

AppFonts::Pending::~Pending() = default;

void AppFonts::Pending::finish(std::ostream& err) {
    if (finished_) {
        return;
    }
    finished_ = true;
    worker_.join();
    err << report_.str() << std::flush;
}

std::unique_ptr<AppFonts::Pending> AppFonts::registerInBackground() {
    return std::make_unique<Pending>(ResourceBundle::module());
}

void AppFonts::registerFonts(const std::optional<QDir>& bundle, std::ostream& err) {
    for (const Family& family : families()) {
        registerFile(bundle, family.name, Report::always, err);
        for (const std::string& weight : family.moreWeights) {
            registerFile(bundle, weight, Report::onlyFailures, err);
        }
    }
}

}  // namespace velmora
