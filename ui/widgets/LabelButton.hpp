// A plain button whose label is a symbol and a line of text in one colour, with no bezel: the back
// button, "Personalize", a lone "+" (no text), and the like. The whole label takes the click, the
// pointer turns into the pointing hand over it, and accessibility tools read the text as the
// button's name. A tool button with the symbol as its icon beside the text, drawn by the
// application's style, so focus, hover, disabling and accessibility are Qt's.
//
//     auto* back = new LabelButton("chevron.left", 11, DesignFont::inter(12, FontWeight::medium),
//                                  4, Theme::secondary());
//     back->setLabel(QStringLiteral("Home"));
#pragma once

#include <QColor>
#include <QToolButton>
#include <string>

#include "ui/look/Fonts.hpp"

namespace velmora {

class LabelButton : public QToolButton {
    Q_OBJECT

  public:
    // `spacing` is the gap between the symbol and the text.
    LabelButton(std::string symbol, qreal symbolSize, DesignFont font, qreal spacing, QColor colour,
                QWidget* parent = nullptr);

    // Space around the label that still takes the click.
    void setPadding(qreal padding);
    // How heavy the symbol's strokes are ("chevron.left" at 11, semibold); regular unless set.
    void setSymbolWeight(FontWeight weight);
    // Shown as written: "&" is not a mnemonic here.
    void setLabel(const QString& text);
    const QString& label() const { return label_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void makeIcon();

    std::string symbol_;
    qreal symbolSize_;
    FontWeight symbolWeight_ = FontWeight::regular;
    DesignFont font_;
    qreal spacing_;
    qreal padding_ = 0;
    QColor colour_;
    QString label_;
};

}  // namespace velmora
