// The stored approval choice: asking unless "act" is stored, and kept across launches.

#include "core/approval_mode.h"
#include "core/user_defaults.h"
#include "support/json_rows.h"
#include "support/settings_files.h"

#include <QtTest>

class ApprovalModeTest : public QObject {
    Q_OBJECT

    SettingsFiles m_settings;

    QString freshFile() { return m_settings.fresh(); }

private Q_SLOTS:
    void storedValueGivesMode_data() { addJsonRows("core/approval_mode.json", "stored"); }
    void storedValueGivesMode() {
        QFETCH(QJsonObject, row);
        const QString file = freshFile();
        if (row.contains("stored")) {
            UserDefaults writer(file);
            QVERIFY(writer.setValue(toolApprovalKey, row["stored"].toVariant()).ok());
        }
        const UserDefaults relaunched(file);
        QCOMPARE(toText(loadApprovalMode(relaunched)), row["mode"].toString());
    }

    void savedModeComesBackAtNextLaunch() {
        const QString file = freshFile();
        UserDefaults defaults(file);
        for (const ApprovalMode mode : {ApprovalMode::act, ApprovalMode::ask, ApprovalMode::act}) {
            QVERIFY(saveApprovalMode(defaults, mode).ok());
            QCOMPARE(loadApprovalMode(defaults), mode);
            QCOMPARE(loadApprovalMode(UserDefaults(file)), mode);
            QCOMPARE(UserDefaults(file).value(toolApprovalKey).toString(), toText(mode));
        }
    }
};

QTEST_GUILESS_MAIN(ApprovalModeTest)
#include "tst_approval_mode.moc"
