// Layout of the new-automation form, its rules for the scene and the add button, and the rule it
// builds.
#include "ui/window/NewRuleCard.hpp"

#include <QHBoxLayout>
#include <QMenu>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/Uuid.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/MenuPill.hpp"
#include "ui/widgets/Stepper.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/widgets/TimeField.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

namespace {

using Kind = AutomationRule::Kind;

constexpr int kPadding = 16;
constexpr int kSpacing = 12;
constexpr int kRowSpacing = 8;
constexpr int kLeastTrailingGap = 4;
constexpr qreal kCaptionSize = 9.5;
constexpr qreal kCaptionTracking = 1;
constexpr qreal kTextSize = 12.5;
constexpr qreal kAddPaddingV = 7;
constexpr qreal kAddPaddingH = 16;
constexpr const char* kCaption = "NEW AUTOMATION";
constexpr const char* kWhen = "When";
constexpr const char* kSwitchTo = "switch to";
constexpr const char* kAdd = "Add automation";
constexpr const char* kChooseApp = "Choose app";
// The app menu's one item while the scan finds no application: a menu that opens empty, or not at
// all, would look broken.
constexpr const char* kNoApps = "No applications found";
constexpr const char* kAppSymbol = "app.fill";
constexpr const char* kNoScene = "a scene";
constexpr const char* kSceneSymbol = "square.stack.3d.up.fill";

// The scene the form names: the chosen one while it exists, else the first; none without scenes.
const Setup* formScene(const WindowState& state, const std::vector<Setup>& setups) {
    if (state.newRuleSetupID) {
        const auto chosen = std::find_if(setups.begin(), setups.end(), [&](const Setup& setup) {
            return setup.id == *state.newRuleSetupID;
        });
        if (chosen != setups.end()) {
            return &*chosen;
        }
    }
    return setups.empty() ? nullptr : &setups.front();
}

bool canAddRule(const WindowState& state, const std::vector<Setup>& setups) {
    if (setups.empty()) {
        return false;
    }
    return !needsApp(state.newRuleKind) || !state.newRuleAppBundle.empty();
}

TextLabel* text(const char* value, const DesignFont& font, const QColor& colour) {
    auto* label = new TextLabel(font, colour);
    label->setText(QString::fromUtf8(value));
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

MenuPill* menuPill(const char* name) {
    auto* pill = new MenuPill;
    pill->setObjectName(QString::fromLatin1(name));
    return pill;
}

// Refills `pill` with `items` unless it shows them already; an open menu is left alone until it
// closes, when the sync that follows refills it.
template <class Item, class Fill>
void refill(MenuPill& pill, std::vector<Item>& shown, std::vector<Item> items, AppModel& model,
            Fill fill) {
    if (items == shown) {
        return;
    }
    if (pill.menu().isVisible()) {
        ModelSync::of(model).postponeRebuild(pill);
        return;
    }
    pill.clearItems();
    shown = std::move(items);
    fill();
}

}  // namespace

NewRuleCard::NewRuleCard(MainWindow& window, QWidget* parent)
    : Card(listRadius, parent), window_(window) {
    setObjectName(QString::fromLatin1(newRuleNames::form));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kSpacing);
    const DesignFont& plain = DesignFont::inter(kTextSize);
    column->addWidget(text(kCaption,
                           DesignFont::inter(kCaptionSize, FontWeight::semibold, kCaptionTracking),
                           Theme::faint()));

    auto* when = new QHBoxLayout;
    when->setSpacing(kRowSpacing);
    when->addWidget(text(kWhen, plain, Theme::secondary()));
    kind_ = menuPill(newRuleNames::kind);
    for (const Kind kind : allCases<Kind>()) {
        kind_->addItem(toQString(label(kind)), std::string(icon(kind)), [&window, kind] {
            window.change([kind](WindowState& state) { state.newRuleKind = kind; });
        });
    }
    when->addWidget(kind_);
    threshold_ = new Stepper(minimumThreshold, maximumThreshold, thresholdStep);
    threshold_->setObjectName(QString::fromLatin1(newRuleNames::threshold));
    threshold_->setDesignFont(plain);
    threshold_->setFormat([](int value) { return QString::number(value) + QLatin1Char('%'); });
    connect(threshold_, &Stepper::valueChanged, this, [&window](int value) {
        window.change([value](WindowState& state) { state.newRuleThreshold = value; });
    });
    when->addWidget(threshold_);
    time_ = new TimeField;
    time_->setObjectName(QString::fromLatin1(newRuleNames::time));
    time_->setDesignFont(plain);
    // It shows no label: it is named by the kind it follows in the sentence, and reads its time
    // as its value.
    time_->setAccessibleName(toQString(label(Kind::atTime)));
    connect(time_, &QTimeEdit::timeChanged, this, [&window](QTime time) {
        window.change([time](WindowState& state) {
            state.newRuleTime.setTime(QTime(time.hour(), time.minute()));
        });
    });
    when->addWidget(time_);
    app_ = menuPill(newRuleNames::app);
    addNoAppsItem();
    when->addWidget(app_);
    when->addSpacing(kLeastTrailingGap);
    when->addStretch(1);
    column->addLayout(when);

    auto* target = new QHBoxLayout;
    target->setSpacing(kRowSpacing);
    target->addWidget(text(kSwitchTo, plain, Theme::secondary()));
    scene_ = menuPill(newRuleNames::scene);
    target->addWidget(scene_);
    target->addStretch(1);
    add_ = new TextButton(DesignFont::inter(kTextSize, FontWeight::semibold), Theme::paper());
    add_->setObjectName(QString::fromLatin1(newRuleNames::add));
    add_->setLabel(QString::fromLatin1(kAdd));
    add_->setCapsule(Theme::accent(), Theme::faint(), kAddPaddingV, kAddPaddingH);
    add_->setCursor(Qt::PointingHandCursor);
    connect(add_, &QAbstractButton::clicked, this, &NewRuleCard::addRule);
    target->addWidget(add_);
    column->addLayout(target);
}

void NewRuleCard::show(const WindowView& view) {
    const WindowState& state = view.state;
    const std::vector<Setup>& setups = view.now.model().setups();
    const Kind kind = state.newRuleKind;
    kind_->setLabel(toQString(label(kind)), std::string(icon(kind)));

    threshold_->setVisible(needsThreshold(kind));
    threshold_->setValue(state.newRuleThreshold);

    time_->setVisible(needsTime(kind));
    const QTime chosen = state.newRuleTime.time();
    if (time_->time().hour() != chosen.hour() || time_->time().minute() != chosen.minute()) {
        const QSignalBlocker quiet(time_);
        time_->setTime(QTime(chosen.hour(), chosen.minute()));
    }

    app_->setVisible(needsApp(kind));
    app_->setLabel(state.newRuleAppName.empty() ? QString::fromLatin1(kChooseApp)
                                                : toQString(state.newRuleAppName),
                   kAppSymbol);
    showApps(state.installedAppList);

    const Setup* scene = formScene(state, setups);
    scene_->setLabel(scene != nullptr ? toQString(scene->name) : QString::fromLatin1(kNoScene),
                     kSceneSymbol);
    showScenes(setups);

    add_->setEnabled(canAddRule(state, setups));
}

void NewRuleCard::addNoAppsItem() {
    app_->addItem(QString::fromLatin1(kNoApps), {}, [] {})->setEnabled(false);
}

void NewRuleCard::showApps(const std::vector<AppPick>& apps) {
    refill(*app_, appItems_, apps, window_.model, [this] {
        if (appItems_.empty()) {
            addNoAppsItem();
        }
        for (const AppPick& pick : appItems_) {
            app_->addItem(toQString(pick.name), {}, [this, pick] {
                window_.change([&pick](WindowState& state) {
                    state.newRuleAppBundle = pick.id;
                    state.newRuleAppName = pick.name;
                });
            });
        }
    });
}

void NewRuleCard::showScenes(const std::vector<Setup>& setups) {
    std::vector<std::pair<std::string, std::string>> items;
    items.reserve(setups.size());
    for (const Setup& setup : setups) {
        items.emplace_back(setup.id, setup.name);
    }
    refill(*scene_, sceneItems_, std::move(items), window_.model, [this] {
        for (const auto& [id, name] : sceneItems_) {
            scene_->addItem(toQString(name), {}, [this, id = id] {
                window_.change([&id](WindowState& state) { state.newRuleSetupID = id; });
            });
        }
    });
}

void NewRuleCard::addRule() {
    const WindowState& state = window_.state();
    const std::vector<Setup>& setups = window_.model.setups();
    const Setup* scene = formScene(state, setups);
    if (scene == nullptr || !canAddRule(state, setups)) {
        return;
    }
    // Every field comes from the form whatever the kind, as the stored rules always carry them.
    const QTime time = state.newRuleTime.time();
    window_.model.addRule(AutomationRule{
        .id = Uuid::random().string(),
        .kind = state.newRuleKind,
        .setupID = scene->id,
        .enabled = true,
        .threshold = state.newRuleThreshold,
        .hour = time.hour(),
        .minute = time.minute(),
        .appBundleID = state.newRuleAppBundle,
        .appName = state.newRuleAppName,
    });
}

}  // namespace velmora
