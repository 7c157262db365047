// What the status item's panel lists, worked out from the model without any widget: favourites
// (or a note when there are none), up to four power-ups recommended for the profile, and every
// recipe. MenuBarView draws exactly this; its rules are tested on this function.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora {

class AppModel;
class SyncCache;

struct MenuRow {
    enum class Kind { recipe, tweak, power };
    Kind kind;
    // The recipe's, tweak's or power setting's id; the keep-awake row is "never-sleep".
    std::string id;
    std::string title;
    // Applied, enabled or on.
    bool on = false;
    // Re-reads the model at the click and asks it for the opposite.
    std::function<void()> action;
};

struct MenuSection {
    std::string heading;  // shown as written; empty for none
    std::string note;     // a text instead of rows; empty for none
    std::vector<MenuRow> rows;
    bool divider = false;  // a hairline after the section
};

// The "never-sleep" row's id and the most rows the recommendations show.
constexpr const char* neverSleepID = "never-sleep";
constexpr std::size_t recommendedRowLimit = 4;

std::vector<MenuSection> menuSections(AppModel& model, const SyncCache& cache);

}  // namespace velmora
