// Layout of the scene editor and its actions: loading a stored scene, filling from the live
// state, opening the picker, and saving.
#include "ui/sheets/SceneEditorDialog.hpp"

#include <algorithm>

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/Uuid.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sheets/SceneEditorParts.hpp"
#include "ui/sheets/ScenePicker.hpp"
#include "ui/widgets/Card.hpp"
#include "ui/widgets/Hairline.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/widgets/WheelStrip.hpp"

namespace velmora {

namespace {

// Header.
constexpr int kHeaderPadding = 18;
constexpr int kHeaderSpacing = 12;
// The platform's spacing between the items of a row.
constexpr int kTitleRowSpacing = 8;
constexpr qreal kTitleSize = 18;
constexpr qreal kCountSize = 11;
constexpr qreal kButtonTextSize = 13;
constexpr qreal kSavePaddingV = 7;
constexpr qreal kSavePaddingH = 16;
constexpr int kFieldPadding = 9;
constexpr qreal kFieldRadius = 9;
constexpr qreal kFieldOutline = 1;
constexpr qreal kFieldTextSize = 13;
constexpr int kIconSpacing = 7;
constexpr int kIconLeastSpacing = 4;
constexpr const char* kPlaceholder = "Scene name \u2014 e.g. Focus, Desk, Travel";

// Content.
constexpr int kContentPadding = 20;
constexpr int kContentSpacing = 16;

// The name field's box: card white, rounded, with a hairline outline.
class FieldBox : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal half = kFieldOutline / 2;
        painter.setPen(QPen(Theme::hairline(), kFieldOutline));
        painter.setBrush(Theme::card());
        painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), kFieldRadius,
                                kFieldRadius);
    }
};

QString countText(int count) {
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" power-up") : QStringLiteral(" power-ups"));
}

}  // namespace

namespace editorNames {

QString icon(std::string_view symbol) {
    return QStringLiteral("editor.icon.") + toQString(symbol);
}

}  // namespace editorNames

SceneEditorDialog::SceneEditorDialog(AppModel& model, std::optional<Setup> existing,
                                     std::function<void()> onClose, QWidget* parent)
    : SheetDialog(sheetSize, parent),
      model_(model),
      existing_(std::move(existing)),
      onClose_(std::move(onClose)),
      draft_(existing_ ? SceneDraft::of(*existing_) : SceneDraft::fresh()) {
    setObjectName(QString::fromLatin1(editorNames::sheet));
    setAccessibleName(existing_ ? QStringLiteral("Edit scene") : QStringLiteral("Build a scene"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeHeader());
    column->addWidget(new Hairline);
    column->addWidget(makeContent(), 1);
    // The first keys typed after "+" name the scene.
    setFirstFocus(name_);
    setPrimaryButton(save_);
    // A stored scene opens on its choices.
    setPickerOpen(existing_.has_value());
}

SceneEditorDialog::~SceneEditorDialog() = default;

QWidget* SceneEditorDialog::makeHeader() {
    auto* header = new QWidget;
    auto* stack = new QVBoxLayout(header);
    stack->setContentsMargins(kHeaderPadding, kHeaderPadding, kHeaderPadding, kHeaderPadding);
    stack->setSpacing(kHeaderSpacing);
    stack->addLayout(makeTitleRow());
    stack->addWidget(makeNameField());
    stack->addWidget(makeIconStrip());
    return header;
}

QLayout* SceneEditorDialog::makeTitleRow() {
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(kTitleRowSpacing);
    auto* title =
        new TextLabel(DesignFont::fraunces(kTitleSize, FontWeight::semibold), Theme::ink());
    title->setObjectName(QString::fromLatin1(editorNames::title));
    title->setRole(QAccessible::Heading);
    title->setText(existing_ ? QStringLiteral("Edit scene") : QStringLiteral("Build a scene"));
    title->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    title->setFixedSize(title->sizeHint());
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    count_ = new TextLabel(DesignFont::inter(kCountSize), Theme::faint());
    count_->setObjectName(QString::fromLatin1(editorNames::count));
    count_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    titleRow->addWidget(count_);
    auto* cancel = new TextButton(DesignFont::inter(kButtonTextSize), Theme::secondary());
    cancel->setObjectName(QString::fromLatin1(editorNames::cancel));
    cancel->setLabel(QStringLiteral("Cancel"));
    titleRow->addWidget(cancel);
    save_ =
        new TextButton(DesignFont::inter(kButtonTextSize, FontWeight::semibold), Theme::paper());
    save_->setObjectName(QString::fromLatin1(editorNames::save));
    save_->setLabel(QStringLiteral("Save scene"));
    save_->setCapsule(Theme::ink(), Theme::faint(), kSavePaddingV, kSavePaddingH);
    titleRow->addWidget(save_);
    connect(cancel, &QAbstractButton::clicked, this, [this] { onClose_(); });
    setCancelButton(cancel);
    connect(save_, &QAbstractButton::clicked, this, [this] { save(); });
    return titleRow;
}

QWidget* SceneEditorDialog::makeNameField() {
    auto* field = new FieldBox;
    auto* inside = new QHBoxLayout(field);
    inside->setContentsMargins(kFieldPadding, kFieldPadding, kFieldPadding, kFieldPadding);
    name_ = new QLineEdit;
    name_->setObjectName(QString::fromLatin1(editorNames::name));
    name_->setFrame(false);
    name_->setFont(DesignFont::inter(kFieldTextSize).approximate());
    name_->setPlaceholderText(QString::fromUtf8(kPlaceholder));
    name_->setAccessibleName(QStringLiteral("Scene name"));
    name_->setAttribute(Qt::WA_MacShowFocusRect, false);
    // On the box, not on a box of its own.
    QPalette palette = name_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    name_->setPalette(palette);
    name_->setText(toQString(draft_.name));
    inside->addWidget(name_);
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        draft_.name = text.toStdString();
        showDraft();
    });
    return field;
}

QWidget* SceneEditorDialog::makeIconStrip() {
    auto* strip = new WheelStrip;
    strip->setObjectName(QString::fromLatin1(editorNames::icons));
    strip->row().setSpacing(kIconSpacing);
    // Every icon in view where closing up the gaps a little is enough; past that it scrolls.
    strip->setLeastSpacing(kIconLeastSpacing);
    for (const std::string& symbol : SetupIcons::all()) {
        auto* icon = new IconChoice(symbol);
        icon->setObjectName(editorNames::icon(symbol));
        connect(icon, &QAbstractButton::clicked, this, [this, symbol] {
            draft_.icon = symbol;
            showDraft();
        });
        strip->row().addWidget(icon);
        icons_.push_back(icon);
    }
    strip->row().addStretch(1);
    return strip;
}

QWidget* SceneEditorDialog::makeContent() {
    // A canvas, so the fill card's shadow shows.
    auto* host = new CardCanvas;
    content_ = new QVBoxLayout(host);
    content_->setContentsMargins(kContentPadding, kContentPadding, kContentPadding,
                                 kContentPadding);
    content_->setSpacing(kContentSpacing);
    auto* fill = new FillCard;
    content_->addWidget(fill);
    disclosure_ = new DisclosureRow;
    content_->addWidget(disclosure_);
    content_->addStretch(1);

    connect(fill, &QAbstractButton::clicked, this, [this] { fillFromCurrent(); });
    connect(disclosure_, &QAbstractButton::clicked, this, [this] { setPickerOpen(!pickerOpen_); });
    return scrollArea(QString::fromLatin1(editorNames::scroll), host);
}

void SceneEditorDialog::setPickerOpen(bool open) {
    pickerOpen_ = open;
    if (open && picker_ == nullptr) {
        // Built once; from here on every change updates its rows.
        picker_ = new ScenePicker(model_.catalog(), draft_, [this] { showDraft(); });
        // After the disclosure row, before the stretch.
        content_->insertWidget(content_->indexOf(disclosure_) + 1, picker_);
    }
    if (picker_ != nullptr) {
        picker_->setVisible(open);
    }
    showDraft();
}

void SceneEditorDialog::showDraft() {
    const int count = draft_.count();
    count_->setText(countText(count));
    count_->setFixedSize(count_->sizeHint());
    save_->setEnabled(draft_.valid());
    for (IconChoice* icon : icons_) {
        icon->setOn(icon->symbol() == draft_.icon);
    }
    disclosure_->setState(pickerOpen_, count);
    if (picker_ != nullptr) {
        picker_->showChoices();
    }
}

void SceneEditorDialog::fillFromCurrent() {
    draft_.fill(model_.captureCurrentSetup(draft_.name, draft_.icon));
    setPickerOpen(true);
}

void SceneEditorDialog::save() {
    if (!draft_.valid()) {
        return;
    }
    Setup base;
    if (existing_) {
        base = *existing_;
    } else {
        base.id = Uuid::random().string();
    }
    const Setup scene = draft_.build(model_.catalog(), std::move(base));
    model_.upsertSetup(scene);
    // A list the store refused stays as it was stored: the sheet stays open with what was typed,
    // rather than closing as if the scene had been saved.
    if (std::ranges::find(model_.setups(), scene) == model_.setups().end()) {
        return;
    }
    onClose_();
}

}  // namespace velmora
