// The panel's frame (header, list, footer) and the list's rows, headings, note and dividers.
#include "ui/popover/MenuBarView.hpp"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/popover/MenuRowView.hpp"
#include "ui/popover/MenuSections.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Hairline.hpp"
#include "ui/widgets/Logomark.hpp"
#include "ui/widgets/ReadingOrder.hpp"
#include "ui/widgets/SlimScrollBar.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

constexpr QMargins kHeaderPadding{15, 13, 15, 10};
constexpr int kHeaderSpacing = 8;
constexpr qreal kHeaderLogoSize = 17;
constexpr qreal kHeaderTitleSize = 14;
constexpr QMargins kListPadding{0, 6, 0, 6};
constexpr QMargins kFooterPadding{15, 11, 15, 11};
constexpr QMargins kHeadingPadding{15, 7, 15, 3};
constexpr qreal kHeadingSize = 10;
constexpr qreal kHeadingTracking = 0.5;
constexpr QMargins kNotePadding{15, 9, 15, 9};
constexpr qreal kNoteSize = 11.5;
constexpr QMargins kDividerPadding{12, 6, 12, 6};
constexpr qreal kFooterButtonSize = 12;

// A plain word that is a button: "Open Velmora", "Quit".
TextButton* footerButton(const QString& text, const QString& name) {
    auto* button = new TextButton(DesignFont::inter(kFooterButtonSize, FontWeight::medium),
                                  Theme::secondary());
    button->setLabel(text);
    button->setObjectName(name);
    return button;
}

// `content` inside `padding`.
QWidget* padded(QWidget* content, const QMargins& padding) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(padding);
    layout->setSpacing(0);
    layout->addWidget(content);
    return box;
}

QWidget* heading(const std::string& text) {
    auto* label = new TextLabel(
        DesignFont::fraunces(kHeadingSize, FontWeight::bold, kHeadingTracking), Theme::faint());
    label->setText(toQString(text));
    return padded(label, kHeadingPadding);
}

QWidget* note(const std::string& text) {
    auto* label = new TextLabel(DesignFont::inter(kNoteSize), Theme::faint());
    label->setLineLimit(0);
    label->setText(toQString(text));
    label->setObjectName(QString::fromLatin1(menuNames::note));
    return padded(label, kNotePadding);
}

// One entry of the flattened list: a heading, the note, a row or a divider.
struct Entry {
    std::string key;
    const MenuSection* section = nullptr;
    const MenuRow* row = nullptr;
};

std::vector<Entry> flatten(const std::vector<MenuSection>& sections) {
    std::vector<Entry> entries;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const MenuSection& section = sections[s];
        if (!section.heading.empty()) {
            entries.push_back({"heading:" + section.heading, &section});
        }
        if (!section.note.empty()) {
            entries.push_back({"note:" + section.note, &section});
        }
        for (const MenuRow& row : section.rows) {
            entries.push_back({"row:" + std::to_string(static_cast<int>(row.kind)) + ":" + row.id,
                               nullptr, &row});
        }
        if (section.divider) {
            entries.push_back({"divider:" + std::to_string(s)});
        }
    }
    return entries;
}

}  // namespace

MenuBarView::MenuBarView(AppModel& shared, QWidget* parent)
    : QWidget(parent),
      model(shared),
      quitApplication([] { QCoreApplication::quit(); }),
      list_(new KeyedList(ModelSync::of(shared))) {
    setFixedWidth(panelWidth);
    setAutoFillBackground(true);
    QPalette light = palette();
    light.setColor(QPalette::Window, Theme::paper());
    setPalette(light);

    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(0);
    panel->addLayout(makeHeader());
    panel->addWidget(new Hairline);
    panel->addWidget(makeList(), 1);
    panel->addWidget(new Hairline);
    panel->addLayout(makeFooter());

    ModelSync& sync = ModelSync::of(model);
    sync.follow(this, [this](const SyncCache& now) { follow(now); });
    follow(sync.cache());
}

QLayout* MenuBarView::makeHeader() {
    auto* header = new QHBoxLayout;
    header->setContentsMargins(kHeaderPadding);
    header->setSpacing(kHeaderSpacing);
    header->addWidget(new Logomark(kHeaderLogoSize, 0));
    auto* title =
        new TextLabel(DesignFont::fraunces(kHeaderTitleSize, FontWeight::bold), Theme::ink());
    title->setText(QStringLiteral("Velmora"));
    header->addWidget(title);
    header->addStretch();
    return header;
}

QWidget* MenuBarView::makeList() {
    list_->rowLayout().setContentsMargins(kListPadding);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QString::fromLatin1(menuNames::list));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setMaximumHeight(listMaximumHeight);
    scroll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    useSlimScrollBars(*scroll);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(list_);
    column->addStretch();
    scroll->setWidget(content);
    scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    return scroll;
}

QLayout* MenuBarView::makeFooter() {
    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(kFooterPadding);
    auto* open = footerButton(QStringLiteral("Open Velmora"), QString::fromLatin1(menuNames::open));
    auto* quit = footerButton(QStringLiteral("Quit"), QString::fromLatin1(menuNames::quit));
    footer->addWidget(open);
    footer->addStretch();
    footer->addWidget(quit);
    connect(open, &QAbstractButton::clicked, this, [this] {
        if (model.requestOpenWindow) {
            model.requestOpenWindow();
        }
    });
    connect(quit, &QAbstractButton::clicked, this, [this] { quitApplication(); });
    return footer;
}

bool MenuBarView::focusNextPrevChild(bool next) {
    return readingOrder::moveFocus(*this, next);
}

void MenuBarView::follow(const SyncCache& now) {
    const std::vector<MenuSection> sections = menuSections(model, now);
    const std::vector<Entry> entries = flatten(sections);
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    for (const Entry& entry : entries) {
        keys.push_back(entry.key);
    }
    const bool rebuilt = list_->show(keys, [&](std::size_t i) -> QWidget* {
        const Entry& entry = entries[i];
        if (entry.row != nullptr) {
            return new MenuRowView(*entry.row, list_);
        }
        if (entry.section == nullptr) {
            return padded(new Hairline, kDividerPadding);
        }
        return entry.key.starts_with("note:") ? note(entry.section->note)
                                              : heading(entry.section->heading);
    });
    if (rebuilt || list_->keys() != keys) {
        return;  // fresh rows, or the old ones kept while a control is held
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].row != nullptr) {
            static_cast<MenuRowView*>(list_->rows()[i])->setRow(*entries[i].row);
        }
    }
}

}  // namespace velmora
