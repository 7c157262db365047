// velmora-icon: draws the application's icon for the desktop's menus and launchers, at build time,
// with the same spiral the window and the status item show.
//   velmora-icon FOLDER   writes FOLDER/velmora.svg and FOLDER/<side>/velmora.png for each side
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "ui/look/MenuBarIcon.hpp"
#include "ui/look/Theme.hpp"

namespace {

using velmora::MenuBarIcon;
using velmora::Theme;

// The sides the desktop's icon theme looks for first; the SVG serves every other size.
constexpr std::array<int, 4> kPixelSides{32, 48, 128, 256};
constexpr int kDesignSide = 256;
// A paper tile behind the ink spiral, so that the mark shows on dark menus as on light ones.
constexpr qreal kTileMargin = 0.06;
constexpr qreal kTileCornerRadius = 0.2;
constexpr qreal kSpiralInset = 0.2;
// The spiral's stroke: a fraction of the mark's side, so the turns stay apart at every size, but
// never thinner than a pixel and a bit.
constexpr qreal kMarkSidePerStroke = 26;
constexpr qreal kThinnestStroke = 1.25;

void paintIcon(QPainter& painter, qreal side) {
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal margin = side * kTileMargin;
    const QRectF tile(margin, margin, side - 2 * margin, side - 2 * margin);
    painter.setPen(QPen(Theme::hairline(), side / kDesignSide));
    painter.setBrush(Theme::paper());
    painter.drawRoundedRect(tile, tile.width() * kTileCornerRadius,
                            tile.height() * kTileCornerRadius);
    const qreal inset = side * kSpiralInset;
    const QRectF mark(inset, inset, side - 2 * inset, side - 2 * inset);
    const qreal stroke = std::max(mark.width() / kMarkSidePerStroke, kThinnestStroke);
    painter.setPen(QPen(Theme::ink(), stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(MenuBarIcon::path(mark));
}

bool writeSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kDesignSide, kDesignSide));
    svg.setViewBox(QRect(0, 0, kDesignSide, kDesignSide));
    svg.setTitle(QStringLiteral("Velmora"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    paintIcon(painter, kDesignSide);
    return painter.end();
}

bool writePng(const QString& path, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        paintIcon(painter, side);
    }
    return image.save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-icon FOLDER\n");
        return EXIT_FAILURE;
    }
    // Drawing needs no screen: the build may run without one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool written = folder.mkpath(QStringLiteral(".")) &&
                   writeSvg(folder.filePath(QStringLiteral("velmora.svg")));
    for (const int side : kPixelSides) {
        const QString sideFolder = QString::number(side);
        written = written && folder.mkpath(sideFolder) &&
                  writePng(folder.filePath(sideFolder + QStringLiteral("/velmora.png")), side);
    }
    if (!written) {
        std::fprintf(stderr, "velmora-icon: cannot write the icons into %s\n", argv[1]);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
