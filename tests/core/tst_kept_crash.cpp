// A writer killed with SIGKILL at random moments, 30 times, into the same
// file: every change it reported as stored is there, at most the one being
// written is lost, and the file always opens and passes SQLite's integrity check.

#include "core/conversation_database.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

class KeptCrashTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWritersLoseAtMostOneChange() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("kept/conversations.sqlite"));
        int before = 0;
        for (int round = 0; round < 30; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(KEPT_WRITER), {file});
            QVERIFY(writer.waitForStarted());
            // Killed once it has stored a random number of messages, in the middle of the next.
            const int wanted = QRandomGenerator::global()->bounded(1, 40);
            int reported = 0;
            while (reported < wanted) {
                if (!writer.canReadLine()) {
                    QVERIFY2(writer.waitForReadyRead(10000),
                             writer.readAllStandardError().constData());
                    continue;
                }
                reported = writer.readLine().trimmed().split(' ').value(1).toInt();
            }
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());
            while (writer.canReadLine()) { // said before the kill landed
                reported = writer.readLine().trimmed().split(' ').value(1).toInt();
            }

            ConversationDatabase reopened(QStringLiteral("check"));
            QCOMPARE(reopened.open(file), ConversationDatabase::State::writable);
            reopened.close();
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(file);
            QVERIFY(db.open());
            {
                QSqlQuery check(db);
                QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next());
                QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
                QSqlQuery count(db);
                QVERIFY(count.exec(QStringLiteral("SELECT count(*) FROM messages")) &&
                        count.next());
                const int stored = count.value(0).toInt() - before;
                QVERIFY2(
                    stored == reported || stored == reported + 1,
                    qPrintable(QStringLiteral("%1 stored, %2 reported").arg(stored).arg(reported)));
                before += stored;
            }
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        }
    }
};

QTEST_GUILESS_MAIN(KeptCrashTest)
#include "tst_kept_crash.moc"
