#include "cli/chat_session.h"

#include "cli/terminal_approver.h"
#include "cli/transcript_printer.h"
#include "core/chat_view_model.h"
#include "core/conversation_store.h"
#include "core/core_texts.h"
#include "core/local_model_setup.h"
#include "core/model_backends.h"
#include "core/preferences.h"
#include "core/served_models.h"
#include "core/tool_approval.h"
#include "core/tool_loop.h"
#include "core/web_bridge.h"
#include "models/cloud_api_service.h"

#include <QCoreApplication>
#include <QCoroSignal>
#include <QFile>
#include <QSocketNotifier>

#include <cstdio>

#include <unistd.h>

namespace {

void printError(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fprintf(stderr, "emberglass-chat: %s\n", bytes.constData());
}

} // namespace

namespace {

ChatViewModelOptions controllerOptions(const ChatOptions& options) {
    ChatViewModelOptions controller;
    controller.serverPort = options.port;
    controller.ollamaBase = options.ollamaUrl;
    return controller;
}

} // namespace

ChatSession::ChatSession(ChatOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)),
      m_viewModel(new ChatViewModel(controllerOptions(m_options), this)),
      m_printer(new TranscriptPrinter(m_viewModel->store(),
                                      m_options.json ? TranscriptPrinter::Format::json
                                                     : TranscriptPrinter::Format::text,
                                      stdout, this)),
      m_approver(new TerminalApprover(m_viewModel->toolApproval(), this)) {
    if (m_options.yes) {
        m_viewModel->toolApproval()->actWithoutAsking();
    }
}

void ChatSession::start() {
    m_running.emplace(runAndExit());
}

QCoro::Task<> ChatSession::runAndExit() {
    const int status = co_await run();
    QCoreApplication::exit(status);
}

QCoro::Task<int> ChatSession::run() {
    if (!applyCloudOverrides()) {
        co_return 2;
    }
    // GCC 12 destroys the temporary task of "co_return co_await f()" too early,
    // so every result is taken into a variable first.
    if (m_options.listModels) {
        const int status = co_await listModels();
        co_return status;
    }
    if (!co_await prepareBackend()) {
        co_return 1;
    }
    if (m_options.serve) {
        const int status = co_await serve();
        co_return status;
    }
    if (!co_await prepareSandbox()) {
        co_return 1;
    }
    m_printer->follow(*m_viewModel->currentConversationId());
    const int status =
        m_options.message.isEmpty() ? co_await readMessages() : co_await sendOne(m_options.message);
    co_return status;
}

bool ChatSession::applyCloudOverrides() {
    CloudConfig config = m_viewModel->backends()->cloudConfig();
    if (!m_options.provider.isEmpty()) {
        const CloudProviderPreset provider = *cloudProviderFromText(m_options.provider);
        config =
            m_viewModel->backends()->savedCloudConfigs().value(provider, defaultConfig(provider));
    }
    if (!m_options.model.isEmpty()) {
        config.model = m_options.model;
    }
    if (!m_options.baseURL.isEmpty()) {
        config.baseURL = m_options.baseURL;
    }
    if (!m_options.apiKeyFile.isEmpty()) {
        QFile file(m_options.apiKeyFile);
        if (!file.open(QIODevice::ReadOnly)) {
            printError(QStringLiteral("Cannot read the API key file %1: %2")
                           .arg(m_options.apiKeyFile, file.errorString()));
            return false;
        }
        config.apiKey = QString::fromUtf8(file.readAll()).trimmed();
    }
    if (!(config == m_viewModel->backends()->cloudConfig())) {
        m_viewModel->backends()->useCloudConfigWithoutSaving(config);
    }
    return true;
}

QCoro::Task<bool> ChatSession::prepareBackend() {
    if (!m_options.local) {
        co_return true;
    }
    m_viewModel->backends()->switchBackend(AIBackend::local);
    while (m_viewModel->localModelSetup()->isLoadingModel()) {
        co_await qCoro(m_viewModel->localModelSetup(), &LocalModelSetup::isLoadingModelChanged);
    }
    if (m_viewModel->backends()->activeBackend() != AIBackend::local) {
        printError(m_viewModel->localModelSetup()->modelLoadError());
        co_return false;
    }
    co_return true;
}

// --sandbox where bubblewrap cannot run is refused; a sandbox stored in the
// settings stays off there, as in the desktop app, and says so.
QCoro::Task<bool> ChatSession::prepareSandbox() {
    Preferences* preferences = m_viewModel->preferences();
    if (m_options.sandbox) {
        preferences->useSandboxForThisRun();
    }
    if (!preferences->sandboxRequested()) {
        co_return true;
    }
    co_await preferences->waitForSandboxCheck();
    const QString reason = preferences->sandboxUnavailableReason();
    if (reason.isEmpty()) {
        co_return true;
    }
    if (m_options.sandbox) {
        printError(QStringLiteral("--sandbox: ") + reason);
        co_return false;
    }
    printError(QStringLiteral("commands run without the sandbox set in SETTINGS: ") + reason);
    co_return true;
}

bool ChatSession::lastReplyFailed() const {
    const Conversation* conversation = m_viewModel->currentConversation();
    if (conversation == nullptr) {
        return true;
    }
    for (qsizetype i = conversation->messages.size() - 1; i >= 0; --i) {
        const ChatMessage& message = conversation->messages[i];
        if (message.role == Role::assistant) {
            // A memory tag that was not saved fails the run as loudly as an error.
            if (!message.notice.isEmpty()) {
                printError(message.notice);
            }
            return message.content.startsWith(ToolLoop::errorReplyPrefix()) ||
                   !message.notice.isEmpty();
        }
    }
    return false;
}

QCoro::Task<int> ChatSession::sendOne(QString text) {
    m_viewModel->setInputText(text);
    m_viewModel->sendMessage();
    while (m_viewModel->isGenerating()) {
        co_await qCoro(m_viewModel, &ChatViewModel::isGeneratingChanged);
    }
    co_return lastReplyFailed() ? 1 : 0;
}

QCoro::Task<int> ChatSession::readMessages() {
    // Standard input is watched by the event loop, so the window of a reply never
    // blocks on the terminal; each whole line is one message.
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    connect(&notifier, &QSocketNotifier::activated, this, &ChatSession::inputReadable);
    // Typed on this terminal while a reply ran, these lines reach the approval
    // question first; they are messages, sent after the ones read before them.
    if (::isatty(STDIN_FILENO) == 1) {
        m_approver->keepTypedAheadWith(
            [this](const QByteArray& typed) { m_pendingInput.append(typed); });
    }
    int status = 0;
    bool ended = false;
    while (!ended) {
        notifier.setEnabled(true);
        co_await qCoro(this, &ChatSession::inputReadable);
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count > 0) {
            m_pendingInput.append(buffer, count);
        } else {
            ended = true; // end of input, or an unreadable one
            m_pendingInput.append('\n');
        }
        // No more reads while a reply is generated: a ready descriptor would fire nonstop.
        notifier.setEnabled(false);
        qsizetype newline = -1;
        while ((newline = m_pendingInput.indexOf('\n')) >= 0) {
            const QString text = QString::fromUtf8(m_pendingInput.left(newline)).trimmed();
            m_pendingInput.remove(0, newline + 1);
            if (!text.isEmpty()) {
                status = co_await sendOne(text);
            }
        }
    }
    co_return status;
}

QCoro::Task<int> ChatSession::serve() {
    m_printer->setDeferReplies(true);
    WebBridge* bridge = m_viewModel->webBridge();
    connect(bridge, &WebBridge::webReplyFinished, this, [this, bridge] {
        if (const auto id = bridge->webConversationId()) {
            m_printer->printLastMessage(*id);
        }
    });
    // Listen for the first report before starting: it may come at once.
    auto firstReport = qCoro(bridge, &WebBridge::statusChanged);
    m_viewModel->toggleServer();
    const auto [running, url] = co_await firstReport;
    if (!running) {
        printError(CoreTexts::cannotListen(m_options.port));
        co_return 1;
    }
    const QByteArray shown = url.value_or(QString()).toUtf8();
    std::printf("Phone page: %s\n", shown.constData());
    std::fflush(stdout);
    // Runs until the process is interrupted.
    while (true) {
        const auto [stillRunning, unused] = co_await qCoro(bridge, &WebBridge::statusChanged);
        if (!stillRunning) {
            printError(QStringLiteral("The phone server stopped."));
            co_return 1;
        }
    }
}

QCoro::Task<int> ChatSession::listModels() {
    const Result<QStringList> listing =
        co_await m_viewModel->backends()->cloudService()->listModels();
    if (!listing.ok()) {
        printError(errorDescription(listing.error()));
        co_return 1;
    }
    for (const QString& id : ServedModels::choices(listing.value())) {
        const QByteArray line = id.toUtf8();
        std::printf("%s\n", line.constData());
    }
    std::fflush(stdout);
    co_return 0;
}
