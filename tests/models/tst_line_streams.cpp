// Cutting network bytes into lines and reading the lines of both streamed
// formats (server-sent events and JSON lines); the tables are in
// tests/data/models/lines.json.

#include "models/cloud_protocol.h"
#include "models/line_splitter.h"
#include "models/ollama_protocol.h"

#include "support/json_rows.h"

#include <QtTest>

namespace {

const QString table = "models/lines.json";

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

} // namespace

class LineStreamsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesComeOutWholeWhereverTheInputIsCut_data() { addJsonRows(table, "split"); }
    void linesComeOutWholeWhereverTheInputIsCut() {
        QFETCH(QJsonObject, row);
        const QByteArray input = jsonBytes(row.value("input"));
        QByteArrayList lines;
        for (const QString& line : jsonTexts(row.value("lines"))) {
            lines << line.toUtf8();
        }
        QList<qsizetype> everyByte;
        for (qsizetype cut = 0; cut <= input.size(); ++cut) {
            for (qsizetype second = cut; second <= input.size(); ++second) {
                QCOMPARE(splitLines(input, {cut, second}), lines);
            }
            if (cut > 0 && cut < input.size()) {
                everyByte.append(cut);
            }
        }
        QCOMPARE(splitLines(input, everyByte), lines);
    }

    void overlongLinesAreDroppedWhole() {
        const QByteArray input("short\n0123456789\nfits-8\n0123456789abc");
        for (qsizetype cut = 0; cut <= input.size(); ++cut) {
            QCOMPARE(splitLines(input, {cut}, 8), (QByteArrayList{"short", "fits-8"}));
        }
        // A line exactly at the limit is kept; reading goes on after a dropped one.
        QCOMPARE(splitLines("12345678\n123456789\nok", {3, 12}, 8),
                 (QByteArrayList{"12345678", "ok"}));
    }

    void linesAreRead_data() { addJsonRows(table, "lines"); }
    void linesAreRead() {
        QFETCH(QJsonObject, row);
        const QByteArray line = jsonBytes(row.value("line"));
        const StreamLine read =
            row.value("reader") == "cloud" ? readCloudStreamLine(line) : readOllamaStreamLine(line);
        QCOMPARE(read.piece, row.value("piece").toString());
        QCOMPARE(read.ends, row.value("ends").toBool());
    }

    void providerStreamReadsTheSameWhereverItIsCut_data() { addJsonRows(table, "providerStreams"); }
    void providerStreamReadsTheSameWhereverItIsCut() {
        QFETCH(QJsonObject, row);
        const QByteArray stream = jsonBytes(row.value("bytes"));
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
            QCOMPARE(text, row.value("text").toString());
        }
    }
};

QTEST_GUILESS_MAIN(LineStreamsTest)
#include "tst_line_streams.moc"
