// Layout of the questionnaire and its actions: a header (logo, title, subtitle), the step's
// choices in a scroll area, and the footer (Back, Skip, the step counter, Continue or Done).
#include "ui/sheets/OnboardingDialog.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <array>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sheets/OnboardingTile.hpp"
#include "ui/widgets/Hairline.hpp"
#include "ui/widgets/Logomark.hpp"
#include "ui/widgets/PageStack.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

struct StepText {
    const char* title;
    const char* subtitle;
};

constexpr std::array<StepText, OnboardingDialog::steps> kStepTexts{{
    {"What do you do most?", "Choose any that fit \u2014 we'll tune recommendations to you."},
    {"What matters most?", "Choose what you care about. You can change this anytime."},
    {"Laptop or desktop?", "So we only suggest tweaks that apply to your Mac."},
}};

// Header.
constexpr int kHeaderTop = 30;
constexpr int kHeaderBottom = 18;
constexpr int kHeaderSides = 30;
constexpr int kHeaderSpacing = 9;
constexpr qreal kLogoSize = 30;
constexpr qreal kTitleSize = 24;
constexpr qreal kSubtitleSize = 13;

// Choices.
constexpr int kContentSides = 26;
constexpr int kContentBottom = 8;
constexpr int kGridSpacing = 10;
constexpr int kGridColumns = 2;
constexpr int kDeviceSpacing = 14;
constexpr int kDeviceTop = 8;

// Footer.
constexpr int kFooterSides = 26;
constexpr int kFooterPaddingV = 16;
// The platform's spacing between the items of a row.
constexpr int kFooterSpacing = 8;
constexpr qreal kFooterTextSize = 12.5;
constexpr qreal kCounterSize = 11;
constexpr qreal kNextSize = 13;
constexpr qreal kNextPaddingV = 9;
constexpr qreal kNextPaddingH = 20;
constexpr int kHairline = 1;

// The footer's ground: paper, with a hairline across its top edge.
class Footer : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), Theme::paper());
        paintHairline(painter, QRect(0, 0, width(), kHairline), Theme::hairline());
    }
};

template <class Choice>
void flip(std::set<Choice>& chosen, Choice choice) {
    if (chosen.erase(choice) == 0) {
        chosen.insert(choice);
    }
}

// Two columns of tiles, one per case in declaration order; a click calls `chosen` with its case.
template <class Choice>
QWidget* tileGrid(QString (*name)(std::string_view raw),
                  std::vector<std::pair<Choice, OnboardingTile*>>& tiles,
                  const std::function<void(Choice)>& chosen) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(kGridSpacing);
    for (Choice choice : allCases<Choice>()) {
        auto* tile = new OnboardingTile(std::string(icon(choice)), toQString(title(choice)),
                                        toQString(blurb(choice)));
        tile->setObjectName(name(rawValue(choice)));
        QObject::connect(tile, &QAbstractButton::clicked, page,
                         [chosen, choice] { chosen(choice); });
        const int at = static_cast<int>(tiles.size());
        grid->addWidget(tile, at / kGridColumns, at % kGridColumns, Qt::AlignVCenter);
        tiles.emplace_back(choice, tile);
    }
    for (int column = 0; column < kGridColumns; ++column) {
        grid->setColumnStretch(column, 1);
    }
    return page;
}

}  // namespace

namespace onboardingNames {

namespace {

QString choice(const char* kind, std::string_view raw) {
    return QStringLiteral("onboarding.") + QString::fromLatin1(kind) + QLatin1Char('.') +
           toQString(raw);
}

}  // namespace

QString field(std::string_view raw) {
    return choice("field", raw);
}

QString goal(std::string_view raw) {
    return choice("goal", raw);
}

QString device(std::string_view raw) {
    return choice("device", raw);
}

}  // namespace onboardingNames

OnboardingDialog::OnboardingDialog(AppModel& model, std::function<void()> onComplete,
                                   QWidget* parent)
    : SheetDialog(sheetSize, parent),
      model_(model),
      onComplete_(std::move(onComplete)),
      // The stored answers, so that updating them starts from them.
      fields_(model.profile().fields),
      goals_(model.profile().goals),
      device_(model.profile().device) {
    setObjectName(QString::fromLatin1(onboardingNames::sheet));
    setAccessibleName(QStringLiteral("Personalize"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeHeader());
    column->addWidget(makeContent(), 1);
    column->addWidget(makeFooter());
    setPrimaryButton(next_);
    showState();
}

QWidget* OnboardingDialog::makeHeader() {
    auto* header = new QWidget;
    auto* stack = new QVBoxLayout(header);
    stack->setContentsMargins(kHeaderSides, kHeaderTop, kHeaderSides, kHeaderBottom);
    stack->setSpacing(kHeaderSpacing);
    stack->addWidget(new Logomark(kLogoSize, 0), 0, Qt::AlignHCenter);
    title_ = new TextLabel(DesignFont::fraunces(kTitleSize, FontWeight::bold), Theme::ink());
    title_->setObjectName(QString::fromLatin1(onboardingNames::title));
    title_->setAlignment(Qt::AlignHCenter);
    title_->setRole(QAccessible::Heading);
    stack->addWidget(title_);
    subtitle_ = new TextLabel(DesignFont::inter(kSubtitleSize), Theme::secondary());
    subtitle_->setObjectName(QString::fromLatin1(onboardingNames::subtitle));
    subtitle_->setLineLimit(0);
    subtitle_->setAlignment(Qt::AlignHCenter);
    stack->addWidget(subtitle_);
    return header;
}

QWidget* OnboardingDialog::makeContent() {
    auto* host = new QWidget;
    auto* stack = new QVBoxLayout(host);
    stack->setContentsMargins(kContentSides, 0, kContentSides, kContentBottom);
    stack->setSpacing(0);

    pages_.push_back(
        tileGrid<UserField>(onboardingNames::field, fieldTiles_, [this](UserField field) {
            flip(fields_, field);
            showState();
        }));
    pages_.push_back(tileGrid<UserGoal>(onboardingNames::goal, goalTiles_, [this](UserGoal goal) {
        flip(goals_, goal);
        showState();
    }));
    auto* devices = new QWidget;
    auto* row = new QHBoxLayout(devices);
    row->setContentsMargins(0, kDeviceTop, 0, 0);
    row->setSpacing(kDeviceSpacing);
    for (DeviceKind kind : allCases<DeviceKind>()) {
        auto* card = new DeviceCard(std::string(icon(kind)), toQString(title(kind)));
        card->setObjectName(onboardingNames::device(rawValue(kind)));
        connect(card, &QAbstractButton::clicked, this, [this, kind] {
            device_ = kind;
            showState();
        });
        row->addWidget(card, 1);
        deviceCards_.emplace_back(kind, card);
    }
    pages_.push_back(devices);

    steps_ = new PageStack;
    for (QWidget* page : pages_) {
        steps_->add(page);
    }
    stack->addWidget(steps_);
    stack->addStretch(1);
    return scrollArea(QString::fromLatin1(onboardingNames::scroll), host);
}

QWidget* OnboardingDialog::makeFooter() {
    auto* footer = new Footer;
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(kFooterSides, kFooterPaddingV, kFooterSides, kFooterPaddingV);
    row->setSpacing(kFooterSpacing);
    const DesignFont& plain = DesignFont::inter(kFooterTextSize);
    back_ = new TextButton(plain, Theme::secondary());
    back_->setObjectName(QString::fromLatin1(onboardingNames::back));
    back_->setLabel(QStringLiteral("Back"));
    skip_ = new TextButton(plain, Theme::faint());
    skip_->setObjectName(QString::fromLatin1(onboardingNames::skip));
    skip_->setLabel(QStringLiteral("Skip"));
    counter_ = new TextLabel(DesignFont::monospaced(kCounterSize), Theme::faint());
    counter_->setObjectName(QString::fromLatin1(onboardingNames::counter));
    counter_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    next_ = new TextButton(DesignFont::inter(kNextSize, FontWeight::semibold), Theme::paper());
    next_->setObjectName(QString::fromLatin1(onboardingNames::next));
    next_->setCapsule(Theme::ink(), Theme::ink(), kNextPaddingV, kNextPaddingH);

    row->addWidget(back_);
    row->addWidget(skip_);
    // Equal stretches keep the counter midway between the buttons on its two sides.
    row->addStretch(1);
    row->addWidget(counter_);
    row->addStretch(1);
    row->addWidget(next_);

    connect(back_, &QAbstractButton::clicked, this, [this] { back(); });
    connect(skip_, &QAbstractButton::clicked, this, [this] { skip(); });
    connect(next_, &QAbstractButton::clicked, this, [this] { next(); });
    return footer;
}

void OnboardingDialog::showState() {
    const StepText& text = kStepTexts.at(static_cast<std::size_t>(step_));
    title_->setText(QString::fromUtf8(text.title));
    subtitle_->setText(QString::fromUtf8(text.subtitle));
    steps_->setCurrent(pages_.at(static_cast<std::size_t>(step_)));
    for (const auto& [field, tile] : fieldTiles_) {
        tile->setOn(fields_.contains(field));
    }
    for (const auto& [goal, tile] : goalTiles_) {
        tile->setOn(goals_.contains(goal));
    }
    for (const auto& [kind, card] : deviceCards_) {
        card->setOn(kind == device_);
    }
    back_->setVisible(step_ >= 1);
    const QString counter = QStringLiteral("%1 / %2").arg(step_ + 1).arg(steps);
    counter_->setText(counter);
    counter_->setFixedSize(counter_->sizeHint());
    next_->setLabel(step_ < steps - 1 ? QStringLiteral("Continue") : QStringLiteral("Done"));
}

void OnboardingDialog::back() {
    if (step_ >= 1) {
        --step_;
        showState();
    }
}

void OnboardingDialog::skip() {
    // Once the questionnaire was completed, Skip reads as "leave it": the stored answers stay.
    if (!model_.profile().completedOnboarding) {
        model_.saveProfile({}, {}, device_);
    }
    onComplete_();
}

void OnboardingDialog::next() {
    if (step_ < steps - 1) {
        ++step_;
        showState();
        return;
    }
    model_.saveProfile(fields_, goals_, device_);
    onComplete_();
}

}  // namespace velmora
