#include "tools/writers/slide_content.h"

#include "tools/writers/writer_input.h"

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
    const std::optional<QJsonArray> array = parseJsonArray(slidesJson);
    if (!array) {
        return std::nullopt;
    }
    QList<SlideContent> slides;
    slides.reserve(array->size());
    for (const QJsonValue& value : *array) {
        if (!value.isObject()) {
            return std::nullopt;
        }
        slides.append(slideFrom(value.toObject(), slides.size() + 1));
    }
    return slides;
}
