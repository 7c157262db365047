// Colour values of the palette, built once in sRGB.
#include "ui/look/Theme.hpp"

#include <cstddef>

namespace velmora {

namespace {

constexpr double kShadowOpacity = 0.035;

// One per category in declaration order from finder to missionControl; categories past the end
// of the table (menubar) take kTintFallback.
constexpr std::array<int, 12> kCategoryTints{2, 1, 4, 3, 2, 5, 0, 5, 0, 2, 1, 3};
constexpr int kTintFallback = 4;

}  // namespace

const QColor& Theme::paper() {
    static const QColor colour(244, 241, 234);
    return colour;
}

const QColor& Theme::card() {
    static const QColor colour(255, 255, 255);
    return colour;
}

const QColor& Theme::ink() {
    static const QColor colour(35, 31, 26);
    return colour;
}

const QColor& Theme::secondary() {
    static const QColor colour(124, 117, 104);
    return colour;
}

const QColor& Theme::faint() {
    static const QColor colour(170, 162, 148);
    return colour;
}

const QColor& Theme::hairline() {
    static const QColor colour(234, 228, 215);
    return colour;
}

const QColor& Theme::accent() {
    static const QColor colour(193, 98, 59);
    return colour;
}

const QColor& Theme::shadow() {
    static const QColor colour = [] {
        QColor black(Qt::black);
        black.setAlphaF(kShadowOpacity);
        return black;
    }();
    return colour;
}

const std::array<QColor, Theme::tintCount>& Theme::tints() {
    static const std::array<QColor, tintCount> colours{
        QColor(237, 232, 245),  // pale lavender
        QColor(226, 236, 221),  // pale sage
        QColor(224, 233, 242),  // pale blue
        QColor(245, 236, 213),  // pale sand
        QColor(243, 226, 213),  // pale peach
        QColor(233, 234, 236),  // pale grey
    };
    return colours;
}

const QColor& Theme::tint(std::int64_t index) {
    // The remainder truncates toward zero, so a negative index needs the second wrap; doing it in
    // two steps never overflows, even for the most negative index.
    const std::int64_t remainder = index % tintCount;
    const auto position = static_cast<std::size_t>((remainder + tintCount) % tintCount);
    return tints()[position];
}

const QPalette& Theme::lightPalette() {
    static const QPalette palette = [] {
        QPalette built;
        built.setColor(QPalette::Window, paper());
        built.setColor(QPalette::WindowText, ink());
        built.setColor(QPalette::Base, card());
        built.setColor(QPalette::AlternateBase, paper());
        built.setColor(QPalette::Text, ink());
        built.setColor(QPalette::PlaceholderText, faint());
        built.setColor(QPalette::Button, card());
        built.setColor(QPalette::ButtonText, ink());
        built.setColor(QPalette::BrightText, card());
        built.setColor(QPalette::Highlight, accent());
        built.setColor(QPalette::HighlightedText, card());
        built.setColor(QPalette::Link, accent());
        built.setColor(QPalette::ToolTipBase, card());
        built.setColor(QPalette::ToolTipText, ink());
        built.setColor(QPalette::Light, card());
        built.setColor(QPalette::Midlight, paper());
        built.setColor(QPalette::Mid, hairline());
        built.setColor(QPalette::Dark, faint());
        built.setColor(QPalette::Shadow, secondary());
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            built.setColor(QPalette::Disabled, role, faint());
        }
        return built;
    }();
    return palette;
}

int categoryTintIndex(TweakCategory category) {
    const auto position = static_cast<std::size_t>(category);
    return position < kCategoryTints.size() ? kCategoryTints[position] : kTintFallback;
}

QColor withOpacity(const QColor& colour, qreal opacity) {
    QColor result = colour;
    result.setAlphaF(colour.alphaF() * opacity);
    return result;
}

QColor mix(const QColor& from, const QColor& to, qreal t) {
    const auto along = [t](qreal a, qreal b) { return a + (b - a) * t; };
    return QColor::fromRgbF(static_cast<float>(along(from.redF(), to.redF())),
                            static_cast<float>(along(from.greenF(), to.greenF())),
                            static_cast<float>(along(from.blueF(), to.blueF())),
                            static_cast<float>(along(from.alphaF(), to.alphaF())));
}

}  // namespace velmora
