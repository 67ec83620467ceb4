// emberglass-tool as a script runs it: arguments from the command line or
// standard input, usage errors, and each tool loading only the libraries it
// needs (read from the dynamic loader's own trace).

#include "support/json_rows.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString program = EMBERGLASS_BINARY_DIR "/src/cli/emberglass-tool";

struct Run {
    int exitCode = -1;
    QJsonObject outcome;
    QString errors;
    QString printed; // standard output as it came
};

Run run(const QStringList& arguments, const QByteArray& input = {},
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
        const QString& executable = program) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(executable, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    const QByteArray output = process.readAllStandardOutput();
    return {process.exitCode(), QJsonDocument::fromJson(output).object(),
            QString::fromUtf8(process.readAllStandardError()), QString::fromUtf8(output)};
}

} // namespace

class ToolCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void argumentsTooLargeForTheCommandLineComeOnStandardInput() {
        // About 180 KB: Linux refuses a single argument over 128 KiB.
        const QString data = "[" + QStringList(20000, R"(["cell"])").join(',') + "]";
        QVERIFY(data.size() > 128 * 1024);
        const QJsonObject arguments{{"path", path("big.xlsx")}, {"data", data}};
        const Run created = run({"create_xlsx", "-"}, QJsonDocument(arguments).toJson());
        QCOMPARE(created.exitCode, 0);
        QCOMPARE(created.outcome.value("output").toString(),
                 "Created XLSX with 20000 rows at " + path("big.xlsx"));
    }

    // Usage mistakes end with 2 and the usage on standard error; --help and
    // --version answer on standard output.
    void usage_data() { addJsonRows("tools/command.json", "usage"); }
    void usage() {
        QFETCH(QJsonObject, row);
        const Run result = run(jsonTexts(row["arguments"]), jsonBytes(row["input"]));
        QCOMPARE(result.exitCode, row["status"].toInt());
        const QString printed = result.exitCode == 0 ? result.printed : result.errors;
        const QString expected =
            row["says"].toString().replace("{version}", QStringLiteral(EMBERGLASS_VERSION));
        QVERIFY2(printed.contains(expected), qPrintable(printed));
        QVERIFY2(printed.contains("Usage: emberglass-tool NAME") == row["usage"].toBool(),
                 qPrintable(printed));
    }

    // Each row: a tool, its arguments ("{dir}" is the test's folder), its answer
    // when the row says it, and the libraries it must and must not load.
    void eachToolLoadsOnlyWhatItNeeds_data() { addJsonRows("tools/command.json", "libraries"); }
    void eachToolLoadsOnlyWhatItNeeds() {
        QFETCH(QJsonObject, row);
        const auto here = [this](QString text) { return text.replace("{dir}", m_dir.path()); };
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_DEBUG", "files");
        const Run result =
            run({row["tool"].toString(), here(jsonBytes(row["arguments"]))}, {}, environment);
        QCOMPARE(result.outcome.value("tool"), row["tool"]);
        if (row.contains("output")) {
            QCOMPARE(result.outcome.value("output").toString(), here(row["output"].toString()));
        }
        for (const bool loaded : {true, false}) {
            for (const QString& library : jsonTexts(row[loaded ? "loaded" : "notLoaded"])) {
                QVERIFY2(result.errors.contains("file=" + library) == loaded, qPrintable(library));
            }
        }
    }

    void aMissingModuleIsReported() {
        // The program alone, without the modules that an installation puts beside it.
        const QString alone = path("bin/emberglass-tool");
        QVERIFY(QDir().mkpath(path("bin")));
        QVERIFY(QFile::copy(program, alone));
        const Run result = run({"read_pdf", jsonBytes(QJsonObject{{"path", path("deck.pdf")}})}, {},
                               QProcessEnvironment::systemEnvironment(), alone);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.outcome.value("output").toString(),
                 "Error: emberglass-pdf-reader.so is missing (looked in " + path("bin") + " and " +
                     path("lib/emberglass") + ")");
    }
};

QTEST_GUILESS_MAIN(ToolCommandTest)
#include "tst_tool_command.moc"
