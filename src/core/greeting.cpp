#include "core/greeting.h"

QString greetingFor(const QString& agentName) {
    // The persona's default name greets in English; a named agent introduces itself.
    if (agentName == QStringLiteral("Emberglass")) {
        return QStringLiteral("I'm awake. Who are you? Who am I? Where am I?");
    }
    return QStringLiteral("我是") + agentName + QStringLiteral("，我醒了。有什么可以帮你的？");
}
