// Font registration through Qt's application font database.
#include "ui/look/AppFonts.hpp"

#include <QFile>
#include <QFontDatabase>
#include <iostream>

#include "ui/look/ResourceBundle.hpp"

namespace velmora {

namespace {

enum class Report { always, onlyFailures };

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
    if (QFontDatabase::addApplicationFontFromData(file.readAll()) < 0) {
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

void AppFonts::registerFonts(const std::optional<QDir>& bundle, std::ostream& err) {
    for (const Family& family : families()) {
        registerFile(bundle, family.name, Report::always, err);
        for (const std::string& weight : family.moreWeights) {
            registerFile(bundle, weight, Report::onlyFailures, err);
        }
    }
}

}  // namespace velmora
