// The logo: the spiral mark stroked in ink inside a square of the given size.
#pragma once

#include <QImage>
#include <QWidget>

namespace velmora {

class Logomark : public QWidget {
    Q_OBJECT
    // Animatable, so a QPropertyAnimation can wind the spiral frame by frame.
    Q_PROPERTY(qreal wind READ wind WRITE setWind)

  public:
    static constexpr qreal turns = 3.2;

    Logomark(qreal size, qreal wind, QWidget* parent = nullptr);

    qreal markSize() const { return size_; }
    qreal wind() const { return wind_; }
    void setWind(qreal wind);

    // max(size / 13, 1.5): thin marks keep a visible stroke.
    static qreal lineWidth(qreal size);
    // Strokes the mark into the `size` square centred on `centre`.
    static void paint(QPainter& painter, const QPointF& centre, qreal size, qreal wind);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    qreal size_;
    qreal wind_;
    // The spiral is hundreds of segments to stroke: stroked once per wind and pixel ratio, and
    // kept for the paints that follow.
    bool isDrawn(qreal ratio) const;
    QString aheadKey(qreal ratio) const;

    QImage drawn_;
    qreal drawnWind_ = 0;
    // The widget's size the picture was drawn for: at a fractional ratio the picture's own size
    // in the widget's units rounds to other than the widget's.
    QSize drawnArea_;
};

}  // namespace velmora
