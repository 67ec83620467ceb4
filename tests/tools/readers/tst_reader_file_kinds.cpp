// Every reader refuses what is not a regular file before opening it: a FIFO
// without a writer would block the tool for ever, a device would never end.

#include "tools/readers/docx_reader.h"
#include "tools/readers/image_reader.h"
#include "tools/readers/pdf_reader.h"
#include "tools/readers/xlsx_reader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

using Reader = ToolOutcome (*)(const QString&);

} // namespace

Q_DECLARE_METATYPE(Reader)

class ReaderFileKindsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_fifo;

private Q_SLOTS:
    void initTestCase() {
        m_fifo = m_dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(m_fifo).constData(), 0600), 0);
    }

    void nonRegularFilesAreRefused_data() {
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const QString directory = m_dir.path();
        const QString device = QStringLiteral("/dev/zero");
        const QString notRegular = QStringLiteral("Error: Not a regular file");
        const QString isDirectory = QStringLiteral("Error: Is a directory");
        const struct {
            const char* name;
            Reader reader;
            QString forFifo, forDirectory, forDevice;
        } readers[] = {
            {"read_pdf", readPdf, "Cannot open PDF: " + m_fifo, "Cannot open PDF: " + directory,
             "Cannot open PDF: " + device},
            {"read_image", readImage, "Cannot read image: " + m_fifo,
             "Cannot read image: " + directory, "Cannot read image: " + device},
            {"read_docx", readDocx, notRegular, isDirectory, notRegular},
            {"read_xlsx", readXlsx, notRegular, isDirectory, notRegular},
        };
        for (const auto& entry : readers) {
            QTest::addRow("%s FIFO", entry.name) << entry.reader << m_fifo << entry.forFifo;
            QTest::addRow("%s directory", entry.name)
                << entry.reader << directory << entry.forDirectory;
            QTest::addRow("%s device", entry.name) << entry.reader << device << entry.forDevice;
        }
    }
    void nonRegularFilesAreRefused() {
        QFETCH(Reader, reader);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(reader(path), (ToolOutcome{{}, false, expected}));
    }
};

QTEST_GUILESS_MAIN(ReaderFileKindsTest)
#include "tst_reader_file_kinds.moc"
