// How memory files are summarised and saved from the persona panel: the
// preview line, the badge kind by name, the date text, and saving by path.

#include "persona/memory_file_display.h"
#include "persona/persona_manager.h"

#include "persona_test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class MemoryFileDisplayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void preview_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("preview");
        QTest::newRow("daily log")
            << "# 2026-03-14 Memory Log\n\n- [9:41 AM] likes tea\n- [9:50 AM] "
               "has a cat\n- [10:00 AM] third"
            << "- [9:41 AM] likes tea - [9:50 AM] has a cat";
        QTest::newRow("empty") << ""
                               << "Empty";
        QTest::newRow("only headings and blank lines") << "# One\n\n## Two\n \t\n#Three\n"
                                                       << "Empty";
        QTest::newRow("whitespace only") << " \n\t\n "
                                         << "Empty";
        QTest::newRow("second line taken whatever it holds") << "# T\nfirst\n# not skipped"
                                                             << "first # not skipped";
        QTest::newRow("blank second line") << "first\n\nthird"
                                           << "first ";
        QTest::newRow("one line") << "  just this  "
                                  << "just this";
        QTest::newRow("indented heading is content") << "# T\n  # indented\nnext"
                                                     << "  # indented next";
        QTest::newRow("CR LF is one break") << "# T\r\n\r\nline one\r\nline two\r\n"
                                            << "line one line two";
        QTest::newRow("other line separators") << QString::fromUtf8("# T\u2028a\u2029b") << "a b";
        QTest::newRow("80 of a long line")
            << "# T\n" + QString(100, QLatin1Char('x')) << QString(80, QLatin1Char('x'));
        QTest::newRow("exactly 80")
            << QString(80, QLatin1Char('y')) << QString(80, QLatin1Char('y'));
        QTest::newRow("cut after the join") << QString(50, 'a') + "\n" + QString(50, 'b')
                                            << QString(50, 'a') + " " + QString(29, 'b');
        // 79 letters then a family emoji (one character of several code points).
        const QString family = QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        QTest::newRow("a character is never cut")
            << QString(79, 'z') + family + "tail" << QString(79, 'z') + family;
    }

    void preview() {
        QFETCH(QString, content);
        QFETCH(QString, preview);
        QCOMPARE(memoryFilePreview(content), preview);
    }

    void kindByNameEnding_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::newRow("personal") << "2026-03-14-personal"
                                  << "personal";
        QTest::newRow("work") << "2026-03-14-work"
                              << "work";
        QTest::newRow("financial") << "2026-03-14-financial"
                                   << "financial";
        QTest::newRow("daily log") << "2026-03-14"
                                   << "daily";
        QTest::newRow("other topic") << "2026-03-14-travel"
                                     << "daily";
        QTest::newRow("word inside") << "work-notes"
                                     << "daily";
        QTest::newRow("case matters") << "2026-03-14-Work"
                                      << "daily";
        QTest::newRow("only the ending") << "-work"
                                         << "work";
    }

    void kindByNameEnding() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QCOMPARE(toText(memoryFileKind(name)), kind);
    }

    void dateText_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("US English") << "en_US"
                                    << "Mar 14, 2026, 9:41 AM";
        QTest::newRow("German") << "de_DE"
                                << "14. März 2026, 09:41";
        QTest::newRow("Chinese") << "zh_CN" << QString::fromUtf8("2026年3月14日, 09:41");
    }

    void dateText() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        const QDateTime date(QDate(2026, 3, 14), QTime(9, 41));
        QCOMPARE(memoryFileDateText(date, QLocale(locale)), text);
    }
};

class MemoryFileSavingTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

private Q_SLOTS:
    void savesTheEntryWithThePath() {
        PersonaManager persona(m_root.filePath(QStringLiteral("saving")));
        const QString path = persona.memoryDirectory() + QStringLiteral("/2026-03-14-work.md");
        QVERIFY(writeBytes(path, "old"));
        QVERIFY(writeBytes(persona.memoryDirectory() + QStringLiteral("/other.md"), "other"));
        persona.loadMemoryFiles();
        const QDateTime listedDate = persona.memoryFiles().value(0).dateOrInvalid();
        QSignalSpy changes(&persona, &PersonaManager::memoryFilesChanged);

        QVERIFY(persona.saveMemoryFile(path, QStringLiteral("new ✓")));
        QCOMPARE(readBytes(path), QByteArray("new ✓"));
        QCOMPARE(changes.count(), 1);
        int matching = 0;
        for (const MemoryFile& file : persona.memoryFiles()) {
            if (file.url == path) {
                ++matching;
                QCOMPARE(file.content, QStringLiteral("new ✓"));
            } else {
                QCOMPARE(file.content, QStringLiteral("other"));
            }
        }
        QCOMPARE(matching, 1);
        QCOMPARE(persona.memoryFiles().size(), 2);
        QVERIFY(persona.memoryFiles().value(0).dateOrInvalid() == listedDate ||
                persona.memoryFiles().value(1).dateOrInvalid() == listedDate);
    }

    void unlistedPathDoesNothing() {
        PersonaManager persona(m_root.filePath(QStringLiteral("unlisted")));
        const QString path = persona.memoryDirectory() + QStringLiteral("/late.md");
        QVERIFY(writeBytes(path, "written outside")); // not scanned yet
        QSignalSpy changes(&persona, &PersonaManager::memoryFilesChanged);
        QVERIFY(!persona.saveMemoryFile(path, QStringLiteral("mine")));
        QCOMPARE(readBytes(path), QByteArray("written outside"));
        QCOMPARE(changes.count(), 0);
    }

    void aFailedWriteSaysWhyAndKeepsTheText() {
        PersonaManager persona(m_root.filePath(QStringLiteral("failing")));
        const QString path = persona.memoryDirectory() + QStringLiteral("/locked.md");
        QVERIFY(writeBytes(path, "before"));
        persona.loadMemoryFiles();
        // A folder in the file's place makes the write fail.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        QVERIFY(!persona.saveMemoryFile(path, QStringLiteral("after")));
        QCOMPARE(persona.lastWriteError(), QStringLiteral("Is a directory"));
        QCOMPARE(persona.memoryFiles().value(0).content, QStringLiteral("after"));
        QVERIFY(QFileInfo(path).isDir());
        // A save with nothing to write has nothing to report.
        QVERIFY(!persona.saveMemoryFile(path + QStringLiteral(".gone"), QStringLiteral("x")));
        QVERIFY(persona.lastWriteError().isEmpty());
    }
};

int main(int argc, char** argv) {
    int status = 0;
    {
        MemoryFileDisplayTest display;
        status |= QTest::qExec(&display, argc, argv);
    }
    {
        MemoryFileSavingTest saving;
        status |= QTest::qExec(&saving, argc, argv);
    }
    return status;
}

#include "tst_memory_file_display.moc"
