#pragma once

#include <QString>

// The first message of a conversation opened with a greeting.
QString greetingFor(const QString& agentName);
