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

// At most what one line of any screen can show (DesignFont::longestLine characters); a longer
// text is cut and ends in "…". Qt's own widgets measure and lay out a whole text, which for a
// stored text of megabytes takes seconds: what they are given to show goes through this.
QString shownPart(const QString& text);

// For QAbstractButton and QAction texts, cut to `shownPart`: "&" doubled, so it shows instead of
// underlining.
QString mnemonicSafe(const QString& text);

// Tips up to this many characters stay on one line; longer ones wrap.
inline constexpr qsizetype kOneLineTipLength = 64;

// For tool tips, cut to `shownPart`: the text escaped and marked as rich text, so nothing in it
// is read as markup.
QString plainToolTip(const QString& text);

// Sets the plain tool tip only when it differs: setting it again on every sync would close a tip
// the user is reading. The text is also the widget's accessible description, unless it has one
// of its own.
void setPlainToolTip(QWidget& widget, const QString& text);

}  // namespace velmora
