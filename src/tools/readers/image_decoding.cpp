#include "tools/readers/image_decoding.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <libheif/heif.h>

#include <cmath>
#include <memory>
#include <mutex>

namespace {

qint64 pixelsOf(QSize size) {
    return qint64(size.width()) * size.height();
}

// The size that fits maxRecognisedPixels, or the size itself when it does.
QSize recognitionSize(QSize size) {
    const qint64 pixels = pixelsOf(size);
    if (pixels <= ImageLimits::maxRecognisedPixels) {
        return size;
    }
    const double scale = std::sqrt(double(ImageLimits::maxRecognisedPixels) / double(pixels));
    return {std::max(1, int(size.width() * scale)), std::max(1, int(size.height() * scale))};
}

bool isHeif(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(64);
    return heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()),
                               static_cast<int>(head.size())) == heif_filetype_yes_supported;
}

template <typename T, void (*release)(T*)> struct Releaser {
    void operator()(T* pointer) const { release(pointer); }
};
using HeifContext = std::unique_ptr<heif_context, Releaser<heif_context, heif_context_free>>;
using HeifHandle = std::unique_ptr<heif_image_handle,
                                   Releaser<const heif_image_handle, heif_image_handle_release>>;
using HeifImage = std::unique_ptr<heif_image, Releaser<const heif_image, heif_image_release>>;

// The primary image, which is what viewers show as "the" picture of the file.
DecodedImage decodeHeif(const QString& path) {
    const HeifContext context(heif_context_alloc());
    if (!context ||
        heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr)
                .code != heif_error_Ok) {
        return {};
    }
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok) {
        return {};
    }
    const HeifHandle handle(rawHandle);
    const QSize size(heif_image_handle_get_width(handle.get()),
                     heif_image_handle_get_height(handle.get()));
    if (size.isEmpty()) {
        return {};
    }
    if (pixelsOf(size) > ImageLimits::maxDecodedPixels) {
        return {{}, size};
    }
    heif_image* rawImage = nullptr;
    if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                          heif_chroma_interleaved_RGBA, nullptr)
            .code != heif_error_Ok) {
        return {};
    }
    const HeifImage image(rawImage);
    int stride = 0;
    const uint8_t* pixels =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (pixels == nullptr) {
        return {};
    }
    const int decodedWidth = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int decodedHeight = heif_image_get_height(image.get(), heif_channel_interleaved);
    const QImage decoded(pixels, decodedWidth, decodedHeight, stride, QImage::Format_RGBA8888);
    const QSize target = recognitionSize(decoded.size());
    // Either way a copy: the QImage must not outlive libheif's buffer.
    return {target == decoded.size()
                ? decoded.copy()
                : decoded.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
            {}};
}

DecodedImage decodeWithQt(const QString& path) {
    // Qt refuses to allocate more than 128 MB for a picture by default, which
    // a 48-megapixel photo needs at full size (195 MB). The limit is the
    // process's: the window's own images are small and unaffected.
    static std::once_flag raised;
    std::call_once(raised, [] {
        QImageReader::setAllocationLimit(int(ImageLimits::maxDecodedPixels * 4 / (1024 * 1024)));
    });
    QImageReader reader(path);
    // The content decides, not the name: screenshots get renamed.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && recognitionSize(size) != size) {
        // JPEG decodes straight at the smaller size; other formats are decoded
        // whole and scaled, so only they are bound by the decoded size.
        if (!reader.supportsOption(QImageIOHandler::ScaledSize) &&
            pixelsOf(size) > ImageLimits::maxDecodedPixels) {
            return {{}, size};
        }
        reader.setScaledSize(recognitionSize(size));
    }
    return {reader.read(), {}};
}

QImage onWhite(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return image;
    }
    QImage flattened(image.size(), QImage::Format_RGB32);
    flattened.fill(Qt::white);
    QPainter painter(&flattened);
    painter.drawImage(0, 0, image);
    return flattened;
}

} // namespace

DecodedImage decodeFirstImage(const QString& path) {
    DecodedImage decoded = isHeif(path) ? decodeHeif(path) : decodeWithQt(path);
    if (!decoded.image.isNull()) {
        decoded.image = onWhite(decoded.image);
    }
    return decoded;
}
