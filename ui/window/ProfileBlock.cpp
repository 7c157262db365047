// Contents of the profile block and its one action.
#include "ui/window/ProfileBlock.hpp"

#include <QVBoxLayout>

#include "ui/look/Theme.hpp"
#include "ui/widgets/Hairline.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {

namespace {

constexpr int kInsetH = 16;
constexpr int kTop = 12;
constexpr int kBottom = 16;
constexpr int kSpacing = 9;
constexpr int kTunedSpacing = 2;
constexpr qreal kTunedSize = 10;
constexpr qreal kSummarySize = 10.5;
constexpr int kSummaryLines = 2;
constexpr qreal kButtonSymbolSize = 11;
constexpr qreal kButtonSize = 11.5;
constexpr qreal kButtonSpacing = 7;
constexpr int kSummaryTitles = 2;
constexpr const char* kTuned = "Tuned for you";
constexpr const char* kPersonalize = "Personalize";
constexpr const char* kUpdate = "Update preferences";
constexpr const char* kEveryone = "Everyone";
constexpr const char* kTitleSeparator = ", ";
constexpr const char* kDeviceSeparator = " \u00B7 ";

}  // namespace

std::string profileSummary(const UserProfile& profile) {
    std::string summary;
    int taken = 0;
    for (UserField field : allCases<UserField>()) {
        if (taken < kSummaryTitles && profile.fields.contains(field)) {
            summary += (taken == 0 ? "" : kTitleSeparator) + std::string(title(field));
            ++taken;
        }
    }
    if (taken == 0) {
        summary = kEveryone;
    }
    return summary + kDeviceSeparator + std::string(title(profile.device));
}

ProfileBlock::ProfileBlock(MainWindow& window, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("sidebar.profile"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kInsetH, kTop, kInsetH, kBottom);
    column->setSpacing(kSpacing);
    column->addWidget(new Hairline);

    tuned_ = new QWidget;
    auto* tuned = new QVBoxLayout(tuned_);
    tuned->setContentsMargins(0, 0, 0, 0);
    tuned->setSpacing(kTunedSpacing);
    auto* heading =
        new TextLabel(DesignFont::inter(kTunedSize, FontWeight::semibold), Theme::ink());
    heading->setText(QString::fromLatin1(kTuned));
    tuned->addWidget(heading);
    summary_ = new TextLabel(DesignFont::inter(kSummarySize), Theme::secondary());
    summary_->setObjectName(QStringLiteral("sidebar.profileSummary"));
    summary_->setLineLimit(kSummaryLines);
    tuned->addWidget(summary_);
    column->addWidget(tuned_);

    button_ = new LabelButton("wand.and.stars", kButtonSymbolSize,
                              DesignFont::inter(kButtonSize, FontWeight::medium), kButtonSpacing,
                              Theme::accent());
    button_->setObjectName(QStringLiteral("sidebar.profileButton"));
    column->addWidget(button_, 0, Qt::AlignLeading);
    connect(button_, &QAbstractButton::clicked, this,
            [&window] { window.change([](WindowState& state) { state.showOnboarding = true; }); });
}

void ProfileBlock::show(const UserProfile& profile) {
    const bool done = profile.completedOnboarding;
    tuned_->setVisible(done);
    if (done) {
        summary_->setText(toQString(profileSummary(profile)));
    }
    button_->setLabel(QString::fromLatin1(done ? kUpdate : kPersonalize));
}

}  // namespace velmora
