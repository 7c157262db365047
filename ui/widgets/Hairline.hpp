// A line one point high across its width in the hairline colour: the divider between a header
// and a list, between list rows, above a footer.
#pragma once

#include <QWidget>

namespace velmora {

class Hairline : public QWidget {
    Q_OBJECT

  public:
    explicit Hairline(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velmora
