#include "tools/readers/image_decoding.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <libheif/heif.h>

#include <memory>

namespace {

// As much as QImageReader allows by default (256 MB of pixels), for the HEIF
// path, which has no such limit of its own.
constexpr qint64 maxDecodedBytes = qint64(256) * 1024 * 1024;

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
QImage decodeHeif(const QString& path) {
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
    const qint64 width = heif_image_handle_get_width(handle.get());
    const qint64 height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0 || width * height * 4 > maxDecodedBytes) {
        return {};
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
    // copy(): the QImage must not outlive libheif's buffer.
    return QImage(pixels, decodedWidth, decodedHeight, stride, QImage::Format_RGBA8888).copy();
}

QImage decodeWithQt(const QString& path) {
    QImageReader reader(path);
    // The content decides, not the name: screenshots get renamed.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    return reader.read();
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

QImage decodeFirstImage(const QString& path) {
    const QImage image = isHeif(path) ? decodeHeif(path) : decodeWithQt(path);
    return image.isNull() ? image : onWhite(image);
}
