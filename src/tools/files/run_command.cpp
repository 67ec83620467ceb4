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

// A note of ours on a line of its own after the command's output.
void appendNote(QString& text, const QString& note) {
    if (!text.endsWith(QLatin1Char('\n'))) {
        text += QLatin1Char('\n');
    }
    text += note;
}

} // namespace

ToolOutcome runCommand(const QString& command, std::chrono::milliseconds timeout,
                       const ToolStop* stop) {
    if (command.isEmpty()) {
        return commandOutcome(false, FileToolTexts::emptyCommand());
    }
    Utf8StreamCapture standardOutput(keptBytesPerStream);
    Utf8StreamCapture standardError(keptBytesPerStream);
    const CommandSandbox::PreparedCommand prepared = CommandSandbox::prepare(
        {QStringLiteral("/bin/zsh"), {QStringLiteral("-c"), command}, QString(), timeout, stop});
    if (!prepared.refusal.isEmpty()) {
        return commandOutcome(false, ToolTexts::error(prepared.refusal));
    }
    const ChildProcessResult result = runChildProcess(
        prepared.request, [&standardOutput](QByteArrayView chunk) { standardOutput.append(chunk); },
        [&standardError](QByteArrayView chunk) { standardError.append(chunk); });
    if (!result.startError.isEmpty()) {
        return commandOutcome(false, ToolTexts::error(result.startError));
    }
    // A command the timer (or Stop) ended reports the timer's signal, even when it
    // had to be killed or its shell caught the signal and exited by itself.
    const bool endedByUs = result.timedOut || result.stopped;
    const int status = endedByUs ? SIGTERM : result.status;
    QString text = combineCommandOutput(standardOutput, standardError, FileToolLimits::textLimit);
    if (result.endedProcesses > 0) {
        appendNote(text, FileToolTexts::endedBackgroundProcesses(result.endedProcesses));
    }
    if (result.stopped) {
        appendNote(text, FileToolTexts::stoppedByTheUser());
    }
    const QString sandboxNote =
        CommandSandbox::failureNote(prepared, command, status, endedByUs, standardError.text());
    return commandOutcome(!endedByUs && status == 0,
                          FileToolTexts::exitCode(status) + text + sandboxNote);
}
