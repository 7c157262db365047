// One filter chip of the Browse page: its label on a capsule, paper text on ink when it is the
// chosen filter, secondary text on white with a hairline otherwise. A click emits clicked(); the
// page sets the filter, and the chip shows it at the next sync. Accessibility tools see a
// checkable button named by the label, on when chosen.
#pragma once

#include "ui/widgets/StateButton.hpp"

namespace velmora {

class FilterChip : public StateButton {
    Q_OBJECT

  public:
    explicit FilterChip(const QString& label, QWidget* parent = nullptr);

    const QString& label() const { return label_; }
    bool isSelected() const { return isOn(); }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString label_;
};

}  // namespace velmora
