#include "tools/tool_executor.h"

#include "tools/tool_table.h"
#include "tools/tool_texts.h"

#include "tools/files/file_tools.h"
#include "tools/files/run_command.h"
#include "tools/files/search_files.h"
#include "tools/readers/docx_reader.h"
#include "tools/readers/image_reader.h"
#include "tools/readers/pdf_reader.h"
#include "tools/readers/xlsx_reader.h"
#include "tools/writers/pdf_slides_writer.h"
#include "tools/writers/pptx_writer.h"
#include "tools/writers/xlsx_writer.h"

#include <exception>
#include <new>

namespace {

// A missing key takes the tool's default; present values pass unchanged.
struct ArgumentReader {
    const ToolArguments& arguments;
    QString operator()(const char* key, const char* fallback = "") const {
        const auto it = arguments.constFind(QString::fromLatin1(key));
        return it == arguments.constEnd() ? QString::fromLatin1(fallback) : *it;
    }
};

struct ToolEntry {
    const char* name;
    ToolOutcome (*run)(const ToolArguments&, const ToolStop*);
};

#define EMBERGLASS_TOOL_RUNNER(name, symbol, reach, description, call, ...)                        \
    ToolEntry{#name, [](const ToolArguments& arguments, [[maybe_unused]] const ToolStop* stop) {   \
                  const ArgumentReader arg{arguments};                                             \
                  return call;                                                                     \
              }},

const ToolEntry tools[] = {EMBERGLASS_TOOLS(EMBERGLASS_TOOL_RUNNER)};

#undef EMBERGLASS_TOOL_RUNNER

// Tools run inside the app: an input that exhausts memory, or any other
// exception a tool lets through, must end that tool, never the window.
ToolOutcome runGuarded(const ToolEntry& entry, const ToolArguments& args, const ToolStop* stop) {
    try {
        return entry.run(args, stop);
    } catch (const std::bad_alloc&) {
        return {
            {}, false, ToolTexts::error(QStringLiteral("Not enough memory to process this input"))};
    } catch (const std::exception& exception) {
        return {{}, false, ToolTexts::error(QString::fromLocal8Bit(exception.what()))};
    }
}

} // namespace

ToolExecutor::ToolExecutor(QObject* parent) : QObject(parent) {}

ToolOutcome ToolExecutor::dispatch(const QString& name, const ToolArguments& args,
                                   const ToolStop* stop) {
    for (const ToolEntry& entry : tools) {
        if (name == QLatin1String(entry.name)) {
            ToolOutcome outcome = runGuarded(entry, args, stop);
            outcome.tool = QString::fromLatin1(entry.name);
            return outcome;
        }
    }
    return {name, false, QStringLiteral("Unknown tool: ") + name};
}
