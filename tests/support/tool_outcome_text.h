#pragma once

#include "tools/tool_types.h"

#include <QTest>

// Shown by QCOMPARE when two outcomes differ.
inline char* toString(const ToolOutcome& outcome) {
    return QTest::toString(
        QStringLiteral("{%1, %2, \"%3\"}")
            .arg(outcome.tool, outcome.success ? "true" : "false", outcome.output.left(300)));
}
