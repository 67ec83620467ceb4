#include "tools/readers/image_recognition.h"

#include "tools/readers/image_decoding.h"
#include "tools/readers/ocr_engine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

using Kind = ImageRecognition::Kind;

constexpr std::array<std::pair<Kind, QLatin1String>, 5> kindNames{{
    {Kind::recognised, QLatin1String("recognised")},
    {Kind::undecodable, QLatin1String("undecodable")},
    {Kind::tooLarge, QLatin1String("tooLarge")},
    {Kind::failed, QLatin1String("failed")},
    {Kind::error, QLatin1String("error")},
}};

} // namespace

ImageRecognition recogniseImageFile(const QString& path) {
    const DecodedImage decoded = decodeFirstImage(path);
    if (decoded.tooLarge.isValid()) {
        return {Kind::tooLarge, {}, {}, decoded.tooLarge};
    }
    if (decoded.image.isNull()) {
        return {Kind::undecodable};
    }
    const OcrResult result = recogniseText(decoded.image);
    switch (result.status) {
    case OcrResult::Status::Failed:
        return {Kind::failed, {}, result.description};
    case OcrResult::Status::Error:
        return {Kind::error, {}, result.description};
    case OcrResult::Status::Recognised:
        break;
    }
    return {Kind::recognised, result.lines};
}

QByteArray recognitionMessage(const ImageRecognition& recognition) {
    QLatin1String kind;
    for (const auto& [each, name] : kindNames) {
        if (each == recognition.kind) {
            kind = name;
        }
    }
    return QJsonDocument(
               QJsonObject{{QLatin1String("kind"), kind},
                           {QLatin1String("lines"), QJsonArray::fromStringList(recognition.lines)},
                           {QLatin1String("description"), recognition.description},
                           {QLatin1String("width"), recognition.size.width()},
                           {QLatin1String("height"), recognition.size.height()}})
        .toJson(QJsonDocument::Compact);
}

std::optional<ImageRecognition> recognitionFromMessage(const QByteArray& message) {
    const QJsonObject object = QJsonDocument::fromJson(message).object();
    const QString kind = object.value(QLatin1String("kind")).toString();
    for (const auto& [each, name] : kindNames) {
        if (kind != name) {
            continue;
        }
        QStringList lines;
        for (const QJsonValue& line : object.value(QLatin1String("lines")).toArray()) {
            lines.append(line.toString());
        }
        return ImageRecognition{each, lines, object.value(QLatin1String("description")).toString(),
                                QSize(object.value(QLatin1String("width")).toInt(),
                                      object.value(QLatin1String("height")).toInt())};
    }
    return std::nullopt;
}
