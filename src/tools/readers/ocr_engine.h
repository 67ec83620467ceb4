#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// What one recognition gave.
struct OcrResult {
    enum class Status {
        Recognised, // lines holds the text (possibly none)
        Failed,     // the recogniser could not run (no language data, ...)
        Error,      // recognition ran and ended with an error
    };
    Status status = Status::Recognised;
    QStringList lines;
    QString description;
};

// In order of preference: the first Chinese model decides whether Chinese
// comes out Simplified or Traditional.
inline constexpr char ocrLanguages[] = "chi_sim+chi_tra+eng+jpn+kor";

// The text lines of an image in reading order, recognised by Tesseract.
// Loading five language models takes most of a second, so each thread keeps
// its initialised engine for the next image. dataDirectory holds the
// *.traineddata files; empty lets Tesseract choose (TESSDATA_PREFIX, else the
// installed data).
OcrResult recogniseText(const QImage& image, const QString& dataDirectory = {});
