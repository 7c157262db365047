// TweakRow: tinted by category, shown as of the sync its list hands it.
#include "ui/components/TweakRow.hpp"

#include "ui/look/Icons.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/SyncCache.hpp"

namespace velmora {

namespace {

std::vector<QString> chipsOf(const Tweak& tweak) {
    if (tweak.tier == TweakTier::advanced) {
        return {QStringLiteral("ADVANCED")};
    }
    return {};
}

}  // namespace

TweakRow::TweakRow(AppModel& model, Tweak tweak, QWidget* parent)
    : SwitchRow(
          tweak.id, Icons::tweak(tweak.id, tweak.category), categoryTintIndex(tweak.category),
          tweak.title, tweak.summary, chipsOf(tweak), [this] { model_.toggleFavorite(tweak_); },
          // toggleTweak reads the engine again (off when it fails) and sets the opposite.
          [this] { model_.toggleTweak(tweak_); }, parent),
      model_(model),
      tweak_(std::move(tweak)) {
    setReader(model_, [this](const SyncCache& now) {
        return State{now.isOn(tweak_), model_.isFavorite(tweak_)};
    });
}

int TweakRow::shapeOf(const Tweak& tweak) {
    return static_cast<int>(chipsOf(tweak).size());
}

void TweakRow::relabel(const Tweak& tweak) {
    SwitchRow::relabel(tweak.title, tweak.summary);
}

}  // namespace velmora
