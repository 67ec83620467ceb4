#pragma once

#include <QString>

// The agent's name as the soul gives it: the first level-one heading ("# Aria")
// or "Name:" / "- name:" line that names something; the default name otherwise.
QString agentNameFromSoul(const QString& soul);
