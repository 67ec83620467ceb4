#include "qr_code_provider.h"

#include <QPainter>
#include <QUrl>

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int quietModules = 4;
constexpr int defaultModuleSize = 4;

struct FreeCode {
    void operator()(QRcode* code) const { QRcode_free(code); }
};
using Code = std::unique_ptr<QRcode, FreeCode>;

Code encode(const QString& text) {
    if (text.isEmpty()) {
        return nullptr;
    }
    // Level M: a phone reads it off a screen at a glance, the code stays small.
    return Code(QRcode_encodeString8bit(text.toUtf8().constData(), 0, QR_ECLEVEL_M));
}

QImage draw(const QRcode& code, int moduleSize) {
    const int side = (code.width + 2 * quietModules) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code.width; ++y) {
        for (int x = 0; x < code.width; ++x) {
            // The lowest bit of each byte is the module's colour (1: dark).
            if ((code.data[y * code.width + x] & 1) != 0) {
                painter.fillRect((x + quietModules) * moduleSize, (y + quietModules) * moduleSize,
                                 moduleSize, moduleSize, Qt::black);
            }
        }
    }
    return image;
}

} // namespace

QImage qrCodeImage(const QString& text, int moduleSize) {
    const Code code = encode(text);
    return code ? draw(*code, std::max(1, moduleSize)) : QImage();
}

QrCodeProvider::QrCodeProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}

QImage QrCodeProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize) {
    const Code code = encode(QUrl::fromPercentEncoding(id.toUtf8()));
    if (!code) {
        *size = QSize();
        return {};
    }
    const int modules = code->width + 2 * quietModules;
    // The smaller side asked for, or the one side given.
    const int width = std::max(requestedSize.width(), 0);
    const int height = std::max(requestedSize.height(), 0);
    const int wanted = width > 0 && height > 0 ? std::min(width, height) : std::max(width, height);
    const int moduleSize = wanted > 0 ? std::max(1, wanted / modules) : defaultModuleSize;
    QImage image = draw(*code, moduleSize);
    *size = image.size();
    return image;
}
