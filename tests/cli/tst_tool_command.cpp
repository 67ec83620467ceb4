// emberglass-tool as a script runs it: arguments from the command line or
// standard input, usage errors, and each tool loading only the libraries it
// needs (read from the dynamic loader's own trace).

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString program = EMBERGLASS_BINARY_DIR "/src/cli/emberglass-tool";

struct Run {
    int exitCode = -1;
    QJsonObject outcome;
    QString errors;
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
    return {process.exitCode(), QJsonDocument::fromJson(process.readAllStandardOutput()).object(),
            QString::fromUtf8(process.readAllStandardError())};
}

QString json(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

class ToolCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void argumentsTooLargeForTheCommandLineComeOnStandardInput() {
        // About 300 KB: Linux refuses a single argument over 128 KiB.
        QJsonArray rows;
        for (int r = 0; r < 2000; ++r) {
            QJsonArray row;
            for (int c = 0; c < 10; ++c) {
                row.append(QStringLiteral("cell %1-%2").arg(r).arg(c));
            }
            rows.append(row);
        }
        const QString data = QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
        QVERIFY(data.size() > 128 * 1024);
        const QJsonObject arguments{{"path", path("big.xlsx")}, {"data", data}};
        const Run created = run({"create_xlsx", "-"}, QJsonDocument(arguments).toJson());
        QCOMPARE(created.exitCode, 0);
        QCOMPARE(created.outcome.value("output").toString(),
                 "Created XLSX with 2000 rows at " + path("big.xlsx"));

        const Run read = run({"read_xlsx", json({{"path", path("big.xlsx")}})});
        QCOMPARE(read.exitCode, 0);
        QVERIFY(
            read.outcome.value("output").toString().startsWith("Rows: 2000\n\ncell 0-0\tcell 0-1"));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("not an object") << QStringList{"list_directory", "[]"} << QByteArray();
        QTest::newRow("standard input not JSON")
            << QStringList{"list_directory", "-"} << QByteArray("nope");
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        const Run result = run(arguments, input);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.errors.contains("Usage: emberglass-tool NAME"), qPrintable(result.errors));
    }

    void eachToolLoadsOnlyWhatItNeeds_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QJsonObject>("arguments");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QStringList>("notLoaded");
        const QStringList heavy{"libQt6Gui", "libpoppler", "libtesseract", "libheif"};
        QTest::newRow("list_directory") << "list_directory" << QJsonObject{{"path", m_dir.path()}}
                                        << QString() << QStringList() << heavy;
        QTest::newRow("create_pdf_slides")
            << "create_pdf_slides"
            << QJsonObject{{"path", path("deck.pdf")}, {"slides", R"([{"title":"Ember slides"}])"}}
            << "Created PDF presentation with 1 slides at " + path("deck.pdf")
            << QStringList{"libQt6Gui"} << QStringList{"libpoppler", "libtesseract", "libheif"};
        QTest::newRow("read_pdf") << "read_pdf" << QJsonObject{{"path", path("deck.pdf")}}
                                  << "PDF: 1 pages\n\n--- Page 1 ---\nEmber slides\n\n1/1\n\n"
                                  << QStringList{"libpoppler"}
                                  << QStringList{"libQt6Gui", "libtesseract", "libheif"};
        QTest::newRow("read_image")
            << "read_image" << QJsonObject{{"path", path("deck.pdf")}}
            << "Cannot read image: " + path("deck.pdf") << QStringList{"libtesseract", "libQt6Gui"}
            << QStringList{"libpoppler"};
    }
    void eachToolLoadsOnlyWhatItNeeds() {
        QFETCH(QString, tool);
        QFETCH(QJsonObject, arguments);
        QFETCH(QString, output);
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, notLoaded);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_DEBUG", "files");
        const Run result = run({tool, json(arguments)}, {}, environment);
        QCOMPARE(result.outcome.value("tool").toString(), tool);
        if (!output.isNull()) {
            QCOMPARE(result.outcome.value("output").toString(), output);
        }
        for (const QString& library : loaded) {
            QVERIFY2(result.errors.contains("file=" + library), qPrintable(library));
        }
        for (const QString& library : notLoaded) {
            QVERIFY2(!result.errors.contains("file=" + library), qPrintable(library));
        }
    }

    void aMissingModuleIsReported() {
        // The program alone, without the modules that an installation puts beside it.
        const QString alone = path("bin/emberglass-tool");
        QVERIFY(QDir().mkpath(path("bin")));
        QVERIFY(QFile::copy(program, alone));
        const Run result = run({"read_pdf", json({{"path", path("deck.pdf")}})}, {},
                               QProcessEnvironment::systemEnvironment(), alone);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.outcome.value("output").toString(),
                 "Error: emberglass-pdf-reader.so is missing (looked in " + path("bin") + " and " +
                     path("lib/emberglass") + ")");
    }
};

QTEST_GUILESS_MAIN(ToolCommandTest)
#include "tst_tool_command.moc"
