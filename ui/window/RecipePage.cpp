// Layout of a recipe's page and what each sync shows on it.
#include "ui/window/RecipePage.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/components/ApplyPill.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Icons.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/SyncCache.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/BackButton.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/PageBlocks.hpp"

namespace velmora {

namespace {

constexpr int kSpacing = 14;
constexpr int kHeaderSpacing = 13;
constexpr qreal kTileSide = 48;
constexpr qreal kTileRadius = 13;
constexpr qreal kTileSymbolSize = 22;
constexpr qreal kTileSymbolOpacity = 0.78;
// The tint of a recipe none of whose tweaks the catalog holds.
constexpr int kFallbackTint = 5;
constexpr int kTextSpacing = 3;
constexpr qreal kTitleSize = 19;
constexpr qreal kSummarySize = 12;
constexpr int kMinimumSpacer = 10;
constexpr int kControlsSpacing = 10;
constexpr qreal kCountSize = 11;
constexpr const char* kCountSuffix = " power-ups \u00B7 all reversible";

// The recipe's items that the catalog holds, in recipe order.
std::vector<Tweak> resolvedTweaks(const Recipe& recipe, const Catalog& catalog) {
    std::vector<Tweak> tweaks;
    for (const RecipeItem& item : recipe.items) {
        if (std::optional<Tweak> tweak = catalog.tweak(item.tweakID)) {
            tweaks.push_back(std::move(*tweak));
        }
    }
    return tweaks;
}

}  // namespace

RecipePage::RecipePage(MainWindow& window) : window_(window) {
    AppModel& model = window.model;
    QVBoxLayout& column = pageColumn(*this, kSpacing);
    back_ = window.backButton(window.state().backTo);
    column.addWidget(back_, 0, Qt::AlignLeft);

    header_ = new QWidget;
    auto* header = new QHBoxLayout(header_);
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(kHeaderSpacing);
    tile_ = new SymbolView(Icons::recipe({}), kTileSymbolSize,
                           withOpacity(Theme::ink(), kTileSymbolOpacity));
    tile_->setObjectName(QStringLiteral("recipe.tile"));
    tile_->setTile(kTileSide, kTileRadius, Theme::tint(kFallbackTint));
    header->addWidget(tile_, 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(kTextSpacing);
    title_ = paragraph({}, DesignFont::fraunces(kTitleSize, FontWeight::bold), Theme::ink());
    title_->setObjectName(QStringLiteral("recipe.title"));
    title_->setRole(QAccessible::Heading);
    texts->addWidget(title_);
    summary_ = paragraph({}, DesignFont::inter(kSummarySize), Theme::secondary());
    summary_->setObjectName(QStringLiteral("recipe.summary"));
    texts->addWidget(summary_);
    header->addLayout(texts, 1);
    // The spacer's least length, with the stack's spacing on both of its sides.
    header->addSpacing(kMinimumSpacer + kHeaderSpacing);
    auto* controls = new QVBoxLayout;
    controls->setSpacing(kControlsSpacing);
    star_ = new StarButton(false, [this, &model] {
        if (recipe_) {
            model.toggleFavorite(*recipe_);
        }
    });
    star_->setObjectName(QStringLiteral("recipe.star"));
    controls->addWidget(star_, 0, Qt::AlignRight);
    // toggle() reads the applied recipes again at the click: revert when applied, else apply.
    pill_ = new ApplyPill(false, [this, &model] {
        if (recipe_) {
            model.toggle(*recipe_);
        }
    });
    pill_->setObjectName(QStringLiteral("recipe.pill"));
    controls->addWidget(pill_, 0, Qt::AlignRight);
    header->addLayout(controls);
    column.addWidget(header_);

    count_ = new TextLabel(DesignFont::inter(kCountSize), Theme::faint());
    count_->setObjectName(QStringLiteral("recipe.count"));
    column.addWidget(count_);
    list_ = new TweakListCard(model);
    list_->setObjectName(QStringLiteral("recipe.list"));
    column.addWidget(list_);
}

std::optional<Recipe> RecipePage::current() const {
    const std::string& id = window_.state().selection.recipeID;
    for (const Recipe& recipe : window_.model.catalog().recipes()) {
        if (recipe.id == id) {
            return recipe;
        }
    }
    return std::nullopt;
}

void RecipePage::sync(const WindowView& view) {
    recipe_ = current();
    for (QWidget* part : std::initializer_list<QWidget*>{back_, header_, count_, list_}) {
        part->setVisible(recipe_.has_value());
    }
    if (!recipe_) {
        return;
    }
    const AppModel& model = view.window.model;
    const std::vector<Tweak> tweaks = resolvedTweaks(*recipe_, model.catalog());
    back_->setTarget(view.state.backTo);
    tile_->setSymbol(Icons::recipe(recipe_->id));
    tile_->setTileFill(
        Theme::tint(tweaks.empty() ? kFallbackTint : categoryTintIndex(tweaks.front().category)));
    title_->setText(toQString(recipe_->title));
    summary_->setText(toQString(recipe_->summary));
    star_->setOn(model.isFavorite(*recipe_));
    pill_->setApplied(view.now.isApplied(*recipe_));
    count_->setText(QString::number(tweaks.size()) + QString::fromUtf8(kCountSuffix));
    list_->show(tweaks);
}

}  // namespace velmora
