// emberglass-tool NAME [JSON-OBJECT-OF-ARGUMENTS]
// Runs one tool through ToolExecutor and prints {"tool","success","output"}.
// Exit status: 0 success, 1 tool failure, 2 bad usage.

#include "tools/readers/ocr_environment.h"
#include "tools/tool_arguments.h"
#include "tools/tool_catalogue.h"
#include "tools/tool_executor.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

int usage(const char* message) {
    std::fprintf(stderr,
                 "%s\n\nUsage: emberglass-tool NAME [JSON-OBJECT-OF-ARGUMENTS]\n"
                 "Runs one agent tool and prints its outcome as JSON.\n"
                 "Example: emberglass-tool list_directory '{\"path\":\"~\"}'\n\nTools: %s\n",
                 message, qPrintable(toolNames().join(QStringLiteral(", "))));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    ensureSingleThreadedOcr(argc, argv);
    // The PDF slide writer draws text, which needs a GUI application; none is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    const QStringList arguments = app.arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        return usage("Expected a tool name and at most one JSON object.");
    }
    ToolArguments toolArguments;
    if (arguments.size() == 3) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(arguments[2].toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            return usage("The arguments must be one JSON object.");
        }
        toolArguments = argumentsFromJson(document.object());
    }

    const ToolExecutor executor;
    const ToolOutcome outcome = executor.execute(arguments[1], toolArguments);
    const QJsonObject printed{{QStringLiteral("tool"), outcome.tool},
                              {QStringLiteral("success"), outcome.success},
                              {QStringLiteral("output"), outcome.output}};
    const QByteArray text = QJsonDocument(printed).toJson(QJsonDocument::Compact);
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fputc('\n', stdout);
    return outcome.success ? 0 : 1;
}
