// emberglass-tool NAME [JSON-OBJECT-OF-ARGUMENTS | -], or --help, --version.
// Runs one tool through ToolExecutor and prints {"tool","success","output"}.
// "-" reads the JSON object from standard input.
// Exit status: 0 success, 1 tool failure, 2 bad usage.

#include "cli/tool_application.h"
#include "cli/tool_input.h"
#include "tools/tool_executor.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app = createToolApplication(argc, argv);

    QString problem;
    const std::optional<ToolCommand> command =
        readToolCommand(QCoreApplication::arguments(), &problem);
    if (!command) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(problem), qPrintable(toolUsage()));
        return 2;
    }
    if (command->action != ToolCommand::Action::run) {
        const QString text =
            command->action == ToolCommand::Action::help ? toolUsage() : toolVersion();
        std::fputs(qPrintable(text), stdout);
        return 0;
    }

    const ToolExecutor executor;
    const ToolOutcome outcome = executor.execute(command->input.tool, command->input.arguments);
    const QJsonObject printed{{QStringLiteral("tool"), outcome.tool},
                              {QStringLiteral("success"), outcome.success},
                              {QStringLiteral("output"), outcome.output}};
    const QByteArray text = QJsonDocument(printed).toJson(QJsonDocument::Compact);
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fputc('\n', stdout);
    return outcome.success ? 0 : 1;
}
