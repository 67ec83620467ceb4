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

} // namespace CoreTexts
