#pragma once

#include <QQuickImageProvider>

// Draws the line icons in any colour and size: "image://icon/<name>/<rrggbb>"
// renders icons/<name>.svg of the theme with its stroke in that colour.
class IconProvider : public QQuickImageProvider {
public:
    IconProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
