// A button that is a line of text in a design font with no bezel ("Back", "Skip", "Cancel",
// "Select all"), or, given a capsule, that text on a filled capsule ("Continue", "Save scene").
// The text is shown as written ("&" is no mnemonic) and is the button's accessible name. A
// disabled capsule takes its disabled fill and ignores clicks. A tool button drawn by the
// application's style, so focus, hover, disabling and accessibility are Qt's.
//
//     auto* save = new TextButton(DesignFont::inter(13, FontWeight::semibold), Theme::paper());
//     save->setLabel(QStringLiteral("Save scene"));
//     save->setCapsule(Theme::ink(), Theme::faint(), 7, 16);
#pragma once

#include <QColor>
#include <QToolButton>
#include <optional>

#include "ui/look/Fonts.hpp"

namespace velmora {

class TextButton : public QToolButton {
    Q_OBJECT

  public:
    TextButton(DesignFont font, QColor colour, QWidget* parent = nullptr);

    void setLabel(const QString& text);
    const QString& label() const { return label_; }
    // Puts the text on a capsule filled with `fill` (`disabledFill` while disabled), padded
    // `paddingV` above and below and `paddingH` on each side.
    void setCapsule(QColor fill, QColor disabledFill, qreal paddingV, qreal paddingH);
    // The capsule's colour now, if it has one.
    std::optional<QColor> shownFill() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  private:
    struct Capsule {
        QColor fill;
        QColor disabledFill;
        qreal paddingV;
        qreal paddingH;
    };

    DesignFont font_;
    QColor colour_;
    QString label_;
    std::optional<Capsule> capsule_;
};

}  // namespace velmora
