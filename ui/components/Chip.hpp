// A tiny capsule label in the accent colour: "ADMIN" and "ADVANCED" on the setting rows.
#pragma once

#include <QString>
#include <QWidget>

#include "ui/widgets/Accessibility.hpp"

namespace velmora {

class Chip : public QWidget, public accessibility::OwnReading {
    Q_OBJECT

  public:
    explicit Chip(QString text, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};

}  // namespace velmora
