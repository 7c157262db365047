// A time of day in hours and minutes, in a plain field: the user clicks the hour or the minute and
// types it or steps it with the arrow keys. It reads "9:41 AM" whatever the user's locale, as the
// rule texts do. The mouse wheel changes it only while it has focus, so the page scrolls past it.
// setTime() emits timeChanged as QTimeEdit does: owners setting it back from their state block
// signals.
//
//     auto* time = new TimeField;
//     connect(time, &QTimeEdit::timeChanged, this, [this](QTime t) { form.time = t; });
#pragma once

#include <QTimeEdit>

namespace velmora {

class DesignFont;

class TimeField : public QTimeEdit {
    Q_OBJECT

  public:
    explicit TimeField(QWidget* parent = nullptr);

    void setDesignFont(const DesignFont& font);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void placeEditor();
};

}  // namespace velmora
