// A value shown as text beside a small up/down pair, for whole numbers moved in fixed steps.
// (QSpinBox edits as text and greys out its arrows when read-only, which is not this control.)
// A click on an arrow, or the Up or Down key while the stepper has the focus, moves the value by
// one step within the range and emits `valueChanged`; an arrow is disabled at its end of the
// range. setValue() emits nothing. Tools read it as a spin box named by the value shown.
//
//     auto* threshold = new Stepper(5, 80, 5);
//     threshold->setFormat([](int v) { return QString::number(v) + "%"; });
//     connect(threshold, &Stepper::valueChanged, this, [this](int v) { form.threshold = v; });
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/look/Fonts.hpp"

class QAbstractButton;

namespace velmora {

class RingAround;

class TextLabel;

class Stepper : public QWidget {
    Q_OBJECT

  public:
    using Format = std::function<QString(int)>;

    Stepper(int min, int max, int step, QWidget* parent = nullptr);
    ~Stepper() override;

    int value() const { return value_; }
    void setValue(int value);
    void setFormat(Format format);
    void setDesignFont(const DesignFont& font);

    QAbstractButton& upButton() const { return *up_; }
    QAbstractButton& downButton() const { return *down_; }

  signals:
    void valueChanged(int value);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void stepBy(int steps);
    void showValue();

    int min_;
    int max_;
    int step_;
    int value_;
    Format format_;
    TextLabel* label_;
    QAbstractButton* up_;
    QAbstractButton* down_;
    QPointer<RingAround> ring_;
};

}  // namespace velmora
