// The scene the editor holds until Save: its name, icon and choices. Choices are sets and a map,
// so a choice is in the scene or not; ids the catalog no longer has stay in them as loaded.
#pragma once

#include <map>
#include <set>
#include <string>

#include "kit/Catalog.hpp"
#include "kit/Setup.hpp"

namespace velmora {

struct SceneDraft {
    std::string name;
    // Starts as the first of SetupIcons::all().
    std::string icon;
    std::set<std::string> tweakIDs;
    std::set<std::string> powerIDs;
    // A slider is in the scene exactly when its id is a key.
    std::map<std::string, double> sliderVals;
    bool lid = false;

    // A new scene: no name, the first offered icon, nothing chosen.
    static SceneDraft fresh();
    // A stored scene, its ids taken as they are.
    static SceneDraft of(const Setup& setup);

    // The name without the tabs and spaces around it (line breaks stay, as they would be seen).
    std::string trimmedName() const;
    // Whether Save may store it: the trimmed name is not empty.
    bool valid() const;
    // Tweaks, power settings and sliders chosen, plus one for keep-awake: the scene's item count.
    int count() const;

    // Every tweak of the catalog, every power setting, every slider at its default value and
    // keep-awake; the name and icon stay.
    void selectAll(const Catalog& catalog);
    // Nothing chosen; the name and icon stay.
    void clearAll();
    // The choices of `capture` replace these; the name and icon stay.
    void fill(const Setup& capture);

    // `base` (the stored scene, or a new one with its id) with this name trimmed, this icon and
    // these choices. The id lists follow the catalog's order; ids it does not have follow, in the
    // order `base` held them. What `base` holds beyond the scene's fields stays.
    Setup build(const Catalog& catalog, Setup base) const;
};

}  // namespace velmora
