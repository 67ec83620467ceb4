// The SETTINGS panel's preferences: their defaults, the stored values read back
// at the next launch (a save that fails: tst_views), and the sandbox that stays off where
// bubblewrap cannot run (the suite's second run, with no bwrap on PATH).

#include "core/preferences.h"
#include "core/user_defaults.h"
#include "support/json_rows.h"
#include "support/settings_files.h"
#include "tools/files/command_sandbox.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

class PreferencesTest : public QObject {
    Q_OBJECT

    SettingsFiles m_settings;

    // Preferences on the file, once the sandbox probe has answered.
    static std::unique_ptr<Preferences> launch(const QString& file) {
        auto preferences = std::make_unique<Preferences>(std::make_shared<UserDefaults>(file));
        // The probe is a process: a busy machine may take long to answer.
        if (!QTest::qWaitFor([&] { return preferences->sandboxChecked(); }, 120000)) {
            QTest::qFail("the sandbox probe never answered", __FILE__, __LINE__);
        }
        return preferences;
    }

    static bool sandboxRuns() { return CommandSandbox::availability().available; }

private Q_SLOTS:
    void cleanup() { CommandSandbox::setEnabled(false); }

    void storedValuesComeBack_data() { addJsonRows("core/preferences.json", "stored"); }
    void storedValuesComeBack() {
        QFETCH(QJsonObject, row);
        const QString file = m_settings.fresh();
        const QJsonObject settings = row["settings"].toObject();
        {
            UserDefaults writer(file);
            for (auto it = settings.begin(); it != settings.end(); ++it) {
                QVERIFY(writer.setValue(qPrintable(it.key()), it.value().toVariant()).ok());
            }
        }
        if (row["sandbox"].toBool() && !sandboxRuns()) {
            QSKIP("bubblewrap cannot run here; the suite's run without it checks that case");
        }
        const auto preferences = launch(file);
        QCOMPARE((QList{preferences->askBeforeActing(), preferences->sandboxCommands(),
                        CommandSandbox::isEnabled(), preferences->formatReplies()}),
                 (QList{row["ask"].toBool(), row["sandbox"].toBool(), row["sandbox"].toBool(),
                        row["format"].toBool()}));
        QCOMPARE(QFileInfo::exists(file), !settings.isEmpty()); // a launch writes nothing
        // The switch writes the file (tst_views reads it back); the sandbox also
        // takes effect at once, not at the next launch.
        preferences->setSandboxCommands(!row["sandbox"].toBool());
        QCOMPARE(CommandSandbox::isEnabled(), !row["sandbox"].toBool() && sandboxRuns());
    }

    void theSandboxForOneRunIsNotStored() {
        const QString file = m_settings.fresh();
        const auto preferences = launch(file);
        preferences->useSandboxForThisRun();
        QVERIFY(preferences->sandboxRequested());
        QCOMPARE(preferences->sandboxCommands(), sandboxRuns());
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!launch(file)->sandboxRequested());
    }

    // Run by the second test, with no bwrap on PATH.
    void withoutBubblewrapTheSandboxStaysOff() {
        if (sandboxRuns()) {
            QSKIP("bubblewrap runs here; the suite's run without it on PATH checks this");
        }
        const QString file = m_settings.fresh();
        QVERIFY(UserDefaults(file).setValue(Preferences::commandSandboxKey, true).ok());
        const auto preferences = launch(file);
        QVERIFY(preferences->sandboxRequested());
        QCOMPARE(preferences->sandboxCommands(), false);
        QCOMPARE(preferences->sandboxUnavailableReason(),
                 "bubblewrap is not installed (Debian package bubblewrap)");
        QVERIFY(!CommandSandbox::isEnabled());
        const QString freshPath = m_settings.fresh();
        const auto fresh = launch(freshPath);
        QSignalSpy sandbox(fresh.get(), &Preferences::sandboxCommandsChanged);
        fresh->setSandboxCommands(true);
        QCOMPARE(sandbox.count(), 1); // the switch goes back to off
        QCOMPARE(fresh->sandboxCommands(), false);
        QVERIFY(!QFileInfo::exists(freshPath));
    }
};

QTEST_GUILESS_MAIN(PreferencesTest)
#include "tst_preferences.moc"
