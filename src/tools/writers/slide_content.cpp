#include "tools/writers/slide_content.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QStringList bulletsOf(const QJsonValue& value) {
    if (!value.isArray()) {
        return {};
    }
    QStringList bullets;
    for (const QJsonValue& bullet : value.toArray()) {
        if (!bullet.isString()) {
            return {};
        }
        bullets.append(bullet.toString());
    }
    return bullets;
}

SlideContent slideFrom(const QJsonObject& object, qsizetype position) {
    SlideContent slide;
    const QJsonValue title = object.value(QLatin1String("title"));
    slide.title =
        title.isString() ? title.toString() : QStringLiteral("Slide ") + QString::number(position);
    const QJsonValue subtitle = object.value(QLatin1String("subtitle"));
    if (subtitle.isString()) {
        slide.subtitle = subtitle.toString();
    }
    slide.bullets = bulletsOf(object.value(QLatin1String("bullets")));
    return slide;
}

} // namespace

std::optional<QList<SlideContent>> parseSlides(const QString& slidesJson) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(slidesJson.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    const QJsonArray array = document.array();
    QList<SlideContent> slides;
    slides.reserve(array.size());
    for (const QJsonValue& value : array) {
        if (!value.isObject()) {
            return std::nullopt;
        }
        slides.append(slideFrom(value.toObject(), slides.size() + 1));
    }
    return slides;
}
