// The painted pieces of the scene editor's sheet: an icon of the icon strip, the "Start from my
// current setup" card and the row that opens and closes the manual picker. Each shows what it is
// given and emits clicked(); the editor changes its scene and shows it.
#pragma once

#include <string>
#include "ui/widgets/PaintedButton.hpp"

#include "ui/widgets/Card.hpp"
#include "ui/widgets/StateButton.hpp"

namespace velmora {

// One icon of the strip: the symbol on a 30 × 30 rounded square, accent-tinted while on (chosen).
class IconChoice : public StateButton {
    Q_OBJECT

  public:
    explicit IconChoice(std::string symbol, QWidget* parent = nullptr);

    const std::string& symbol() const { return symbol_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::string symbol_;
};

// The card that fills the scene from what is on now: a wand tile, its title and subtitle, and a
// download arrow, on a card with an accent outline and its own shadow (put it on a CardCanvas).
class FillCard : public PaintedButton, public ShadowCaster {
    Q_OBJECT

  public:
    explicit FillCard(QWidget* parent = nullptr);

    CardShadow cardShadow() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qreal textWidth(qreal width) const;
};

// "Or pick power-ups manually" with a right chevron while the picker is closed; "Power-ups", a
// down chevron and "N selected" while it is open.
class DisclosureRow : public PaintedButton {
    Q_OBJECT

  public:
    explicit DisclosureRow(QWidget* parent = nullptr);

    bool isOpen() const { return open_; }
    void setState(bool open, int count);
    QString shownText() const;
    QString countText() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool open_ = false;
    int count_ = 0;
};

}  // namespace velmora
