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

using namespace Qt::StringLiterals;

class KeptCrashTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWritersLoseAtMostOneChange() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"kept/conversations.sqlite"_s);
        // The writer says "stored N" after each message it stored.
        const auto said = [](QProcess& writer) {
            return writer.readLine().trimmed().split(' ').value(1).toInt();
        };
        int before = 0;
        for (int round = 0; round < 30; ++round) {
            QProcess writer;
            writer.start(u"" KEPT_WRITER ""_s, {file});
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
                reported = said(writer);
            }
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());
            while (writer.canReadLine()) { // said before the kill landed
                reported = said(writer);
            }

            ConversationDatabase reopened(u"check"_s);
            QCOMPARE(reopened.open(file), ConversationDatabase::State::writable);
            reopened.close();
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            {
                QSqlQuery check(db);
                QVERIFY(check.exec(u"PRAGMA integrity_check"_s) && check.next());
                QCOMPARE(check.value(0).toString(), u"ok"_s);
                QSqlQuery count(db);
                QVERIFY(count.exec(u"SELECT count(*) FROM messages"_s) && count.next());
                const int stored = count.value(0).toInt() - before;
                QVERIFY2(stored == reported || stored == reported + 1,
                         qPrintable(u"%1 stored, %2 reported"_s.arg(stored).arg(reported)));
                before += stored;
            }
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(u"raw"_s);
        }
    }
};

QTEST_GUILESS_MAIN(KeptCrashTest)
#include "tst_kept_crash.moc"
