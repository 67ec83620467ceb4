// The pieces run_command builds its answer from: the bounded UTF-8 capture of
// a stream, the byte test with the character cut, and the combination rule.

#include "tools/files/command_output.h"
#include "tools/files/utf8_text.h"

#include <QtTest>

namespace {

Utf8StreamCapture captureOf(const QList<QByteArray>& chunks, qsizetype kept = 1 << 20) {
    Utf8StreamCapture capture(kept);
    for (const QByteArray& chunk : chunks) {
        capture.append(chunk);
    }
    return capture;
}

} // namespace

class CommandOutputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void streamValidity_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ascii") << QList<QByteArray>{"abc", "def"} << true;
        QTest::newRow("two-byte split") << QList<QByteArray>{"caf\xc3", "\xa9!"} << true;
        QTest::newRow("four-byte split thrice")
            << QList<QByteArray>{"\xf0", "\x9f", "\x8c", "\x8d"} << true;
        QTest::newRow("ends inside a character") << QList<QByteArray>{"ok", "\xe4\xbd"} << false;
        QTest::newRow("stray continuation") << QList<QByteArray>{"ok", "\x80"} << false;
        QTest::newRow("overlong split") << QList<QByteArray>{"\xc0", "\xaf"} << false;
        QTest::newRow("surrogate split") << QList<QByteArray>{"\xed", "\xa0\x80"} << false;
        QTest::newRow("beyond U+10FFFF") << QList<QByteArray>{"\xf4\x90", "\x80\x80"} << false;
        QTest::newRow("invalid then valid") << QList<QByteArray>{"\xff", "fine"} << false;
        QTest::newRow("nothing") << QList<QByteArray>{} << true;
    }
    void streamValidity() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(bool, valid);
        const Utf8StreamCapture capture = captureOf(chunks);
        QCOMPARE(capture.isValidUtf8(), valid);
        QCOMPARE(capture.text(), valid ? QString::fromUtf8(chunks.join()) : QString());
    }

    void byteByByteFeedingKeepsTheText() {
        const QByteArray text = QStringLiteral("Grüße, 世界! 🌍🇫🇷 e\u0301").toUtf8();
        Utf8StreamCapture capture(1 << 20);
        for (char byte : text) {
            capture.append(QByteArrayView(&byte, 1));
        }
        QVERIFY(capture.isValidUtf8());
        QCOMPARE(capture.text().toUtf8(), text);
    }

    void aCappedStreamKeepsWholeCharactersAndCountsEverything() {
        const Utf8StreamCapture capture = captureOf({"aaaa\xc3\xa9", "more", "\xff"}, 5);
        QVERIFY(capture.isCapped());
        QCOMPARE(capture.totalBytes(), 11);
        // The invalid byte far past the cap still counts.
        QVERIFY(!capture.isValidUtf8());
        const Utf8StreamCapture valid = captureOf({"aaaa\xc3\xa9", "more"}, 5);
        QCOMPARE(valid.text(), QStringLiteral("aaaa"));
    }

    void firstCharactersNeverSplitsWhatUsersSeeAsOne() {
        const QString decomposed = QStringLiteral("e\u0301");
        QCOMPARE(firstCharacters(decomposed.repeated(3), 2), decomposed.repeated(2));
        QCOMPARE(firstCharacters(QStringLiteral("🌍🌍🌍"), 1), QStringLiteral("🌍"));
        QCOMPARE(firstCharacters(QStringLiteral("🇫🇷🇩🇪"), 1), QStringLiteral("🇫🇷"));
        QCOMPARE(firstCharacters(QStringLiteral("abc"), 5), QStringLiteral("abc"));
        QCOMPARE(firstCharacters(QStringLiteral("abc"), 0), QString());
    }

    void combination_data() {
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << QByteArray() << QByteArray() << QStringLiteral("(no output)");
        QTest::newRow("output only")
            << QByteArray("hi\n") << QByteArray() << QStringLiteral("hi\n");
        QTest::newRow("error only")
            << QByteArray() << QByteArray("bad\n") << QStringLiteral("[stderr] bad\n");
        QTest::newRow("both") << QByteArray("out") << QByteArray("err")
                              << QStringLiteral("out\n[stderr] err");
        QTest::newRow("invalid output counts as empty")
            << QByteArray("\xff\xfe") << QByteArray("err") << QStringLiteral("[stderr] err");
        QTest::newRow("both invalid")
            << QByteArray("\xff") << QByteArray("\xc3") << QStringLiteral("(no output)");
        // "o", the line break and the label take 11 bytes: 99989 more make exactly the limit.
        QTest::newRow("exactly the limit with the label")
            << QByteArray("o") << QByteArray(99989, 'e')
            << QStringLiteral("o\n[stderr] ") + QString(99989, QLatin1Char('e'));
        QTest::newRow("one byte past with the label")
            << QByteArray("o") << QByteArray(99990, 'e')
            << QStringLiteral("o\n[stderr] ") + QString(99989, QLatin1Char('e')) +
                   QStringLiteral("\n[... truncated]");
        // 60000 two-byte characters: over the byte limit, under the character limit.
        QTest::newRow("bytes over, characters under")
            << QStringLiteral("é").repeated(60000).toUtf8() << QByteArray()
            << QStringLiteral("é").repeated(60000) + QStringLiteral("\n[... truncated]");
        QTest::newRow("characters over")
            << QStringLiteral("🌍").repeated(100001).toUtf8() << QByteArray()
            << QStringLiteral("🌍").repeated(100000) + QStringLiteral("\n[... truncated]");
    }
    void combination() {
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(QString, expected);
        QCOMPARE(combineCommandOutput(captureOf({out}), captureOf({err}), 100000), expected);
    }

    void aCappedOutputIsNotFollowedByErrorText() {
        // The output runs on beyond what was kept; standard error comes after all of it.
        const QString shown = combineCommandOutput(captureOf({QByteArray(300000, 'o')}, 200000),
                                                   captureOf({"err"}), 100000);
        QCOMPARE(shown, QString(100000, QLatin1Char('o')) + QStringLiteral("\n[... truncated]"));
    }
};

QTEST_GUILESS_MAIN(CommandOutputTest)
#include "tst_command_output.moc"
