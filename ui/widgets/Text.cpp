// Escaping of data texts for Qt's mnemonic and rich-text guesses.
#include "ui/widgets/Text.hpp"

#include <QWidget>

#include "ui/look/Fonts.hpp"

namespace velmora {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString shownPart(const QString& text) {
    const QString part = DesignFont::visiblePart(text);
    return part.size() == text.size() ? text : part + QStringLiteral("\u2026");
}

QString mnemonicSafe(const QString& text) {
    QString escaped = shownPart(text);
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return escaped;
}

QString plainToolTip(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    // Qt wraps a rich-text tip at a fraction of its widest width, breaking even a few words onto
    // two lines: a short tip is kept on one.
    if (text.size() <= kOneLineTipLength) {
        return QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() +
               QStringLiteral("</p>");
    }
    return QStringLiteral("<qt>") + shownPart(text).toHtmlEscaped() + QStringLiteral("</qt>");
}

void setPlainToolTip(QWidget& widget, const QString& text) {
    const QString tip = plainToolTip(text);
    if (widget.toolTip() != tip) {
        widget.setToolTip(tip);
    }
    // Accessibility tools read a tool tip as the description, markup and all: they get the
    // plain text instead, unless the widget describes itself otherwise.
    static constexpr const char* kTipDescription = "velmora.tipDescription";
    const QString described = widget.accessibleDescription();
    if (described.isEmpty() || described == widget.property(kTipDescription).toString()) {
        if (described != text) {
            widget.setAccessibleDescription(text);
        }
        widget.setProperty(kTipDescription, text);
    }
}

}  // namespace velmora
