#include "persona/memory_file_display.h"

#include "persona/line_text.h"
#include "text/user_characters.h"

#include <QRegularExpression>

namespace {

constexpr qsizetype previewLength = 80;

bool isSkippedLeadingLine(const QString& line) {
    return line.startsWith(QLatin1Char('#')) || trimSpacesAndTabs(line).isEmpty();
}

} // namespace

QString memoryFilePreview(const QString& content) {
    // A CR LF pair is one line break here, as files edited on Windows have them.
    QString text = content.trimmed();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = splitAtLineBreaks(text);

    qsizetype first = 0;
    while (first < lines.size() && isSkippedLeadingLine(lines.at(first))) {
        ++first;
    }
    const QString preview = lines.mid(first, 2).join(QLatin1Char(' '));
    return preview.isEmpty() ? QStringLiteral("Empty") : firstCharacters(preview, previewLength);
}

MemoryFileKind memoryFileKind(const QString& name) {
    if (name.endsWith(QStringLiteral("-personal"))) {
        return MemoryFileKind::personal;
    }
    if (name.endsWith(QStringLiteral("-work"))) {
        return MemoryFileKind::work;
    }
    if (name.endsWith(QStringLiteral("-financial"))) {
        return MemoryFileKind::financial;
    }
    return MemoryFileKind::daily;
}

QString memoryFileDateText(const QDateTime& date, const QLocale& locale) {
    // The locale's long date without the weekday and with the short month name.
    static const QRegularExpression weekday(QStringLiteral(R"(d{4}[,\s]*|[,\s]*d{4})"));
    QString dateFormat = locale.dateFormat(QLocale::LongFormat);
    dateFormat.remove(weekday);
    dateFormat.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return locale.toString(date.date(), dateFormat) + QStringLiteral(", ") +
           locale.toString(date.time(), QLocale::ShortFormat);
}
