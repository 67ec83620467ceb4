// Cutting network bytes into lines and reading the lines of both streamed
// formats (server-sent events and JSON lines).

#include "models/cloud_protocol.h"
#include "models/line_splitter.h"
#include "models/ollama_protocol.h"

#include <QtTest>

namespace {

// Feeds `input` in pieces cut at `cuts` (ascending byte offsets).
QByteArrayList splitLines(const QByteArray& input, const QList<qsizetype>& cuts,
                          qsizetype maxLineLength = LineSplitter::defaultMaxLineLength) {
    LineSplitter splitter(maxLineLength);
    QByteArrayList lines;
    qsizetype start = 0;
    for (qsizetype cut : cuts) {
        lines += splitter.feed(QByteArrayView(input).sliced(start, cut - start));
        start = cut;
    }
    lines += splitter.feed(QByteArrayView(input).sliced(start));
    if (const std::optional<QByteArray> last = splitter.finish()) {
        lines.append(*last);
    }
    return lines;
}

QByteArray sseEvent(const QByteArray& content) {
    return R"(data: {"choices":[{"index":0,"delta":{"content":")" + content + R"("}}]})";
}

} // namespace

class LineStreamsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesComeOutWholeWhereverTheInputIsCut_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("lf") << QByteArray("one\ntwo\n") << QByteArrayList{"one", "two"};
        QTest::newRow("crlf") << QByteArray("one\r\ntwo\r\n") << QByteArrayList{"one", "two"};
        QTest::newRow("lone cr") << QByteArray("one\rtwo\r") << QByteArrayList{"one", "two"};
        QTest::newRow("blank lines kept")
            << QByteArray("a\r\n\r\nb\n\nc") << QByteArrayList{"a", "", "b", "", "c"};
        QTest::newRow("no final break") << QByteArray("only") << QByteArrayList{"only"};
        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
        QTest::newRow("cr then lf is one break, lf cr is two")
            << QByteArray("x\r\ny\n\rz") << QByteArrayList{"x", "y", "", "z"};
        // "你好" and an emoji: bytes of one character must stay together.
        QTest::newRow("utf-8") << QByteArray("\xe4\xbd\xa0\xe5\xa5\xbd\n\xf0\x9f\x94\xa5!\n")
                               << QByteArrayList{"\xe4\xbd\xa0\xe5\xa5\xbd", "\xf0\x9f\x94\xa5!"};
    }
    void linesComeOutWholeWhereverTheInputIsCut() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArrayList, lines);
        QCOMPARE(splitLines(input, {}), lines);
        for (qsizetype cut = 0; cut <= input.size(); ++cut) {
            QCOMPARE(splitLines(input, {cut}), lines);
            for (qsizetype second = cut; second <= input.size(); ++second) {
                QCOMPARE(splitLines(input, {cut, second}), lines);
            }
        }
        QList<qsizetype> everyByte;
        for (qsizetype i = 1; i < input.size(); ++i) {
            everyByte.append(i);
        }
        QCOMPARE(splitLines(input, everyByte), lines);
    }

    void overlongLinesAreDroppedWhole() {
        const QByteArray input("short\n0123456789\nfits-8\n0123456789abc");
        const QByteArrayList expected{"short", "fits-8"};
        QCOMPARE(splitLines(input, {}, 8), expected);
        for (qsizetype cut = 0; cut <= input.size(); ++cut) {
            QCOMPARE(splitLines(input, {cut}, 8), expected);
        }
        // A line exactly at the limit is kept; reading goes on after a dropped one.
        QCOMPARE(splitLines("12345678\n123456789\nok", {3, 12}, 8),
                 (QByteArrayList{"12345678", "ok"}));
    }

    void cloudEventLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<bool>("ends");
        QTest::newRow("delta") << sseEvent("Hi") << QStringLiteral("Hi") << false;
        QTest::newRow("tabs and spaces trimmed")
            << "\t  " + sseEvent("x") + " \t" << QStringLiteral("x") << false;
        QTest::newRow("escaped text")
            << sseEvent(R"(a\n\"b\" \u4f60)") << QStringLiteral("a\n\"b\" 你") << false;
        QTest::newRow("done") << QByteArray("data: [DONE]") << QString() << true;
        QTest::newRow("done padded") << QByteArray("   data: [DONE]  ") << QString() << true;
        QTest::newRow("done with more") << QByteArray("data: [DONE] now") << QString() << false;
        QTest::newRow("no space after colon")
            << QByteArray(R"(data:{"choices":[{"delta":{"content":"x"}}]})") << QString() << false;
        QTest::newRow("done without space") << QByteArray("data:[DONE]") << QString() << false;
        QTest::newRow("keep-alive comment") << QByteArray(": keep-alive") << QString() << false;
        QTest::newRow("event name") << QByteArray("event: message") << QString() << false;
        QTest::newRow("id") << QByteArray("id: 7") << QString() << false;
        QTest::newRow("blank") << QByteArray("") << QString() << false;
        QTest::newRow("usage chunk, empty choices")
            << QByteArray(R"(data: {"choices":[],"usage":{"total_tokens":9}})") << QString()
            << false;
        QTest::newRow("no choices") << QByteArray(R"(data: {"id":"x"})") << QString() << false;
        QTest::newRow("choice not an object")
            << QByteArray(R"(data: {"choices":["x"]})") << QString() << false;
        QTest::newRow("no delta") << QByteArray(R"(data: {"choices":[{"index":0}]})") << QString()
                                  << false;
        QTest::newRow("null content")
            << QByteArray(R"(data: {"choices":[{"delta":{"content":null}}]})") << QString()
            << false;
        QTest::newRow("tool-call delta")
            << QByteArray(R"(data: {"choices":[{"delta":{"tool_calls":[{"index":0}]}}]})")
            << QString() << false;
        QTest::newRow("number content")
            << QByteArray(R"(data: {"choices":[{"delta":{"content":5}}]})") << QString() << false;
        QTest::newRow("not json") << QByteArray("data: {\"choices\":") << QString() << false;
        QTest::newRow("json array") << QByteArray("data: [1,2]") << QString() << false;
        // A provider that fails after its 200 says so in a chunk: the stream ends (with it).
        QTest::newRow("error object")
            << QByteArray(R"(data: {"error":{"message":"quota"}})") << QString() << true;
        QTest::newRow("null error")
            << QByteArray(R"(data: {"error":null,"choices":[]})") << QString() << false;
    }
    void cloudEventLines() {
        QFETCH(QByteArray, line);
        QFETCH(QString, piece);
        QFETCH(bool, ends);
        const StreamLine read = readCloudStreamLine(line);
        QCOMPARE(read.piece, piece);
        QCOMPARE(read.ends, ends);
    }

    void ollamaLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<bool>("ends");
        QTest::newRow("piece") << QByteArray(R"({"message":{"content":"Hi"},"done":false})")
                               << QStringLiteral("Hi") << false;
        QTest::newRow("final empty")
            << QByteArray(R"({"message":{"role":"assistant","content":""},"done":true})")
            << QString() << true;
        QTest::newRow("final with text")
            << QByteArray(R"({"message":{"content":"end"},"done":true})") << QStringLiteral("end")
            << true;
        QTest::newRow("done not boolean")
            << QByteArray(R"({"message":{"content":"x"},"done":"true"})") << QStringLiteral("x")
            << false;
        QTest::newRow("done without message")
            << QByteArray(R"({"done":true})") << QString() << false;
        QTest::newRow("content not text")
            << QByteArray(R"({"message":{"content":1},"done":true})") << QString() << false;
        QTest::newRow("empty line") << QByteArray() << QString() << false;
        QTest::newRow("garbage") << QByteArray("{\"message\":") << QString() << false;
        QTest::newRow("array") << QByteArray("[{\"message\":{\"content\":\"x\"}}]") << QString()
                               << false;
        QTest::newRow("error line")
            << QByteArray(R"({"error":"model runner stopped"})") << QString() << true;
    }
    void ollamaLines() {
        QFETCH(QByteArray, line);
        QFETCH(QString, piece);
        QFETCH(bool, ends);
        const StreamLine read = readOllamaStreamLine(line);
        QCOMPARE(read.piece, piece);
        QCOMPARE(read.ends, ends);
    }

    void providerStreamReadsTheSameWhereverItIsCut() {
        // What real providers send: CR LF, comments, named events, a usage
        // chunk with empty choices, multi-byte text, then [DONE] and trailing noise.
        const QByteArray stream = ": keep-alive\r\n\r\nevent: completion\r\n" +
                                  sseEvent("\xe4\xbd\xa0") + "\r\n\r\n" +
                                  sseEvent("\xe5\xa5\xbd \xf0\x9f\x94\xa5") + "\r\n\r\n" +
                                  R"(data: {"choices":[],"usage":{}})" +
                                  "\r\n\r\ndata: [DONE]\r\n\r\n" + sseEvent("late") + "\r\n";
        for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
            QString text;
            bool ended = false;
            for (const QByteArray& line : splitLines(stream, {cut})) {
                const StreamLine read = readCloudStreamLine(line);
                if (ended) {
                    break;
                }
                text += read.piece;
                ended = read.ends;
            }
            QVERIFY(ended);
            QCOMPARE(text, QStringLiteral("你好 🔥"));
        }
    }
};

QTEST_GUILESS_MAIN(LineStreamsTest)
#include "tst_line_streams.moc"
