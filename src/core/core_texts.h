#pragma once

#include <QCoreApplication>
#include <QString>

// The controller's own texts that the window shows, in one place and marked
// for translation (context "CoreTexts" in translations/emberglass.ts).
namespace CoreTexts {

// The title of a conversation until its first message names it.
inline QString newChat() {
    return QCoreApplication::translate("CoreTexts", "New Chat");
}

// What an agent's turn that only called tools shows (and sends back) as its text.
inline QString usingTools() {
    return QCoreApplication::translate("CoreTexts", "Using tools...");
}

// The local model's download, as the MODEL panel shows it.
inline QString localModelNotLoaded() {
    return QCoreApplication::translate(
        "CoreTexts", "Ollama is not running or qwen model not found. Please install and start "
                     "Ollama, then run: ollama pull qwen2.5:3b");
}
inline QString downloadStarting() {
    return QCoreApplication::translate("CoreTexts", "Starting download...");
}
inline QString localModelReady() {
    return QCoreApplication::translate("CoreTexts", "Model ready!");
}
inline QString downloadFailed() {
    return QCoreApplication::translate("CoreTexts", "Failed to pull model. Is Ollama installed?");
}
inline QString ollamaNotFound() {
    return QCoreApplication::translate("CoreTexts", "Ollama not found. Install from ollama.com");
}

// The phone server could not take its port (another program listens on it).
inline QString cannotListen(quint16 port) {
    return QCoreApplication::translate("CoreTexts", "Cannot listen on port %1 (is it in use?)")
        .arg(port);
}

// The reply's placeholder while a provider's rate limit is waited out (%1: the provider).
inline QString waitingForRateLimit() {
    return QCoreApplication::translate("CoreTexts", "Waiting for %1 (rate limit)…");
}

// The note above a reply whose oldest turns were not sent (%1: the model).
inline QString earlierMessagesLeftOut() {
    return QCoreApplication::translate("CoreTexts",
                                       "Earlier messages were left out to fit %1's context");
}

// An export whose conversation was deleted while it was being written.
inline QString exportedConversationGone() {
    return QCoreApplication::translate("CoreTexts", "The conversation is no longer there.");
}

// What a write the user is asked to approve does to its file.
inline QString writesNewFile() {
    return QCoreApplication::translate("CoreTexts", "new file");
}
inline QString replacesFile(qint64 bytes) {
    return QCoreApplication::translate("CoreTexts", "replaces a file of %1 bytes").arg(bytes);
}
// Why a write to a file with other names (hard links) asks first.
inline QString fileHasOtherNames(int count) {
    return QCoreApplication::translate(
               "CoreTexts",
               "This file has other names too (hard links: %1 more); writing changes it under "
               "every name.")
        .arg(count);
}

} // namespace CoreTexts
