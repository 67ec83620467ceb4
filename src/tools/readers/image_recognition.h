#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// What reading one image gave. read_image has it done by a helper program (so
// that a decoder or Tesseract that hangs can be ended), which sends it back as
// one message.
struct ImageRecognition {
    enum class Kind {
        recognised,  // lines holds the text (possibly none)
        undecodable, // the file is no image that can be decoded
        tooLarge,    // size: the picture's, refused before decoding
        failed,      // the recogniser could not run (description says why)
        error,       // recognition ran and ended with an error
    };
    Kind kind = Kind::undecodable;
    QStringList lines = {};
    QString description = {};
    QSize size = {};

    bool operator==(const ImageRecognition&) const = default;
};

// Decodes the first image of the file and recognises its text.
ImageRecognition recogniseImageFile(const QString& path);

// The message the helper sends, and what it reads back as (nothing for a
// message of another shape).
QByteArray recognitionMessage(const ImageRecognition& recognition);
std::optional<ImageRecognition> recognitionFromMessage(const QByteArray& message);
