#pragma once

#include <QString>

// Every text the three document writers answer with, in one place. The two
// slide tools word their invalid-JSON message differently on purpose.
namespace WriterMessages {

inline QString invalidPptxSlides() {
    return QStringLiteral("Invalid slides JSON");
}
inline QString invalidPdfSlides() {
    return QStringLiteral(
        R"(Invalid slides JSON. Expected: [{"title":"...","bullets":["..."]},...])");
}
inline QString noSlides() {
    return QStringLiteral("No slides provided");
}
inline QString invalidData() {
    return QStringLiteral(
        R"(Invalid data JSON. Expected: [["header1","header2"],["val1","val2"],...])");
}
inline QString noData() {
    return QStringLiteral("No data provided");
}
inline QString zipFailed() {
    return QStringLiteral("Failed to create ZIP archive");
}
inline QString cannotCreatePdf() {
    return QStringLiteral("Cannot create PDF context");
}

inline QString createdPptx(qsizetype slides, const QString& path) {
    return QStringLiteral("Created PPTX with ") + QString::number(slides) +
           QStringLiteral(" slides at ") + path;
}
inline QString createdXlsx(qsizetype rows, const QString& path) {
    return QStringLiteral("Created XLSX with ") + QString::number(rows) +
           QStringLiteral(" rows at ") + path;
}
inline QString createdPdf(qsizetype slides, const QString& path) {
    return QStringLiteral("Created PDF presentation with ") + QString::number(slides) +
           QStringLiteral(" slides at ") + path;
}

} // namespace WriterMessages
