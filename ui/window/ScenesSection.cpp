// The scenes list: its rows, their menu, and what each action asks of the model and the window.
#include "ui/window/ScenesSection.hpp"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

#include "ui/look/AppStyle.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/InteractionHold.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/Page.hpp"
#include "ui/window/Sidebar.hpp"

namespace velmora {

namespace {

// The heading.
constexpr int kHeadingInsetH = 19;
constexpr int kHeadingTop = 16;
constexpr int kHeadingBottom = 5;
constexpr const char* kHeading = "SCENES";
constexpr qreal kAddSize = 10;
constexpr qreal kAddPadding = 3;
constexpr const char* kAddToolTip = "Build a new scene";
// The hint shown instead of rows.
constexpr int kHintInsetH = 19;
constexpr int kHintBottom = 4;
constexpr qreal kHintSize = 10.5;
constexpr const char* kHint = "Build a scene \u2014 switch your whole Mac with one click.";
// The rows.
constexpr int kRowsInsetH = 9;
constexpr int kRowSpacing = 1;
constexpr qreal kRowPaddingV = 6;
constexpr qreal kRowPaddingH = 10;
constexpr qreal kRowSpacingH = 9;
constexpr qreal kIconSize = 11;
constexpr qreal kIconFrame = 17;
constexpr qreal kNameSize = 12.5;
constexpr qreal kCountSize = 9.5;
// A symbol the table does not know is drawn as this, a dashed circle.
constexpr const char* kNeutralSymbol = "";
// The menu.
constexpr const char* kSwitch = "Switch to this scene";
constexpr const char* kEdit = "Edit\u2026";
constexpr const char* kUpdate = "Update to current setup";
constexpr const char* kDelete = "Delete";

const DesignFont& nameFont() {
    static const DesignFont font = DesignFont::inter(kNameSize);
    return font;
}

const DesignFont& countFont() {
    static const DesignFont font = DesignFont::inter(kCountSize, FontWeight::semibold);
    return font;
}

QString toolTipOf(const Setup& setup) {
    return QStringLiteral("Switch to \u201C") + toQString(setup.name) + QStringLiteral("\u201D");
}

// What the row shows beside its name, then what a click does.
QString spokenDetail(const Setup& setup) {
    const int count = setup.itemCount();
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" power-up. ") : QStringLiteral(" power-ups. ")) +
           toolTipOf(setup);
}

}  // namespace

namespace sceneNames {

QString row(std::string_view id) {
    return QStringLiteral("scene.") + toQString(id);
}

}  // namespace sceneNames

SceneRow::SceneRow(MainWindow& window, Setup setup, QWidget* parent)
    : PaintedButton(parent), window_(window), setup_(std::move(setup)) {
    setObjectName(sceneNames::row(setup_.id));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(toQString(setup_.name));
    setPlainToolTip(*this, toolTipOf(setup_));
    setAccessibleDescription(spokenDetail(setup_));
    // Editing and deleting the scene are in its menu only: a screen reader opens it too.
    accessibility::hasContextMenu(*this);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (const std::optional<Setup> scene = current()) {
            window_.model.applySetup(*scene);
        }
    });
}

void SceneRow::setSetup(const Setup& setup) {
    if (setup == setup_) {
        return;
    }
    setup_ = setup;
    setAccessibleName(toQString(setup_.name));
    setPlainToolTip(*this, toolTipOf(setup_));
    setAccessibleDescription(spokenDetail(setup_));
    update();
}

std::optional<Setup> SceneRow::current() const {
    for (const Setup& stored : window_.model.setups()) {
        if (stored.id == setup_.id) {
            return stored;
        }
    }
    return std::nullopt;
}

QString SceneRow::shownName() const {
    const QString count = QString::number(setup_.itemCount());
    const qreal nameLeft = kRowPaddingH + kIconFrame + kRowSpacingH;
    const qreal nameRight = width() - kRowPaddingH - countFont().width(count) - kRowSpacingH;
    return nameFont().elided(toQString(setup_.name), nameRight - nameLeft);
}

std::string SceneRow::shownSymbol() const {
    // Only names from the symbol table reach the drawing: stored text never names a file.
    return Symbols::isKnown(setup_.icon) ? setup_.icon : std::string(kNeutralSymbol);
}

QSize SceneRow::sizeHint() const {
    const qreal height = 2 * kRowPaddingV + nameFont().lineSpacing();
    const qreal width = 2 * kRowPaddingH + kIconFrame + 2 * kRowSpacingH +
                        nameFont().width(toQString(setup_.name)) +
                        countFont().width(QString::number(setup_.itemCount()));
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QSize SceneRow::minimumSizeHint() const {
    return {static_cast<int>(std::ceil(2 * kRowPaddingH + kIconFrame)), sizeHint().height()};
}

void SceneRow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal middle = height() / 2.0;
    Symbols::draw(painter, QPointF(kRowPaddingH + kIconFrame / 2, middle), kIconSize, shownSymbol(),
                  Theme::accent());
    nameFont().draw(
        painter,
        QPointF(kRowPaddingH + kIconFrame + kRowSpacingH, middle - nameFont().lineSpacing() / 2),
        shownName(), Theme::secondary());
    const QString count = QString::number(setup_.itemCount());
    countFont().draw(painter,
                     QPointF(width() - kRowPaddingH - countFont().width(count),
                             middle - countFont().lineSpacing() / 2),
                     count, Theme::faint());
}

void SceneRow::mousePressEvent(QMouseEvent* event) {
    // The menu opens on the press, as the desktop's context menus do; the button itself reacts
    // to the left button only, so the scene is not switched.
    if (event->button() == Qt::RightButton) {
        openMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QAbstractButton::mousePressEvent(event);
}

void SceneRow::keyPressEvent(QKeyEvent* event) {
    // Shift+F10, the desktops' menu key for keyboards without one (most laptops'): the only way
    // to the scene's edit and delete from the keyboard there.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        openMenu(mapToGlobal(rect().center()));
        event->accept();
        return;
    }
    PaintedButton::keyPressEvent(event);
}

void SceneRow::contextMenuEvent(QContextMenuEvent* event) {
    // A right press opened the menu already; the menu key has not.
    if (event->reason() != QContextMenuEvent::Mouse) {
        openMenu(mapToGlobal(rect().center()));
    }
    event->accept();
}

QMenu* SceneRow::openMenu(const QPoint& globalPosition) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(sceneNames::menu));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // While the menu is open the list keeps this row, so the menu's actions are not deleted
    // under the pointer.
    auto hold = std::make_shared<InteractionHold>(*this);
    connect(menu, &QMenu::aboutToHide, menu, [hold]() mutable { hold.reset(); });

    connect(menu->addAction(QString::fromUtf8(kSwitch)), &QAction::triggered, this, [this] {
        if (const std::optional<Setup> scene = current()) {
            window_.model.applySetup(*scene);
        }
    });
    connect(menu->addAction(QString::fromUtf8(kEdit)), &QAction::triggered, this, [this] {
        if (std::optional<Setup> scene = current()) {
            window_.change([&scene](WindowState& state) { state.openEditor(std::move(scene)); });
        }
    });
    connect(menu->addAction(QString::fromUtf8(kUpdate)), &QAction::triggered, this, [this] {
        if (const std::optional<Setup> scene = current()) {
            window_.model.updateSetupToCurrent(*scene);
        }
    });
    menu->addSeparator();
    QAction* remove = menu->addAction(QString::fromUtf8(kDelete));
    markDestructive(*remove);
    connect(remove, &QAction::triggered, this, [this] { window_.model.deleteSetup(setup_); });
    menu->popup(globalPosition);
    return menu;
}

ScenesSection::ScenesSection(MainWindow& window, QWidget* parent)
    : QWidget(parent), window_(window) {
    setObjectName(QString::fromLatin1(sceneNames::section));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* heading = new QHBoxLayout;
    heading->setContentsMargins(kHeadingInsetH, kHeadingTop, kHeadingInsetH, kHeadingBottom);
    heading->addWidget(sidebarSectionLabel(QString::fromLatin1(kHeading)));
    heading->addStretch(1);
    add_ = new LabelButton("plus", kAddSize, DesignFont::inter(kAddSize), 0, Theme::secondary());
    add_->setObjectName(QString::fromLatin1(sceneNames::add));
    add_->setSymbolWeight(FontWeight::bold);
    add_->setPadding(kAddPadding);
    accessibility::nameByToolTip(*add_, QString::fromLatin1(kAddToolTip));
    heading->addWidget(add_);
    column->addLayout(heading);
    connect(add_, &QAbstractButton::clicked, this,
            [this] { window_.change([](WindowState& state) { state.openEditor(std::nullopt); }); });

    hint_ = new TextLabel(DesignFont::inter(kHintSize), Theme::faint());
    hint_->setObjectName(QString::fromLatin1(sceneNames::hint));
    hint_->setLineLimit(0);
    hint_->setText(QString::fromUtf8(kHint));
    auto* hintBox = new QVBoxLayout;
    hintBox->setContentsMargins(kHintInsetH, 0, kHintInsetH, kHintBottom);
    hintBox->addWidget(hint_);
    column->addLayout(hintBox);

    rows_ = new KeyedList(ModelSync::of(window.model));
    rows_->rowLayout().setContentsMargins(kRowsInsetH, 0, kRowsInsetH, 0);
    rows_->rowLayout().setSpacing(kRowSpacing);
    column->addWidget(rows_);
}

void ScenesSection::show(const WindowView& /*view*/) {
    const std::vector<Setup>& setups = window_.model.setups();
    std::vector<std::string> ids;
    ids.reserve(setups.size());
    for (const Setup& setup : setups) {
        ids.push_back(setup.id);
    }
    rows_->show(ids,
                [&](std::size_t index) { return new SceneRow(window_, setups[index], rows_); });
    // Kept rows show what their scene holds now (a rename, a re-capture); while a held menu
    // postpones a rebuild, the rows are those of the old list and wait.
    if (rows_->keys() == ids) {
        for (std::size_t i = 0; i < setups.size(); ++i) {
            static_cast<SceneRow*>(rows_->rows()[i])->setSetup(setups[i]);
        }
    }
    hint_->setVisible(setups.empty());
    rows_->setVisible(!setups.empty());
}

}  // namespace velmora
