// A label for text from data, drawn in a design font and never read as rich text. Its line limit
// is the design's: 1 (the default) shows one line elided with "…"; 2 or more shows up to that many
// lines, the last one elided; 0 wraps onto as many lines as the text needs (height for width).
//
//     auto* title = new TextLabel(DesignFont::inter(12.5, FontWeight::medium), Theme::ink());
//     title->setText(toQString(tweak.title));
#pragma once

#include <QAccessible>
#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

#include "ui/look/Fonts.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

class TextLabel : public QWidget, public accessibility::OwnReading {
    Q_OBJECT

  public:
    TextLabel(DesignFont font, QColor colour, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    void setColour(const QColor& colour);
    const DesignFont& designFont() const { return font_; }
    void setDesignFont(const DesignFont& font);
    int lineLimit() const { return lineLimit_; }
    void setLineLimit(int lines);
    // What screen readers take it for: a plain text by default, or a heading (a page's or a
    // sheet's title, which a reader can jump to).
    void setRole(QAccessible::Role role);
    // Horizontal placement of each line; leading by default.
    void setAlignment(Qt::Alignment alignment);

    // The lines as drawn at the label's width (or at `width`).
    std::vector<QString> shownLines() const { return linesAt(width()); }
    std::vector<QString> linesAt(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return lineLimit_ != 1; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void changed();
    // The width of the text on one line, measured once per text: layouts ask for sizes again and
    // again, and a text that fits needs no line breaking at all.
    qreal naturalWidth() const;

    DesignFont font_;
    QColor colour_;
    QString text_;
    int lineLimit_ = 1;
    Qt::Alignment alignment_ = Qt::AlignLeading;
    QAccessible::Role role_ = QAccessible::StaticText;
    // The last layout asked for: heightForWidth and paint ask for the same width again and again.
    mutable int cachedWidth_ = -1;
    mutable std::vector<QString> cachedLines_;
    // The last wrap, from which a text changed at its end is wrapped again.
    mutable DesignFont::Wrap lastWrap_;
    mutable qreal naturalWidth_ = -1;
};

}  // namespace velmora
