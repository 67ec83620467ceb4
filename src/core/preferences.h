#pragma once

#include "storage/write_result.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class UserDefaults;

// The user's preferences, as the SETTINGS panel shows them: each one a
// property here, kept in the settings file under its own key and saved as it
// changes. A save that fails leaves the stored value in use and says why
// through settingsSaved.
class Preferences : public QObject {
    Q_OBJECT
    // Asks before the agent runs a command or changes a file; off, it acts
    // unattended. Stored as "emberglass_tool_approval".
    Q_PROPERTY(bool askBeforeActing READ askBeforeActing WRITE setAskBeforeActing NOTIFY
                   askBeforeActingChanged)
    // run_command under bubblewrap; stays off while bubblewrap cannot run here.
    Q_PROPERTY(bool sandboxCommands READ sandboxCommands WRITE setSandboxCommands NOTIFY
                   sandboxCommandsChanged)
    // Why the sandbox cannot be switched on here; empty when it can, or while
    // that is not known yet (sandboxChecked false).
    Q_PROPERTY(QString sandboxUnavailableReason READ sandboxUnavailableReason NOTIFY
                   sandboxCommandsChanged)
    Q_PROPERTY(bool sandboxChecked READ sandboxChecked NOTIFY sandboxCommandsChanged)
    // The agent's replies drawn from their Markdown (headings, lists, tables,
    // code); off, they show as written.
    Q_PROPERTY(
        bool formatReplies READ formatReplies WRITE setFormatReplies NOTIFY formatRepliesChanged)
    // Each reply of the agent loop shown as it is written; off, it shows once whole.
    Q_PROPERTY(
        bool streamReplies READ streamReplies WRITE setStreamReplies NOTIFY streamRepliesChanged)

    // Conversations kept on this computer across launches; off, they live in
    // memory only. Stored as "emberglass_keep_conversations".
    Q_PROPERTY(bool keepConversations READ keepConversations WRITE setKeepConversations NOTIFY
                   keepConversationsChanged)

public:
    static constexpr const char* commandSandboxKey = "emberglass_command_sandbox";
    static constexpr const char* formatRepliesKey = "emberglass_format_replies";
    static constexpr const char* streamRepliesKey = "emberglass_stream_replies";
    static constexpr const char* keepConversationsKey = "emberglass_keep_conversations";

    explicit Preferences(std::shared_ptr<UserDefaults> defaults, QObject* parent = nullptr);

    bool askBeforeActing() const;
    void setAskBeforeActing(bool ask);

    bool sandboxCommands() const;
    void setSandboxCommands(bool on);
    // The sandbox for this run only (emberglass-chat --sandbox): nothing is saved.
    void useSandboxForThisRun();
    // Whether the sandbox was asked for, stored or for this run, whether or
    // not bubblewrap can run.
    bool sandboxRequested() const;
    QString sandboxUnavailableReason() const;
    // Whether it is known yet if bubblewrap runs here: a probe on a worker
    // thread, started with the object, finds out.
    bool sandboxChecked() const { return m_sandboxChecked; }
    QCoro::Task<> waitForSandboxCheck();

    bool formatReplies() const { return flag(formatRepliesKey); }
    void setFormatReplies(bool on) {
        setFlag(formatRepliesKey, on, &Preferences::formatRepliesChanged);
    }
    bool streamReplies() const { return flag(streamRepliesKey); }
    void setStreamReplies(bool on) {
        setFlag(streamRepliesKey, on, &Preferences::streamRepliesChanged);
    }
    bool keepConversations() const { return flag(keepConversationsKey); }
    void setKeepConversations(bool keep);

Q_SIGNALS:
    void askBeforeActingChanged();
    void sandboxCommandsChanged();
    void sandboxCheckResolved();
    void formatRepliesChanged();
    void streamRepliesChanged();
    void keepConversationsChanged();
    void settingsSaved(const WriteResult& result);

private:
    bool flag(const char* key) const;
    void setFlag(const char* key, bool value, void (Preferences::*changed)());
    QCoro::Task<> checkSandbox();
    void applySandbox();

    std::shared_ptr<UserDefaults> m_defaults;
    bool m_sandboxForThisRun = false;
    bool m_sandboxChecked = false;
    QString m_sandboxUnavailableReason;
};
