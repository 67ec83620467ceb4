#include "core/ai_backend.h"

QString toText(AIBackend backend) {
    return backend == AIBackend::local ? QStringLiteral("Local Qwen") : QStringLiteral("Cloud API");
}

std::optional<AIBackend> aiBackendFromText(const QString& text) {
    for (AIBackend backend : {AIBackend::cloud, AIBackend::local}) {
        if (toText(backend) == text) {
            return backend;
        }
    }
    return std::nullopt;
}
