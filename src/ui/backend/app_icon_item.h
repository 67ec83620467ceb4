#pragma once

#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// The application icon as a QML item, at any size.
class AppIconItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(
        qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)

public:
    explicit AppIconItem(QQuickItem* parent = nullptr);

    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    void paint(QPainter* painter) override;

Q_SIGNALS:
    void cornerRadiusChanged();

private:
    qreal m_cornerRadius = -1; // negative: the icon's own proportion
};
