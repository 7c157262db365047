// The bar above every page: the search capsule, whose every keystroke is the query (as typed,
// never trimmed), and the "N on" pill that leads to On now while anything is on.
#pragma once

#include <QWidget>
#include "ui/widgets/PaintedButton.hpp"

class QLineEdit;

namespace velmora {

class MainWindow;
struct WindowView;

// The "N on" capsule: an accent dot and the count.
class CountPill : public PaintedButton {
    Q_OBJECT

  public:
    explicit CountPill(QWidget* parent = nullptr);

    void setCount(int count);
    int count() const { return count_; }
    // "12 on".
    QString label() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int count_ = 0;
};

class TopBar : public QWidget {
    Q_OBJECT

  public:
    static constexpr int fieldWidth = 250;

    explicit TopBar(MainWindow& window, QWidget* parent = nullptr);

    void show(const WindowView& view);

    QLineEdit& searchField() const { return *field_; }
    CountPill& countPill() const { return *pill_; }

  private:
    QWidget* capsule_;
    QLineEdit* field_;
    CountPill* pill_;
};

}  // namespace velmora
