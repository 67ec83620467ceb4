#include "core/ai_backend.h"

QString toText(AIBackend backend) {
    return backend == AIBackend::local ? QStringLiteral("Local Qwen") : QStringLiteral("Cloud API");
}
