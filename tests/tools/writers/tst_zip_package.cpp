// Packaging of the OOXML writers: where the archive lands, what it replaces,
// and what is left behind when it cannot be written.

#include "tools/writers/pptx_writer.h"
#include "tools/writers/xlsx_writer.h"
#include "tools/writers/zip_package.h"
#include "writer_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace WriterTests;

namespace {

const QString oneRow = QStringLiteral(R"([["a"]])");

} // namespace

class ZipPackageTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void partsKeepTheirOrderNamesAndBytes() {
        const QList<PackagePart> parts{{QStringLiteral("[Content_Types].xml"), "<Types/>"},
                                       {QStringLiteral("z/last-name-first.xml"), "z"},
                                       {QStringLiteral("a/ünïcode.xml"), "ü"},
                                       {QStringLiteral("empty.xml"), QByteArray()},
                                       {QStringLiteral("big.xml"), QByteArray(300000, 'x')}};
        const QString path = dir.filePath(QStringLiteral("order.zip"));
        QCOMPARE(writeZipPackage(path, parts), std::nullopt);
        const QList<ZipEntry> entries = readZip(path);
        QCOMPARE(entries.size(), parts.size());
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QCOMPARE(entries[i].name, parts[i].name);
            QCOMPARE(entries[i].data, parts[i].content);
            QVERIFY(entries[i].deflated);
        }
        // Deflate actually happened.
        QVERIFY(QFileInfo(path).size() < 10000);
    }

    void existingFileIsReplaced() {
        const QString path = dir.filePath(QStringLiteral("again.xlsx"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(100000, 'o'));
        }
        QVERIFY(createXlsx(path, oneRow).success);
        QVERIFY(createPptx(path, QStringLiteral("[{}]")).success);
        const QStringList names = entryNames(readZip(path));
        QVERIFY(names.contains(QStringLiteral("ppt/presentation.xml")));
        QVERIFY(!names.contains(QStringLiteral("xl/workbook.xml")));
    }

    void missingParentsAreCreated() {
        const QString path = dir.filePath(QStringLiteral("one/two/three/deck.pptx"));
        QVERIFY(createPptx(path, QStringLiteral("[{}]")).success);
        QCOMPARE(readZip(path).first().name, QStringLiteral("[Content_Types].xml"));
    }

    void nameIsKeptExactlyAndNothingElseIsLeftBeside() {
        const QString folder = dir.filePath(QStringLiteral("exact"));
        QVERIFY(createXlsx(folder + QStringLiteral("/no-extension"), oneRow).success);
        QVERIFY(
            createPptx(folder + QStringLiteral("/deck.odd.name"), QStringLiteral("[{}]")).success);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("deck.odd.name"), QStringLiteral("no-extension")}));
    }

    void relativePathResolvesAgainstTheWorkingDirectory() {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const ToolOutcome outcome = createXlsx(QStringLiteral("relative/book.xlsx"), oneRow);
        QDir::setCurrent(previous);
        QCOMPARE(outcome.output, QStringLiteral("Created XLSX with 1 rows at relative/book.xlsx"));
        QVERIFY(!readZip(dir.filePath(QStringLiteral("relative/book.xlsx"))).isEmpty());
    }

    void unwritableTargetsReportAFileError_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("under a regular file") << QStringLiteral("plain.txt/deck.pptx");
        QTest::newRow("an existing folder") << QStringLiteral("folder");
        QTest::newRow("no name") << QString();
    }
    void unwritableTargetsReportAFileError() {
        QFETCH(QString, relativePath);
        QFile plain(dir.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder/inside")));
        const QString path = relativePath.isEmpty() ? QString() : dir.filePath(relativePath);

        for (const ToolOutcome& outcome :
             {createPptx(path, QStringLiteral("[{}]")), createXlsx(path, oneRow)}) {
            QVERIFY(!outcome.success);
            QVERIFY2(outcome.output.startsWith(QLatin1String("Error: ")) &&
                         outcome.output.size() > 7,
                     qPrintable(outcome.output));
        }
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("plain.txt"))).size(), 0);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder/inside"))).isDir());
    }

    void readOnlyFolderKeepsTheOldFile() {
        if (geteuid() == 0) {
            QSKIP("root writes into read-only folders");
        }
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/kept.xlsx");
        QVERIFY(createXlsx(path, oneRow).success);
        const QByteArray before = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const ToolOutcome outcome = createXlsx(path, QStringLiteral(R"([["b"]])"));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QVERIFY(outcome.output.startsWith(QLatin1String("Error: ")));
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(ZipPackageTest)
#include "tst_zip_package.moc"
