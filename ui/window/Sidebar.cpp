// Layout of the sidebar and what each sync changes in it.
#include "ui/window/Sidebar.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/look/Fonts.hpp"
#include "ui/look/Logomark.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/NavRow.hpp"
#include "ui/window/Page.hpp"

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

constexpr int kSectionInsetH = 19;
constexpr int kSectionTop = 16;
constexpr int kSectionBottom = 5;
constexpr qreal kSectionSize = 9;
constexpr qreal kSectionTracking = 1.1;
constexpr const char* kLibrary = "LIBRARY";

QVBoxLayout* rowStack(QVBoxLayout& column, int top = 0) {
    auto* rows = new QVBoxLayout;
    rows->setContentsMargins(kRowsInsetH, top, kRowsInsetH, 0);
    rows->setSpacing(kRowSpacing);
    column.addLayout(rows);
    return rows;
}

TextLabel* sectionLabel(const QString& text) {
    auto* label = new TextLabel(
        DesignFont::inter(kSectionSize, FontWeight::semibold, kSectionTracking), Theme::faint());
    label->setText(text);
    return label;
}

}  // namespace

Sidebar::Sidebar(MainWindow& window, QWidget* parent) : CardCanvas(parent) {
    setObjectName(QStringLiteral("sidebar"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, kEdgeWidth, 0);
    column->setSpacing(0);

    scroll_ = new QScrollArea;
    scroll_->setObjectName(QStringLiteral("sidebar.scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->viewport()->setAutoFillBackground(false);
    auto* top = new QWidget;
    top->setAutoFillBackground(false);
    auto* upper = new QVBoxLayout(top);
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(kHeaderInsetH, kHeaderTop, kHeaderInsetH, kHeaderBottom);
    header->setSpacing(kHeaderSpacing);
    header->addWidget(new Logomark(kLogoSize, 0));
    auto* name = new TextLabel(DesignFont::fraunces(kNameSize, FontWeight::semibold), Theme::ink());
    name->setText(QString::fromLatin1(kProductName));
    header->addWidget(name, 1);
    upper->addLayout(header);

    QVBoxLayout* primary = rowStack(*upper);
    for (const NavItem& item : {NavItem::home(), NavItem::active(), NavItem::favorites()}) {
        rows_.push_back(new NavRow(window, item));
        primary->addWidget(rows_.back());
    }
    active_ = rows_[1];
    favorites_ = rows_[2];

    auto* library = new QHBoxLayout;
    library->setContentsMargins(kSectionInsetH, kSectionTop, kSectionInsetH, kSectionBottom);
    library->addWidget(sectionLabel(QString::fromLatin1(kLibrary)));
    upper->addLayout(library);
    QVBoxLayout* libraryRows = rowStack(*upper);
    rows_.push_back(new NavRow(window, NavItem::browse()));
    libraryRows->addWidget(rows_.back());

    QVBoxLayout* automations = rowStack(*upper);
    rows_.push_back(new NavRow(window, NavItem::automations()));
    automations->addWidget(rows_.back());
    upper->addStretch(1);

    scroll_->setWidget(top);
    column->addWidget(scroll_, 1);
}

void Sidebar::show(const WindowView& view) {
    for (NavRow* row : rows_) {
        row->setHighlighted(view.state.isSelected(row->item()));
    }
    active_->setBadge(view.derived.onCount);
    favorites_->setBadge(view.derived.favCount);
}

void Sidebar::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromRgb(kBackground));
        painter.fillRect(QRect(width() - kEdgeWidth, 0, kEdgeWidth, height()), Theme::hairline());
    }
    CardCanvas::paintEvent(event);
}

}  // namespace velmora
