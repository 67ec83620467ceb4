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
        const auto row = [](const char* tag, const QByteArray& line, const QString& piece,
                            bool ends) { QTest::newRow(tag) << line << piece << ends; };
        row("delta", sseEvent("Hi"), "Hi", false);
        row("tabs and spaces trimmed", "\t  " + sseEvent("x") + " \t", "x", false);
        row("escaped text", sseEvent(R"(a\n\"b\" \u4f60)"), "a\n\"b\" 你", false);
        row("done", "data: [DONE]", {}, true);
        row("done padded", "   data: [DONE]  ", {}, true);
        row("done with more", "data: [DONE] now", {}, false);
        row("no space after colon", R"(data:{"choices":[{"delta":{"content":"x"}}]})", {}, false);
        row("done without space", "data:[DONE]", {}, false);
        row("keep-alive comment", ": keep-alive", {}, false);
        row("event name", "event: message", {}, false);
        row("id", "id: 7", {}, false);
        row("blank", "", {}, false);
        row("usage chunk, empty choices", R"(data: {"choices":[],"usage":{"total_tokens":9}})", {},
            false);
        row("no choices", R"(data: {"id":"x"})", {}, false);
        row("choice not an object", R"(data: {"choices":["x"]})", {}, false);
        row("no delta", R"(data: {"choices":[{"index":0}]})", {}, false);
        row("null content", R"(data: {"choices":[{"delta":{"content":null}}]})", {}, false);
        row("tool-call delta", R"(data: {"choices":[{"delta":{"tool_calls":[{"index":0}]}}]})", {},
            false);
        row("number content", R"(data: {"choices":[{"delta":{"content":5}}]})", {}, false);
        row("not json", "data: {\"choices\":", {}, false);
        row("json array", "data: [1,2]", {}, false);
        // A provider that fails after its 200 says so in a chunk: the stream ends (with it).
        row("error object", R"(data: {"error":{"message":"quota"}})", {}, true);
        row("null error", R"(data: {"error":null,"choices":[]})", {}, false);
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
        const auto row = [](const char* tag, const QByteArray& line, const QString& piece,
                            bool ends) { QTest::newRow(tag) << line << piece << ends; };
        row("piece", R"({"message":{"content":"Hi"},"done":false})", "Hi", false);
        row("final empty", R"({"message":{"role":"assistant","content":""},"done":true})", {},
            true);
        row("final with text", R"({"message":{"content":"end"},"done":true})", "end", true);
        row("done not boolean", R"({"message":{"content":"x"},"done":"true"})", "x", false);
        row("done without message", R"({"done":true})", {}, false);
        row("content not text", R"({"message":{"content":1},"done":true})", {}, false);
        row("empty line", "", {}, false);
        row("garbage", "{\"message\":", {}, false);
        row("array", R"([{"message":{"content":"x"}}])", {}, false);
        row("error line", R"({"error":"model runner stopped"})", {}, true);
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
            QCOMPARE(text, "你好 🔥");
        }
    }
};

QTEST_GUILESS_MAIN(LineStreamsTest)
#include "tst_line_streams.moc"
