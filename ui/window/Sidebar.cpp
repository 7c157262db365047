// Layout of the sidebar and what each sync changes in it.
#include "ui/window/Sidebar.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/widgets/SlimScrollBar.hpp"

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/SyncCache.hpp"
#include "ui/widgets/Hairline.hpp"
#include "ui/widgets/Logomark.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/NavRow.hpp"
#include "ui/window/Page.hpp"
#include "ui/window/ProfileBlock.hpp"
#include "ui/window/ScenesSection.hpp"
#include "ui/window/SuggestionCard.hpp"

namespace velmora {

namespace {

// The column's own colour, a shade darker than the paper.
constexpr QRgb kBackground = 0xEFEADF;
constexpr int kEdgeWidth = 1;

constexpr int kHeaderInsetH = 16;
constexpr int kHeaderTop = 26;
constexpr int kHeaderBottom = 16;
constexpr int kHeaderSpacing = 8;
constexpr qreal kLogoSize = 19;
constexpr qreal kNameSize = 16;
constexpr const char* kProductName = "Velmora";

constexpr int kRowsInsetH = 9;
constexpr int kRowSpacing = 1;
constexpr int kAutomationsTop = 3;

constexpr int kSectionInsetH = 19;
constexpr int kSectionTop = 16;
constexpr int kSectionBottom = 5;
constexpr qreal kSectionSize = 9;
constexpr qreal kSectionTracking = 1.1;
constexpr const char* kLibrary = "LIBRARY";

// Between the scrolling part and the suggestion, at least.
constexpr int kPinnedGap = 14;
constexpr int kSuggestionInsetH = 12;
constexpr int kSuggestionBottom = 12;

QVBoxLayout* rowStack(QVBoxLayout& column, int top = 0) {
    auto* rows = new QVBoxLayout;
    rows->setContentsMargins(kRowsInsetH, top, kRowsInsetH, 0);
    rows->setSpacing(kRowSpacing);
    column.addLayout(rows);
    return rows;
}

}  // namespace

TextLabel* sidebarSectionLabel(const QString& text) {
    auto* label = new TextLabel(
        DesignFont::inter(kSectionSize, FontWeight::semibold, kSectionTracking), Theme::faint());
    label->setText(text);
    return label;
}

Sidebar::Sidebar(MainWindow& window, QWidget* parent) : CardCanvas(parent) {
    setObjectName(QStringLiteral("sidebar"));
    // Its paint fills all of it: the window's paper under it would be painted over at once.
    setAttribute(Qt::WA_OpaquePaintEvent);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, kEdgeWidth, 0);
    column->setSpacing(0);
    column->addWidget(makeScrollingPart(window), 1);
    // Pinned to the bottom of the window.
    column->addSpacing(kPinnedGap);
    column->addLayout(makeSuggestion(window));
    profile_ = new ProfileBlock(window);
    column->addWidget(profile_);
}

QScrollArea* Sidebar::makeScrollingPart(MainWindow& window) {
    // The part that scrolls when the window is too short for it.
    scroll_ = new QScrollArea;
    scroll_->setObjectName(QStringLiteral("sidebar.scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->viewport()->setAutoFillBackground(false);
    useSlimScrollBars(*scroll_);
    auto* top = new QWidget;
    auto* upper = new QVBoxLayout(top);
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    upper->addLayout(makeHeader());
    makeNavigation(window, *upper);
    upper->addStretch(1);
    scroll_->setWidget(top);
    // The area fills its widget with the window colour; the column's own colour shows instead.
    top->setAutoFillBackground(false);
    return scroll_;
}

QLayout* Sidebar::makeHeader() {
    auto* header = new QHBoxLayout;
    header->setContentsMargins(kHeaderInsetH, kHeaderTop, kHeaderInsetH, kHeaderBottom);
    header->setSpacing(kHeaderSpacing);
    header->addWidget(new Logomark(kLogoSize, 0));
    auto* name = new TextLabel(DesignFont::fraunces(kNameSize, FontWeight::semibold), Theme::ink());
    name->setText(QString::fromLatin1(kProductName));
    header->addWidget(name, 1);
    return header;
}

void Sidebar::makeNavigation(MainWindow& window, QVBoxLayout& upper) {
    QVBoxLayout* primary = rowStack(upper);
    for (const NavItem& item : {NavItem::home(), NavItem::active(), NavItem::favorites()}) {
        rows_.push_back(new NavRow(window, item));
        primary->addWidget(rows_.back());
    }
    active_ = rows_[1];
    favorites_ = rows_[2];

    auto* library = new QHBoxLayout;
    library->setContentsMargins(kSectionInsetH, kSectionTop, kSectionInsetH, kSectionBottom);
    library->addWidget(sidebarSectionLabel(QString::fromLatin1(kLibrary)));
    upper.addLayout(library);
    rows_.push_back(new NavRow(window, NavItem::browse()));
    rowStack(upper)->addWidget(rows_.back());

    scenes_ = new ScenesSection(window);
    upper.addWidget(scenes_);
    rows_.push_back(new NavRow(window, NavItem::automations()));
    rowStack(upper, kAutomationsTop)->addWidget(rows_.back());
}

QLayout* Sidebar::makeSuggestion(MainWindow& window) {
    suggestion_ = new SuggestionCard(window);
    auto* suggestion = new QVBoxLayout;
    suggestion->setContentsMargins(kSuggestionInsetH, 0, kSuggestionInsetH, kSuggestionBottom);
    suggestion->addWidget(suggestion_);
    return suggestion;
}

void Sidebar::show(const WindowView& view) {
    for (NavRow* row : rows_) {
        row->setHighlighted(view.state.isSelected(row->item()));
    }
    active_->setBadge(view.derived.onCount);
    favorites_->setBadge(view.derived.favCount);
    scenes_->show(view);
    const AppModel& model = view.now.model();
    suggestion_->show(model.suggestion());
    profile_->show(model.profile());
}

void Sidebar::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromRgb(kBackground));
        // Against the page beside it, whatever the screen's ratio.
        paintHairline(painter, QRect(width() - kEdgeWidth, 0, kEdgeWidth, height()),
                      Theme::hairline(), LineSide::trailing);
    }
    CardCanvas::paintEvent(event);
}

}  // namespace velmora
