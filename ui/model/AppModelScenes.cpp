// Scenes (snapshots of the live state, kept in `setups` and switched to) and the list of
// automation rules with its stored copy.
#include <algorithm>
#include <cstdio>
#include <set>

#include <QString>

#include "kit/Uuid.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/model/ErrorText.hpp"

namespace velmora {

namespace {

std::string trimmed(const std::string& text) {
    return QString::fromStdString(text).trimmed().toStdString();
}

template <class Item>
typename std::vector<Item>::iterator firstWithID(std::vector<Item>& items, const std::string& id) {
    return std::find_if(items.begin(), items.end(),
                        [&](const Item& item) { return item.id == id; });
}

// Gives each record whose id an earlier one already has a fresh id; one line per change, naming
// the record by `noun`.
template <class Item>
std::vector<std::string> freshenSharedIDs(std::vector<Item>& items, const char* noun) {
    std::set<std::string> seen;
    std::vector<std::string> changes;
    for (Item& item : items) {
        if (seen.insert(item.id).second) {
            continue;
        }
        std::string fresh = Uuid::random().string();
        changes.push_back(std::string("two stored ") + noun + "s share the id \"" + item.id +
                          "\"; the later one now has the id \"" + fresh + "\"");
        item.id = std::move(fresh);
        seen.insert(item.id);
    }
    return changes;
}

}  // namespace

void AppModel::separateSharedIDs() {
    const auto separate = [this](auto items, const char* key, const char* noun, auto assign,
                                 auto persist) {
        const std::vector<std::string> changes = freshenSharedIDs(items, noun);
        if (changes.empty()) {
            return;
        }
        for (const std::string& change : changes) {
            std::fprintf(stderr, "Velmora: %s\n", change.c_str());
        }
        keptAside_[key] = {std::string("its ") + noun + "s shared ids",
                           std::string(key) + Keys::sharedIDsSuffix};
        // Stored now, so that each record keeps its new id at the next start too; should that
        // fail, the separated list still holds in memory and is stored with the next change.
        assign(items);
        persist();
    };
    separate(
        setups_, Keys::setups, "scene",
        [this](const std::vector<Setup>& setups) {
            storedSetups_ = setups;
            setSetups(setups);
        },
        [this] { persistSetups(); });
    separate(
        rules_, Keys::rules, "rule",
        [this](const std::vector<AutomationRule>& rules) {
            storedRules_ = rules;
            setRules(rules);
        },
        [this] { persistRules(); });
}

Setup AppModel::captureCurrentSetup(const std::string& name, const std::string& icon) {
    Setup setup;
    setup.id = Uuid::random().string();
    setup.name = name;
    setup.icon = icon;
    for (const Tweak& tweak : catalog_.tweaks()) {
        if (isEnabled(tweak)) {
            setup.tweakIDs.push_back(tweak.id);
        }
    }
    for (const PowerTweak& toggle : enabledPowerToggles()) {
        setup.powerToggleIDs.push_back(toggle.id);
    }
    for (const SliderTweak& slider : sliderTweaks()) {
        // A value that only counts while its companion is set (the Dock's magnified size while
        // magnification is off) would switch the companion on when the scene is applied.
        if (slider.companionKey && slider.companionValue &&
            engine_->rawValue(*slider.companionKey) != slider.companionValue) {
            continue;
        }
        setup.sliderValues[slider.id] = sliderValue(slider);
    }
    setup.lidClose = keepAwakeWithLidClosed_;
    return setup;
}

void AppModel::saveSetup(const std::string& name, const std::string& icon) {
    const std::string clean = trimmed(name);
    if (clean.empty()) {
        return;
    }
    catchUpSetups();
    std::vector<Setup> setups = setups_;
    setups.push_back(captureCurrentSetup(clean, icon));
    setSetups(std::move(setups));
    persistSetups();
}

void AppModel::upsertSetup(const Setup& setup) {
    const Setup given = setup;  // may be an element of the list, which catching up replaces
    catchUpSetups();
    std::vector<Setup> setups = setups_;
    if (auto found = firstWithID(setups, given.id); found != setups.end()) {
        *found = given;
    } else {
        setups.push_back(given);
    }
    setSetups(std::move(setups));
    persistSetups();
}

void AppModel::deleteSetup(const Setup& setup) {
    const Setup given = setup;  // may be an element of the list, which catching up replaces
    catchUpSetups();
    std::vector<Setup> setups = setups_;
    std::erase_if(setups, [&](const Setup& s) { return s.id == given.id; });
    setSetups(std::move(setups));
    persistSetups();
}

void AppModel::renameSetup(const Setup& setup, const std::string& name) {
    const std::string clean = trimmed(name);
    if (clean.empty()) {
        return;
    }
    const Setup given = setup;  // may be an element of the list, which catching up replaces
    catchUpSetups();
    std::vector<Setup> setups = setups_;
    auto found = firstWithID(setups, given.id);
    if (found == setups.end()) {
        return;
    }
    found->name = clean;
    setSetups(std::move(setups));
    persistSetups();
}

void AppModel::updateSetupToCurrent(const Setup& setup) {
    const Setup given = setup;  // may be an element of the list, which catching up replaces
    catchUpSetups();
    if (firstWithID(setups_, given.id) == setups_.end()) {
        return;
    }
    Setup capture = captureCurrentSetup(given.name, given.icon);
    capture.id = given.id;
    std::vector<Setup> setups = setups_;
    const auto stored = firstWithID(setups, given.id);
    capture.unknownMembers = stored->unknownMembers;  // what a newer version stored stays
    *stored = std::move(capture);
    setSetups(std::move(setups));
    persistSetups();
}

void AppModel::switchTweaksTo(const std::set<std::string>& wanted) {
    for (const Tweak& tweak : catalog_.tweaks()) {
        const bool on = wanted.contains(tweak.id);
        if (engine_->isEnabled(tweak) != on) {
            engine_->setEnabled(on, tweak);
        }
    }
}

void AppModel::applySetup(const Setup& setup) {
    // Each phase reports on its own; a failed tweak ends only the tweak phase.
    const std::set<std::string> wanted(setup.tweakIDs.begin(), setup.tweakIDs.end());
    report(attempt([&] { switchTweaksTo(wanted); }));

    for (const auto& [id, value] : setup.sliderValues) {
        const auto& sliders = sliderTweaks();
        auto slider = std::find_if(sliders.begin(), sliders.end(),
                                   [&wanted = id](const SliderTweak& s) { return s.id == wanted; });
        if (slider != sliders.end()) {
            setSliderValue(*slider, value);
        }
    }

    const std::set<std::string> listed(setup.powerToggleIDs.begin(), setup.powerToggleIDs.end());
    for (const PowerTweak& toggle : powerToggles()) {
        if (listed.contains(toggle.id) && !isPowerToggleOn(toggle)) {
            report(attempt([&] { power_.settingWriter(toggle.key, toggle.onValue); }));
        }
    }

    if (setup.lidClose && !keepAwakeWithLidClosed_) {
        toggleKeepAwakeWithLidClosed();
    }
}

// Automation rules.

void AppModel::addRule(const AutomationRule& rule) {
    const AutomationRule given = rule;  // may be an element of the list, which catching up replaces
    catchUpRules();
    std::vector<AutomationRule> rules = rules_;
    rules.push_back(given);
    setRules(std::move(rules));
    persistRules();
}

void AppModel::deleteRule(const AutomationRule& rule) {
    const AutomationRule given = rule;  // may be an element of the list, which catching up replaces
    catchUpRules();
    std::vector<AutomationRule> rules = rules_;
    std::erase_if(rules, [&](const AutomationRule& r) { return r.id == given.id; });
    setRules(std::move(rules));
    persistRules();
}

void AppModel::toggleRule(const AutomationRule& rule) {
    const AutomationRule given = rule;  // may be an element of the list, which catching up replaces
    catchUpRules();
    std::vector<AutomationRule> rules = rules_;
    auto found = firstWithID(rules, given.id);
    if (found == rules.end()) {
        return;
    }
    found->enabled = !found->enabled;
    setRules(std::move(rules));
    persistRules();
}

}  // namespace velmora
