#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One slide as the slide tools read it from their "slides" argument.
struct SlideContent {
    QString title;                   // "Slide " + position when missing or not a string
    std::optional<QString> subtitle; // present only when given as a string
    QStringList bullets;             // empty unless every element is a string

    bool operator==(const SlideContent&) const = default;
};

// Reads the slides JSON. Nothing when the text is not a JSON array of objects;
// an empty array gives an empty list.
std::optional<QList<SlideContent>> parseSlides(const QString& slidesJson);
