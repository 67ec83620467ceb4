#include "app_icon_item.h"

#include "app_icon_painter.h"

#include <QPainter>

AppIconItem::AppIconItem(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void AppIconItem::setCornerRadius(qreal radius) {
    if (qFuzzyCompare(m_cornerRadius, radius)) {
        return;
    }
    m_cornerRadius = radius;
    Q_EMIT cornerRadiusChanged();
    update();
}

void AppIconItem::paint(QPainter* painter) {
    const double size = std::min(width(), height());
    AppIconPainter::paint(*painter, size,
                          m_cornerRadius < 0 ? AppIconPainter::defaultCornerRadius(size)
                                             : m_cornerRadius);
}
