// run_command under bubblewrap: what the sandbox hides in a home folder of our
// own, commands run through the real bwrap (skipped, saying why, where it
// cannot run), the probe's verdicts, and when a failure is put down to it.

#include "support/json_rows.h"
#include "support/scoped_environment.h"
#include "support/test_files.h"
#include "tools/files/command_sandbox.h"
#include "tools/files/file_tool_texts.h"
#include "tools/files/run_command.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace std::chrono_literals;

class CommandSandboxTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_dir;

    QString home(const QString& relative = {}) const {
        return relative.isEmpty() ? m_home.path() : m_home.filePath(relative);
    }
    QString withHome(const QString& text) const {
        return QString(text).replace(QLatin1String("{home}"), home());
    }

private Q_SLOTS:
    // A home folder below /tmp, as the sandbox's private /tmp must not cover it.
    void initTestCase() {
        QVERIFY(m_home.isValid() && m_dir.isValid());
        qputenv("HOME", QFile::encodeName(home()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home(".config")));
        QVERIFY(writeBytes(home(".ssh/id_ed25519"), "PRIVATE KEY"));
        QVERIFY(writeBytes(home(".netrc"), "machine example.com password s3cret\n"));
        QVERIFY(writeBytes(home(".config/Emberglass/Emberglass.conf"), "apiKey=sk-secret\n"));
        QVERIFY(QDir().mkpath(home(".mozilla/firefox")));
        QVERIFY(QDir().mkpath(home(".config/chromium")));
    }

    void cleanup() { CommandSandbox::setEnabled(false); }

    // Only what exists is hidden: bwrap would create a missing mount point in
    // the real home folder.
    void theLayoutHidesWhatExists() {
        const CommandSandbox::Layout layout = CommandSandbox::currentLayout();
        QCOMPARE(layout.home, home());
        QStringList folders = layout.hiddenFolders;
        folders.sort();
        QCOMPARE(folders, QStringList({home(".config/Emberglass"), home(".config/chromium"),
                                       home(".mozilla"), home(".ssh")}));
        QCOMPARE(layout.hiddenFiles, QStringList{home(".netrc")});
        // The settings folder hidden is the one XDG_CONFIG_HOME names.
        const QString elsewhere = m_dir.filePath("config");
        QVERIFY(QDir().mkpath(elsewhere + "/Emberglass"));
        const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(elsewhere));
        const QStringList moved = CommandSandbox::currentLayout().hiddenFolders;
        QVERIFY2(moved.contains(elsewhere + "/Emberglass"), qPrintable(moved.join(' ')));
        QVERIFY(!moved.contains(home(".config/Emberglass")));
    }

    void aFailureIsPutDownToTheSandboxOnlyWhenItLooksLikeIt_data() {
        addJsonRows("tools/sandbox.json", "notes");
    }
    void aFailureIsPutDownToTheSandboxOnlyWhenItLooksLikeIt() {
        QFETCH(QJsonObject, row);
        const QString user = QStringLiteral("/home/user");
        CommandSandbox::PreparedCommand confined;
        confined.confined = true;
        confined.layout = {user,
                           {user + "/.ssh", user + "/.aws", user + "/.config/Emberglass"},
                           {user + "/.netrc"}};
        const QString standardError = row["stderr"].toString().replace("{home}", user);
        const auto note = [&](const CommandSandbox::PreparedCommand& command) {
            return CommandSandbox::failureNote(command, row["command"].toString(),
                                               row["status"].toInt(), row["timedOut"].toBool(),
                                               standardError);
        };
        QCOMPARE(note(confined),
                 row["noted"].toBool() ? FileToolTexts::sandboxBlocked() : QString());
        QCOMPARE(note(CommandSandbox::PreparedCommand{}), QString()); // not confined: never
    }

    void theProbeSaysWhyBubblewrapCannotRun() {
        const QString refusing = m_dir.filePath("bwrap");
        const QString why = "No permissions to creating new namespace, likely because the kernel "
                            "does not allow non-privileged user namespaces.";
        QVERIFY(
            writeBytes(refusing, "#!/bin/sh\necho 'bwrap: " + why.toUtf8() + "' >&2\nexit 1\n"));
        QVERIFY(QFile::setPermissions(refusing, QFile::ReadOwner | QFile::ExeOwner));
        const CommandSandbox::Availability refused = CommandSandbox::probe(refusing);
        QCOMPARE(std::pair(refused.available, refused.reason),
                 std::pair(false, "bubblewrap cannot run here: " + why));
        QCOMPARE(CommandSandbox::probe(m_dir.filePath("none")).reason,
                 "bubblewrap is not installed (Debian package bubblewrap)");

        // Switched on where it cannot run, a command is refused, never run unconfined.
        const CommandSandbox::PreparedCommand prepared =
            CommandSandbox::prepare({"/bin/zsh", {"-c", "true"}, {}, {}}, refusing, refused);
        QCOMPARE(prepared.confined, false);
        QCOMPARE(prepared.refusal, FileToolTexts::sandboxRefusal(refused.reason));
    }

    void commandsRunConfined_data() { addJsonRows("tools/sandbox.json", "runs"); }
    void commandsRunConfined() {
        QFETCH(QJsonObject, row);
        const CommandSandbox::Availability here = CommandSandbox::availability();
        if (!here.available) {
            QSKIP(qPrintable("the sandbox cannot confine commands on this machine (" + here.reason +
                             "), so its runs are not tested here"));
        }
        CommandSandbox::setEnabled(true);
        const ToolOutcome outcome = runCommand(row["command"].toString());
        QCOMPARE(outcome.success, row["success"].toBool());
        const QString output = outcome.output;
        QVERIFY2(output.contains(row["contains"].toString(), Qt::CaseInsensitive),
                 qPrintable(output));
        if (row.contains("lacks")) {
            QVERIFY2(!output.contains(row["lacks"].toString()), qPrintable(output));
        }
        QCOMPARE(output.endsWith(FileToolTexts::sandboxBlocked()), row["noted"].toBool());
        if (row.contains("absent")) {
            QVERIFY(!QFileInfo::exists(withHome(row["absent"].toString())));
        }
        if (row.contains("written")) {
            const QJsonArray written = row["written"].toArray();
            QCOMPARE(readBytes(withHome(written[0].toString())), written[1].toString().toUtf8());
        }
        // What was hidden is still there, and nothing was made to hide what was not.
        QCOMPARE(readBytes(home(".ssh/id_ed25519")), "PRIVATE KEY");
        QVERIFY(!QFileInfo::exists(home(".aws")) && !QFileInfo::exists(home(".gnupg")));
    }

    // The timer still ends a confined command: bwrap stays in the command's group.
    void aConfinedCommandStillTimesOut() {
        if (!CommandSandbox::availability().available) {
            QSKIP("the sandbox cannot confine commands on this machine");
        }
        CommandSandbox::setEnabled(true);
        const ToolOutcome outcome = runCommand("sleep 60", 1s);
        QCOMPARE(outcome.success, false);
        QVERIFY2(outcome.output.startsWith(FileToolTexts::exitCode(SIGTERM)),
                 qPrintable(outcome.output));
    }
};

QTEST_GUILESS_MAIN(CommandSandboxTest)
#include "tst_command_sandbox.moc"
