// The questionnaire's choices, painted: a tile for a field of work or a goal (symbol, title,
// one-line blurb, a check mark when chosen) and a card for a kind of Mac (a large symbol over its
// title). Both are StateButtons, on while chosen: a click emits clicked(), the questionnaire
// changes its answers and shows them. Accessibility tools see a checkable button named by the
// title. Texts are painted as written, so "Photo & Video" keeps its "&".
#pragma once

#include <string>
#include "ui/widgets/StateButton.hpp"

namespace velmora {

class OnboardingTile : public StateButton {
    Q_OBJECT

  public:
    OnboardingTile(std::string symbol, QString title, QString blurb, QWidget* parent = nullptr);

    const QString& title() const { return title_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Room left for the title and blurb in a tile `width` wide.
    qreal textWidth(qreal width) const;

    std::string symbol_;
    QString title_;
    QString blurb_;
};

class DeviceCard : public StateButton {
    Q_OBJECT

  public:
    DeviceCard(std::string symbol, QString title, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::string symbol_;
    QString title_;
};

}  // namespace velmora
