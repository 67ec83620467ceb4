#include "tools/files/run_command.h"

#include "tools/files/child_process.h"
#include "tools/files/command_output.h"
#include "tools/files/command_sandbox.h"
#include "tools/files/file_tool_texts.h"
#include "tools/tool_texts.h"

#include <csignal>

namespace {

// Far more than the text limit can show even in four-byte characters, yet
// bounded however much a command writes in its time.
constexpr qsizetype keptBytesPerStream = 8 * 1024 * 1024;

ToolOutcome commandOutcome(bool success, const QString& output) {
    return {QStringLiteral("run_command"), success, output};
}

} // namespace

ToolOutcome runCommand(const QString& command, std::chrono::milliseconds timeout) {
    if (command.isEmpty()) {
        return commandOutcome(false, FileToolTexts::emptyCommand());
    }
    Utf8StreamCapture standardOutput(keptBytesPerStream);
    Utf8StreamCapture standardError(keptBytesPerStream);
    const CommandSandbox::PreparedCommand prepared = CommandSandbox::prepare(
        {QStringLiteral("/bin/zsh"), {QStringLiteral("-c"), command}, QString(), timeout});
    if (!prepared.refusal.isEmpty()) {
        return commandOutcome(false, ToolTexts::error(prepared.refusal));
    }
    const ChildProcessResult result = runChildProcess(
        prepared.request, [&standardOutput](QByteArrayView chunk) { standardOutput.append(chunk); },
        [&standardError](QByteArrayView chunk) { standardError.append(chunk); });
    if (!result.startError.isEmpty()) {
        return commandOutcome(false, ToolTexts::error(result.startError));
    }
    // A command the timer stopped reports the timer's signal, even when it had to
    // be killed or its shell caught the signal and exited by itself.
    const int status = result.timedOut ? SIGTERM : result.status;
    const QString text =
        combineCommandOutput(standardOutput, standardError, FileToolLimits::textLimit);
    const QString sandboxNote = CommandSandbox::failureNote(prepared, command, status,
                                                            result.timedOut, standardError.text());
    return commandOutcome(!result.timedOut && status == 0,
                          FileToolTexts::exitCode(status) + text + sandboxNote);
}
