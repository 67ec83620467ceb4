// Writes the application icon for installation: one SVG and PNGs at the usual
// sizes, all from the same drawing as the window's icon.
// Usage: emberglass-render-icon OUTPUT_DIRECTORY

#include "ui/backend/app_icon_painter.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("Usage: emberglass-render-icon OUTPUT_DIRECTORY\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "Cannot create %s\n", argv[1]);
        return 1;
    }

    // Icons on a desktop carry their own margin: the square fills 7/8 of the canvas.
    constexpr double svgSide = 128;
    constexpr double inset = svgSide / 16;
    QSvgGenerator svg;
    svg.setFileName(out.filePath(QStringLiteral("emberglass.svg")));
    svg.setSize(QSize(int(svgSide), int(svgSide)));
    svg.setViewBox(QRectF(0, 0, svgSide, svgSide));
    svg.setTitle(QStringLiteral("Emberglass"));
    {
        QPainter painter(&svg);
        painter.translate(inset, inset);
        const double side = svgSide - 2 * inset;
        AppIconPainter::paint(painter, side, AppIconPainter::defaultCornerRadius(side));
    }

    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const double margin = size / 16.0;
        painter.translate(margin, margin);
        const double side = size - 2 * margin;
        AppIconPainter::paint(painter, side, AppIconPainter::defaultCornerRadius(side));
        painter.end();
        if (!image.save(out.filePath(QStringLiteral("emberglass-%1.png").arg(size)))) {
            std::fprintf(stderr, "Cannot write the %d px icon\n", size);
            return 1;
        }
    }
    return 0;
}
