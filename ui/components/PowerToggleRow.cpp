// PowerToggleRow: always "ADMIN", shown as of the sync its list hands it.
#include "ui/components/PowerToggleRow.hpp"

#include "ui/look/Icons.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/SyncCache.hpp"

namespace velmora {

namespace {

std::vector<QString> chipsOf(const PowerTweak& tweak) {
    std::vector<QString> chips{QStringLiteral("ADMIN")};
    if (tweak.tier == TweakTier::advanced) {
        chips.push_back(QStringLiteral("ADVANCED"));
    }
    return chips;
}

}  // namespace

PowerToggleRow::PowerToggleRow(AppModel& model, PowerTweak tweak, QWidget* parent)
    : SwitchRow(
          tweak.id, Icons::tweak(tweak.id, TweakCategory::power), tintIndex, tweak.title,
          tweak.summary, chipsOf(tweak), [this] { model_.toggleFavorite(tweak_); },
          [this] { model_.togglePowerToggle(tweak_); }, parent),
      model_(model),
      tweak_(std::move(tweak)) {
    setReader(model_, [this](const SyncCache& now) {
        return State{now.isOn(tweak_), model_.isFavorite(tweak_)};
    });
}

}  // namespace velmora
