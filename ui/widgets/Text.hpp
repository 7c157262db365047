// Texts from data shown as written: Qt reads "&" in button and action texts as a keyboard mnemonic
// and guesses rich text in labels and tool tips, so "Photo & Video" or a scene named "<b>x</b>"
// would change on screen. Every button text, action text and tool tip made from data goes through
// these.
#pragma once

#include <QString>
#include <string_view>

class QWidget;

namespace velmora {

QString toQString(std::string_view text);

// For QAbstractButton and QAction texts: "&" doubled, so it shows instead of underlining.
QString mnemonicSafe(const QString& text);

// Tips up to this many characters stay on one line; longer ones wrap.
inline constexpr qsizetype kOneLineTipLength = 64;

// For tool tips: the text escaped and marked as rich text, so nothing in it is read as markup.
QString plainToolTip(const QString& text);

// Sets the plain tool tip only when it differs: setting it again on every sync would close a tip
// the user is reading.
void setPlainToolTip(QWidget& widget, const QString& text);

}  // namespace velmora
