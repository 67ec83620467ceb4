#pragma once

#include <QImage>
#include <QQuickImageProvider>
#include <QString>

// The QR code of `text`: dark modules on white, `moduleSize` pixels each, with
// the quiet zone of four modules that readers need. A null image when the text
// is empty or too long for a code.
QImage qrCodeImage(const QString& text, int moduleSize);

// "image://qr/<text, percent-encoded>": the text's QR code, as large as fits
// the requested size in whole pixels a module (crisp at any scale).
class QrCodeProvider : public QQuickImageProvider {
public:
    QrCodeProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
