// The readers on files that LibreOffice wrote: DOCX from HTML, XLSX from CSV
// and from a workbook with numbers, dates and formulas, PDF from HTML with
// page breaks. The conversions run once, side by side, each with its own profile.

#include "tools/readers/docx_reader.h"
#include "tools/readers/pdf_reader.h"
#include "tools/readers/xlsx_reader.h"

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

QString fixture(const char* name) {
    return QStringLiteral(EMBERGLASS_TEST_DATA_DIR "/readers/") + QLatin1String(name);
}

} // namespace

class ReadersInteropTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString converted(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        struct Conversion {
            QStringList inputs;
            QStringList target;
        };
        const std::vector<Conversion> conversions{
            {{fixture("letter.html")},
             {QStringLiteral("--infilter=HTML (StarWriter)"), QStringLiteral("--convert-to"),
              QStringLiteral("docx:MS Word 2007 XML")}},
            {{fixture("people.csv"), fixture("mixed.fods")},
             {QStringLiteral("--convert-to"), QStringLiteral("xlsx")}},
            {{fixture("three_pages.html")},
             {QStringLiteral("--convert-to"), QStringLiteral("pdf")}},
        };
        std::vector<std::unique_ptr<QProcess>> running;
        for (size_t i = 0; i < conversions.size(); ++i) {
            const QString profile =
                QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("profile%1").arg(i))).toString();
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::MergedChannels);
            process->start(
                QStringLiteral("soffice"),
                QStringList{"-env:UserInstallation=" + profile, QStringLiteral("--headless")} +
                    conversions[i].target + QStringList{QStringLiteral("--outdir"), m_dir.path()} +
                    conversions[i].inputs);
            running.push_back(std::move(process));
        }
        for (const auto& process : running) {
            QVERIFY2(process->waitForFinished(180000), "LibreOffice did not finish");
            QVERIFY2(process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0,
                     process->readAll().constData());
        }
        for (const char* name : {"letter.docx", "people.xlsx", "mixed.xlsx", "three_pages.pdf"}) {
            QVERIFY2(QFile::exists(converted(name)), name);
        }
    }

    void docxParagraphsTableAndEntities() {
        QCOMPARE(readDocx(converted("letter.docx")),
                 (ToolOutcome{{}, true, QStringLiteral("Hello\nWorld\nA\nR&D budget for 2025")}));
    }

    void xlsxFromCsv() {
        QCOMPARE(readXlsx(converted("people.xlsx")),
                 (ToolOutcome{{}, true, QStringLiteral("Rows: 2\n\nName\tAge\nBob\t42")}));
    }

    void xlsxNumbersDatesAndFormulas() {
        // Dates are day serials from 1899-12-30, formulas their cached
        // results (booleans as 1/0); the empty row and the second sheet are absent.
        const qint64 serial = QDate(1899, 12, 30).daysTo(QDate(2024, 3, 15));
        QCOMPARE(
            readXlsx(converted("mixed.xlsx")),
            (ToolOutcome{{},
                         true,
                         QStringLiteral("Rows: 3\n\nItem\tCost\tDue\nR&D\t1250.5\t%1\nTotal\t%2\t1")
                             .arg(serial)
                             .arg(1250.5 * 2)}));
    }

    void pdfPages() {
        QCOMPARE(readPdf(converted("three_pages.pdf")),
                 (ToolOutcome{{},
                              true,
                              QStringLiteral("PDF: 3 pages\n\n"
                                             "--- Page 1 ---\nFirst page text\n\n"
                                             "--- Page 2 ---\nSecond page text\n\n"
                                             "--- Page 3 ---\nThird page text\n\n")}));
    }
};

QTEST_GUILESS_MAIN(ReadersInteropTest)
#include "tst_readers_interop.moc"
