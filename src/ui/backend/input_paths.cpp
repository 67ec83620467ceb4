#include "input_paths.h"

#include <QDir>
#include <QStringList>

#include <algorithm>

namespace {

QString homeRelative(const QString& path, const QString& home) {
    if (home.isEmpty() || home == QLatin1String("/")) {
        return path;
    }
    if (path == home) {
        return QStringLiteral("~");
    }
    if (path.startsWith(home + QLatin1Char('/'))) {
        return QLatin1Char('~') + path.mid(home.size());
    }
    return path;
}

// Quoted, a path with spaces reads as one path, not as several words.
QString quotedIfNeeded(const QString& path) {
    const bool plain = std::none_of(path.cbegin(), path.cend(), [](QChar c) {
        return c.isSpace() || c == QLatin1Char('"') || c == QLatin1Char('\'');
    });
    if (plain) {
        return path;
    }
    QString escaped = path;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

namespace InputPaths {

QString text(const QList<QUrl>& urls, const QString& home) {
    QStringList parts;
    for (const QUrl& url : urls) {
        if (url.isEmpty()) {
            continue;
        }
        parts.append(url.isLocalFile() ? quotedIfNeeded(homeRelative(url.toLocalFile(), home))
                                       : url.toString(QUrl::FullyEncoded));
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace InputPaths

QString InputPathsForQml::text(const QList<QUrl>& urls) const {
    return InputPaths::text(urls, QDir::homePath());
}
