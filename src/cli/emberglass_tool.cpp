// emberglass-tool NAME [JSON-OBJECT-OF-ARGUMENTS | -]
// Runs one tool through ToolExecutor and prints {"tool","success","output"}.
// "-" reads the JSON object from standard input.
// Exit status: 0 success, 1 tool failure, 2 bad usage.

#include "cli/tool_application.h"
#include "cli/tool_input.h"
#include "tools/tool_catalogue.h"
#include "tools/tool_executor.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

int usage(const QString& message) {
    std::fprintf(stderr,
                 "%s\n\nUsage: emberglass-tool NAME [JSON-OBJECT-OF-ARGUMENTS | -]\n"
                 "Runs one agent tool and prints its outcome as JSON. With -, the JSON object\n"
                 "is read from standard input.\n"
                 "Example: emberglass-tool list_directory '{\"path\":\"~\"}'\n\nTools: %s\n",
                 qPrintable(message), qPrintable(toolNames().join(QStringLiteral(", "))));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app = createToolApplication(argc, argv);

    QString problem;
    const std::optional<ToolInput> input = readToolInput(QCoreApplication::arguments(), &problem);
    if (!input) {
        return usage(problem);
    }

    const ToolExecutor executor;
    const ToolOutcome outcome = executor.execute(input->tool, input->arguments);
    const QJsonObject printed{{QStringLiteral("tool"), outcome.tool},
                              {QStringLiteral("success"), outcome.success},
                              {QStringLiteral("output"), outcome.output}};
    const QByteArray text = QJsonDocument(printed).toJson(QJsonDocument::Compact);
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fputc('\n', stdout);
    return outcome.success ? 0 : 1;
}
