#include "tools/files/run_command.h"

#include "tools/not_available.h"

ToolOutcome runCommand(const QString&, std::chrono::milliseconds) {
    return toolNotAvailable(QStringLiteral("run_command"));
}
