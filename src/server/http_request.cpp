#include "server/http_request.h"

std::optional<QString> HttpRequest::header(const QString& lowerCaseName) const {
    for (const auto& [name, value] : headers) {
        if (name == lowerCaseName) {
            return value;
        }
    }
    return std::nullopt;
}

QString HttpRequest::path() const {
    const qsizetype mark = target.indexOf(QLatin1Char('?'));
    return mark < 0 ? target : target.left(mark);
}

QString HttpRequest::query() const {
    const qsizetype mark = target.indexOf(QLatin1Char('?'));
    return mark < 0 ? QString() : target.mid(mark + 1);
}
