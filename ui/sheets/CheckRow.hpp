// The scene editor's choice rows. A CheckRow is one tappable row (a tinted 24 × 24 symbol tile,
// a one-line title, a check mark on the right) that takes a click anywhere on it; a CheckMark is
// the check mark alone as a button, the include button of a slider's row. Both show the choice
// they are given and never flip themselves: a click emits clicked(), the editor changes its
// scene and shows it. Accessibility tools see a checkable button named by the title.
#pragma once

#include <string>
#include "ui/widgets/StateButton.hpp"

namespace velmora {

class CheckMark : public StateButton {
    Q_OBJECT

  public:
    explicit CheckMark(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // "checkmark.circle.fill" in the accent when on, else "circle" in faint at half opacity.
    static void paint(QPainter& painter, const QPointF& centre, bool on);
    static qreal side();

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class CheckRow : public StateButton {
    Q_OBJECT

  public:
    CheckRow(std::string symbol, QString title, int tintIndex, QWidget* parent = nullptr);

    const QString& title() const { return title_; }
    int tintIndex() const { return tintIndex_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The tile every choice row starts with.
    static constexpr qreal tileSide = 24;
    static constexpr qreal tileRadius = 7;
    static constexpr qreal tileSymbolSize = 11;
    static constexpr qreal tileSymbolOpacity = 0.7;
    static constexpr qreal spacing = 10;
    static constexpr qreal titleSize = 12.5;
    static constexpr qreal minimumSpacer = 8;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::string symbol_;
    QString title_;
    int tintIndex_;
};

}  // namespace velmora
