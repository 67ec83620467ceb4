#include "app_icon_painter.h"

#include <QIcon>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace {

// The outlines in units of the icon's side.
QPainterPath flame(double s) {
    QPainterPath path({0.50 * s, 0.17 * s});
    path.cubicTo(0.56 * s, 0.32 * s, 0.72 * s, 0.40 * s, 0.72 * s, 0.59 * s);
    path.cubicTo(0.72 * s, 0.73 * s, 0.62 * s, 0.83 * s, 0.50 * s, 0.83 * s);
    path.cubicTo(0.38 * s, 0.83 * s, 0.28 * s, 0.73 * s, 0.28 * s, 0.60 * s);
    path.cubicTo(0.28 * s, 0.49 * s, 0.35 * s, 0.42 * s, 0.40 * s, 0.35 * s);
    path.cubicTo(0.41 * s, 0.43 * s, 0.44 * s, 0.48 * s, 0.48 * s, 0.50 * s);
    path.cubicTo(0.47 * s, 0.38 * s, 0.45 * s, 0.28 * s, 0.50 * s, 0.17 * s);
    path.closeSubpath();
    return path;
}

QPainterPath core(double s) {
    QPainterPath path({0.50 * s, 0.52 * s});
    path.cubicTo(0.56 * s, 0.59 * s, 0.61 * s, 0.63 * s, 0.61 * s, 0.69 * s);
    path.cubicTo(0.61 * s, 0.75 * s, 0.56 * s, 0.78 * s, 0.50 * s, 0.78 * s);
    path.cubicTo(0.44 * s, 0.78 * s, 0.39 * s, 0.75 * s, 0.39 * s, 0.69 * s);
    path.cubicTo(0.39 * s, 0.63 * s, 0.45 * s, 0.59 * s, 0.50 * s, 0.52 * s);
    path.closeSubpath();
    return path;
}

void spark(QPainter& painter, double s, double x, double y, double r) {
    painter.drawEllipse(QPointF(x * s, y * s), r * s, r * s);
}

} // namespace

namespace AppIconPainter {

void paint(QPainter& painter, double size, double cornerRadius) {
    const double s = size;
    const double r = std::clamp(cornerRadius, 0.0, s / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    QLinearGradient body(0, 0, 0, s);
    body.setColorAt(0, QColor::fromRgbF(1.0f, 0.56f, 0.26f));
    body.setColorAt(1, QColor::fromRgbF(0.93f, 0.32f, 0.10f));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(0, 0, s, s), r, r);

    painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.96f));
    painter.drawPath(flame(s));
    painter.setBrush(QColor::fromRgbF(1.0f, 0.78f, 0.40f));
    painter.drawPath(core(s));

    painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.9f));
    spark(painter, s, 0.71, 0.25, 0.034);
    spark(painter, s, 0.79, 0.37, 0.022);
    spark(painter, s, 0.63, 0.15, 0.018);
    painter.restore();
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const double margin = size / 16.0;
        painter.translate(margin, margin);
        paint(painter, size - 2 * margin, defaultCornerRadius(size - 2 * margin));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace AppIconPainter
