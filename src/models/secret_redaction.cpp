#include "models/secret_redaction.h"

namespace {

constexpr qsizetype shortestMaskedSecret = 8;

} // namespace

QString redactSecret(QString text, const QString& secret) {
    if (secret.size() < shortestMaskedSecret) {
        return text;
    }
    return text.replace(secret, QStringLiteral("[API key]"));
}

ModelError withoutSecret(ModelError error, const QString& secret) {
    std::visit(
        [&secret](auto& e) {
            if constexpr (requires { e.text; }) {
                e.text = redactSecret(std::move(e.text), secret);
            }
        },
        error);
    return error;
}
