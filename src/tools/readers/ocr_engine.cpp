#include "tools/readers/ocr_engine.h"

#include "tools/readers/openmp_threads.h"

#include <QDir>
#include <QFileInfo>

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct ThreadEngine {
    std::unique_ptr<tesseract::TessBaseAPI> api;
    // Where the loaded data came from: a different directory means a new engine.
    QByteArray source;
};

thread_local ThreadEngine threadEngine;

QByteArray dataSource(const QString& dataDirectory) {
    return dataDirectory.toLocal8Bit() + '\n' + qgetenv("TESSDATA_PREFIX");
}

// Tesseract loads what it finds and reports the rest only on stderr, so the
// missing models are named here: recognising with some of them missing would
// quietly read Chinese or Japanese as garbage.
QString missingLanguageData(const QString& directory) {
    QStringList missing;
    for (const QString& language : QString::fromLatin1(ocrLanguages).split(QLatin1Char('+'))) {
        const QString file = language + QStringLiteral(".traineddata");
        if (!QFileInfo::exists(QDir(directory).filePath(file))) {
            missing.append(file);
        }
    }
    if (missing.isEmpty()) {
        return {};
    }
    return QStringLiteral("Tesseract language data not found: %1 (looked in %2)")
        .arg(missing.join(QStringLiteral(", ")), directory);
}

bool loadedEveryLanguage(tesseract::TessBaseAPI& api) {
    std::vector<std::string> loaded;
    api.GetLoadedLanguagesAsVector(&loaded);
    std::vector<std::string> requested;
    for (const QString& language : QString::fromLatin1(ocrLanguages).split(QLatin1Char('+'))) {
        requested.push_back(language.toStdString());
    }
    return std::is_permutation(loaded.begin(), loaded.end(), requested.begin(), requested.end());
}

// The thread's engine, initialised for dataDirectory; null and a description
// when it cannot be. A failed engine is not kept, so installing the data
// helps without a restart.
tesseract::TessBaseAPI* engineFor(const QString& dataDirectory, QString& failure) {
    const QByteArray source = dataSource(dataDirectory);
    if (threadEngine.api && threadEngine.source == source) {
        return threadEngine.api.get();
    }
    threadEngine = {};
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    // Progress and warnings would otherwise go to stderr.
    std::vector<std::string> names{"debug_file"};
    std::vector<std::string> values{"/dev/null"};
    const QByteArray directory = dataDirectory.toLocal8Bit();
    const int status =
        api->Init(dataDirectory.isEmpty() ? nullptr : directory.constData(), ocrLanguages,
                  tesseract::OEM_DEFAULT, nullptr, 0, &names, &values, false);
    if (status != 0 || !loadedEveryLanguage(*api)) {
        const char* used = api->GetDatapath();
        failure =
            missingLanguageData(used != nullptr ? QString::fromLocal8Bit(used) : dataDirectory);
        if (failure.isEmpty()) {
            failure = QStringLiteral("Tesseract could not load the language data for %1")
                          .arg(QLatin1String(ocrLanguages));
        }
        return nullptr;
    }
    // Full layout analysis, as the tesseract command does: the library's own
    // default (one uniform block) runs the columns of a screenshot together
    // and takes longer.
    api->SetPageSegMode(tesseract::PSM_AUTO);
    threadEngine = {std::move(api), source};
    return threadEngine.api.get();
}

QStringList recognisedLines(tesseract::TessBaseAPI& api) {
    QStringList lines;
    const std::unique_ptr<tesseract::ResultIterator> iterator(api.GetIterator());
    if (!iterator || iterator->Empty(tesseract::RIL_TEXTLINE)) {
        return lines;
    }
    do {
        const std::unique_ptr<char[]> text(iterator->GetUTF8Text(tesseract::RIL_TEXTLINE));
        const QString line = text ? QString::fromUtf8(text.get()).trimmed() : QString();
        if (!line.isEmpty()) {
            lines.append(line);
        }
    } while (iterator->Next(tesseract::RIL_TEXTLINE));
    return lines;
}

} // namespace

OcrResult recogniseText(const QImage& image, const QString& dataDirectory) {
    QString failure;
    tesseract::TessBaseAPI* api = engineFor(dataDirectory, failure);
    if (api == nullptr) {
        return {OcrResult::Status::Failed, {}, failure};
    }
    keepOpenMpOnThisThread();
    const QImage pixels = image.convertToFormat(QImage::Format_RGB888);
    api->SetImage(pixels.constBits(), pixels.width(), pixels.height(), 3,
                  static_cast<int>(pixels.bytesPerLine()));
    OcrResult result;
    if (api->Recognize(nullptr) != 0) {
        result = {OcrResult::Status::Error,
                  {},
                  QStringLiteral("Tesseract could not recognise the image")};
    } else {
        result.lines = recognisedLines(*api);
    }
    // Frees the image and the results; the loaded models stay.
    api->Clear();
    return result;
}
