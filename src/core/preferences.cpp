#include "core/preferences.h"

#include "core/approval_mode.h"
#include "core/user_defaults.h"
#include "tools/files/command_sandbox.h"

#include <QCoroFuture>
#include <QCoroSignal>
#include <QPointer>
#include <QtConcurrent>

Preferences::Preferences(std::shared_ptr<UserDefaults> defaults, QObject* parent)
    : QObject(parent), m_defaults(std::move(defaults)) {
    applySandbox();
    checkSandbox();
}

bool Preferences::flag(const char* key) const {
    return m_defaults->value(key).toBool();
}

// The signal goes out whether or not the save succeeded: a switch the user
// flipped must show the value in use again when it could not be stored.
void Preferences::setFlag(const char* key, bool value, void (Preferences::*changed)()) {
    if (flag(key) == value) {
        return;
    }
    Q_EMIT settingsSaved(m_defaults->setValue(key, value));
    Q_EMIT(this->*changed)();
}

// Asking ----------------------------------------------------------------------------

bool Preferences::askBeforeActing() const {
    return loadApprovalMode(*m_defaults) == ApprovalMode::ask;
}

void Preferences::setAskBeforeActing(bool ask) {
    if (askBeforeActing() == ask) {
        return;
    }
    Q_EMIT settingsSaved(
        saveApprovalMode(*m_defaults, ask ? ApprovalMode::ask : ApprovalMode::act));
    Q_EMIT askBeforeActingChanged();
}

// The command sandbox -----------------------------------------------------------------

bool Preferences::sandboxRequested() const {
    return m_sandboxForThisRun || flag(commandSandboxKey);
}

bool Preferences::sandboxCommands() const {
    return sandboxRequested() && m_sandboxUnavailableReason.isEmpty();
}

void Preferences::setSandboxCommands(bool on) {
    if (on && !m_sandboxUnavailableReason.isEmpty()) {
        Q_EMIT sandboxCommandsChanged(); // the switch goes back to off
        return;
    }
    setFlag(commandSandboxKey, on, &Preferences::sandboxCommandsChanged);
    applySandbox();
}

void Preferences::useSandboxForThisRun() {
    m_sandboxForThisRun = true;
    applySandbox();
    Q_EMIT sandboxCommandsChanged();
}

QString Preferences::sandboxUnavailableReason() const {
    return m_sandboxUnavailableReason;
}

// Until the probe has answered, a requested sandbox is on: run_command then
// refuses a command it cannot confine rather than run it unconfined.
void Preferences::applySandbox() {
    CommandSandbox::setEnabled(sandboxRequested() && m_sandboxUnavailableReason.isEmpty());
}

QCoro::Task<> Preferences::checkSandbox() {
    QPointer<Preferences> self(this);
    const CommandSandbox::Availability found =
        co_await QtConcurrent::run([] { return CommandSandbox::availability(); });
    if (!self) {
        co_return;
    }
    m_sandboxChecked = true;
    m_sandboxUnavailableReason = found.available ? QString() : found.reason;
    applySandbox();
    Q_EMIT sandboxCommandsChanged();
    Q_EMIT sandboxCheckResolved();
}

QCoro::Task<> Preferences::waitForSandboxCheck() {
    if (!m_sandboxChecked) {
        co_await qCoro(this, &Preferences::sandboxCheckResolved);
    }
}

// Kept conversations --------------------------------------------------------------

void Preferences::setKeepConversations(bool keep) {
    setFlag(keepConversationsKey, keep, &Preferences::keepConversationsChanged);
}
