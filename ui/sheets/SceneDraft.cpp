// Loading, counting, the bulk choices and the scene Save stores.
#include "ui/sheets/SceneDraft.hpp"

#include <QString>
#include <algorithm>
#include <vector>

namespace velmora {

namespace {

// The icon of a new scene when no icon is offered.
constexpr const char* kFallbackIcon = "bolt.fill";

bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

// `chosen` in the order of `known`, then the rest in the order `before` held them, then anything
// left (none in practice) in set order: nothing chosen is dropped.
template <class Item>
std::vector<std::string> ordered(const std::set<std::string>& chosen,
                                 const std::vector<Item>& known,
                                 const std::vector<std::string>& before) {
    std::vector<std::string> out;
    std::set<std::string> placed;
    const auto place = [&](const std::string& id) {
        if (chosen.contains(id) && placed.insert(id).second) {
            out.push_back(id);
        }
    };
    for (const Item& item : known) {
        place(item.id);
    }
    for (const std::string& id : before) {
        place(id);
    }
    for (const std::string& id : chosen) {
        place(id);
    }
    return out;
}

}  // namespace

SceneDraft SceneDraft::fresh() {
    SceneDraft draft;
    const std::vector<std::string>& icons = SetupIcons::all();
    draft.icon = icons.empty() ? kFallbackIcon : icons.front();
    return draft;
}

SceneDraft SceneDraft::of(const Setup& setup) {
    SceneDraft draft;
    draft.name = setup.name;
    draft.icon = setup.icon;
    draft.tweakIDs = {setup.tweakIDs.begin(), setup.tweakIDs.end()};
    draft.powerIDs = {setup.powerToggleIDs.begin(), setup.powerToggleIDs.end()};
    draft.sliderVals = setup.sliderValues;
    draft.lid = setup.lidClose;
    return draft;
}

std::string SceneDraft::trimmedName() const {
    const QString text = QString::fromStdString(name);
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isBlank(text[first])) {
        ++first;
    }
    while (end > first && isBlank(text[end - 1])) {
        --end;
    }
    return text.mid(first, end - first).toStdString();
}

bool SceneDraft::valid() const {
    return !trimmedName().empty();
}

int SceneDraft::count() const {
    return static_cast<int>(tweakIDs.size() + powerIDs.size() + sliderVals.size()) + (lid ? 1 : 0);
}

void SceneDraft::selectAll(const Catalog& catalog) {
    tweakIDs.clear();
    for (const Tweak& tweak : catalog.tweaks()) {
        tweakIDs.insert(tweak.id);
    }
    powerIDs.clear();
    for (const PowerTweak& toggle : Catalog::powerToggles()) {
        powerIDs.insert(toggle.id);
    }
    sliderVals.clear();
    for (const SliderTweak& slider : Catalog::sliderTweaks()) {
        sliderVals[slider.id] = slider.defaultValue;
    }
    lid = true;
}

void SceneDraft::clearAll() {
    tweakIDs.clear();
    powerIDs.clear();
    sliderVals.clear();
    lid = false;
}

void SceneDraft::fill(const Setup& capture) {
    SceneDraft captured = of(capture);
    captured.name = name;
    captured.icon = icon;
    *this = std::move(captured);
}

Setup SceneDraft::build(const Catalog& catalog, Setup base) const {
    base.name = trimmedName();
    base.icon = icon;
    base.tweakIDs = ordered(tweakIDs, catalog.tweaks(), base.tweakIDs);
    base.powerToggleIDs = ordered(powerIDs, Catalog::powerToggles(), base.powerToggleIDs);
    base.sliderValues = sliderVals;
    base.lidClose = lid;
    return base;
}

}  // namespace velmora
