// Layout and drawing of the top bar; its actions change the window's state.
#include "ui/window/TopBar.hpp"

#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

namespace {

// The bar's insets and spacing.
constexpr int kBarLeading = 28;
constexpr int kBarTrailing = 28;
constexpr int kBarTop = 26;
constexpr int kBarBottom = 14;
constexpr int kBarSpacing = 12;
// The search capsule.
constexpr int kFieldPaddingV = 7;
constexpr int kFieldPaddingH = 12;
constexpr int kFieldSpacing = 7;
constexpr qreal kGlassSize = 12;
constexpr qreal kFieldFontSize = 12.5;
constexpr const char* kPlaceholder =
    "Search \u2014 \u201Cfaster\u201D, \u201Cnever sleep\u201D, \u201Cprivacy\u201D";
// The count pill.
constexpr qreal kPillDot = 5;
constexpr qreal kPillSpacing = 5;
constexpr qreal kPillPaddingV = 5.5;
constexpr qreal kPillPaddingH = 12;
constexpr qreal kPillFontSize = 11.5;
constexpr const char* kPillToolTip = "See everything that's on";
constexpr const char* kPillSuffix = " on";
constexpr qreal kOutlineWidth = 1;

const DesignFont& pillFont() {
    static const DesignFont font = DesignFont::inter(kPillFontSize, FontWeight::semibold);
    return font;
}

// A capsule filled with the card colour and outlined with a hairline, inside `rect`.
void paintCapsule(QPainter& painter, const QRectF& rect) {
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inner =
        rect.adjusted(kOutlineWidth / 2, kOutlineWidth / 2, -kOutlineWidth / 2, -kOutlineWidth / 2);
    const qreal radius = inner.height() / 2;
    drawRoundedShape(painter, inner, radius, QPen(Theme::hairline(), kOutlineWidth), Theme::card());
}

// The field's own text is drawn at whole pixels; so is its placeholder.
const DesignFont& placeholderFont() {
    static const DesignFont font = DesignFont::inter(std::round(kFieldFontSize));
    return font;
}

// The search field, drawing its placeholder itself: QLineEdit shapes the placeholder three times
// at every paint (to elide it, to measure it and to draw it), a tenth of a window's paint, where
// the design font shapes it once. Where QLineEdit would: inside the contents and the margin Qt
// keeps beside the text, centred, while no text is typed or being composed.
class SearchField : public QLineEdit {
  public:
    explicit SearchField(QString placeholder) : placeholder_(std::move(placeholder)) {
        setAccessibleDescription(placeholder_);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLineEdit::paintEvent(event);
        if (!text().isEmpty() || composing_) {
            return;
        }
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        const QRect contents =
            style()->subElementRect(QStyle::SE_LineEditContents, &panel, this) - textMargins();
        const QRectF line = QRectF(contents).adjusted(kTextMargin, 0, -kTextMargin, 0);
        QPainter painter(this);
        painter.setClipRect(contents);
        const DesignFont& font = placeholderFont();
        font.draw(
            painter, QPointF(line.left(), line.top() + (line.height() - font.lineSpacing()) / 2),
            font.elided(placeholder_, line.width()), palette().color(QPalette::PlaceholderText));
    }

    void inputMethodEvent(QInputMethodEvent* event) override {
        composing_ = !event->preeditString().isEmpty();
        QLineEdit::inputMethodEvent(event);
    }

  private:
    // QLineEdit's margin between its contents and its text.
    static constexpr qreal kTextMargin = 2;

    QString placeholder_;
    bool composing_ = false;
};

class SearchCapsule : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        paintCapsule(painter, QRectF(rect()));
    }
};

}  // namespace

CountPill::CountPill(QWidget* parent) : PaintedButton(parent) {
    setFocusShape(FocusShape::capsule);
    setObjectName(QStringLiteral("topbar.countPill"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setPlainToolTip(*this, QString::fromUtf8(kPillToolTip));
}

void CountPill::setCount(int count) {
    if (count == count_) {
        return;
    }
    count_ = count;
    setAccessibleName(label());
    updateGeometry();
    update();
}

QString CountPill::label() const {
    return QString::number(count_) + QString::fromLatin1(kPillSuffix);
}

QSize CountPill::sizeHint() const {
    const qreal width = 2 * kPillPaddingH + kPillDot + kPillSpacing + pillFont().width(label());
    const qreal height = 2 * kPillPaddingV + pillFont().lineSpacing();
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

void CountPill::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintCapsule(painter, QRectF(rect()));
    const qreal middle = height() / 2.0;
    drawEllipseShape(painter, QRectF(kPillPaddingH, middle - kPillDot / 2, kPillDot, kPillDot),
                     Qt::NoPen, Theme::accent());
    pillFont().draw(
        painter,
        QPointF(kPillPaddingH + kPillDot + kPillSpacing, middle - pillFont().lineSpacing() / 2),
        label(), Theme::ink());
}

TopBar::TopBar(MainWindow& window, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("topbar"));
    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(kBarLeading, kBarTop, kBarTrailing, kBarBottom);
    bar->setSpacing(kBarSpacing);

    capsule_ = new SearchCapsule;
    capsule_->setObjectName(QStringLiteral("topbar.capsule"));
    // The capsule hugs its fixed-width field; the stretch after it takes the bar's spare width.
    capsule_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* inside = new QHBoxLayout(capsule_);
    inside->setContentsMargins(kFieldPaddingH, kFieldPaddingV, kFieldPaddingH, kFieldPaddingV);
    inside->setSpacing(kFieldSpacing);
    inside->addWidget(new SymbolView("magnifyingglass", kGlassSize, Theme::faint()));
    field_ = new SearchField(QString::fromUtf8(kPlaceholder));
    field_->setObjectName(QStringLiteral("topbar.search"));
    field_->setFrame(false);
    field_->setFixedWidth(fieldWidth);
    field_->setFont(DesignFont::inter(kFieldFontSize).approximate());
    field_->setAccessibleName(QStringLiteral("Search"));
    field_->setAttribute(Qt::WA_MacShowFocusRect, false);
    // On the capsule, not on a box of its own.
    QPalette palette = field_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    field_->setPalette(palette);
    inside->addWidget(field_);
    bar->addWidget(capsule_);
    bar->addStretch();

    pill_ = new CountPill;
    pill_->hide();
    bar->addWidget(pill_);

    // Every change but the window's own setting back of the text (show() silences the field):
    // keys, but also a screen reader or another tool setting or inserting text, which Qt does
    // not count as an edit.
    connect(field_, &QLineEdit::textChanged, this, [&window](const QString& text) {
        window.change([typed = text.toStdString()](WindowState& state) { state.query = typed; });
    });
    connect(pill_, &QAbstractButton::clicked, this,
            [&window] { window.change([](WindowState& state) { state.pressCountPill(); }); });
}

void TopBar::show(const WindowView& view) {
    const QString query = QString::fromStdString(view.state.query);
    if (field_->text() != query) {
        const QSignalBlocker quiet(field_);
        field_->setText(query);
    }
    pill_->setCount(view.derived.onCount);
    pill_->setVisible(view.derived.onCount >= 1);
}

}  // namespace velmora
