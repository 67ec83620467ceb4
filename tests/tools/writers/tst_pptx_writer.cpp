// create_pptx: the package's parts, what they say about each slide, the tool's
// messages, and validity of every part against the transitional schemas.

#include "tools/writers/pptx_writer.h"
#include "writer_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace WriterTests;

namespace {

QString slidesJson(const QJsonArray& slides) {
    return QString::fromUtf8(QJsonDocument(slides).toJson(QJsonDocument::Compact));
}

QJsonObject slide(const QString& title, const QStringList& bullets) {
    return {{QStringLiteral("title"), title},
            {QStringLiteral("bullets"), QJsonArray::fromStringList(bullets)}};
}

} // namespace

class PptxWriterTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // Writes the deck and returns its entries; fails the test when the tool does.
    QList<ZipEntry> writeDeck(const QString& json,
                              const QString& name = QStringLiteral("deck.pptx")) {
        const QString path = dir.filePath(name);
        const ToolOutcome outcome = createPptx(path, json);
        if (!outcome.success) {
            qWarning() << outcome.output;
            return {};
        }
        return readZip(path);
    }

    // The texts of the title run and the body run of one slide part.
    static QPair<QString, QString> runTexts(const QList<ZipEntry>& entries, int slideNumber) {
        const QList<QByteArray> texts = elementTexts(
            entryData(entries, QStringLiteral("ppt/slides/slide%1.xml").arg(slideNumber)), "a:t");
        if (texts.size() != 2) {
            return {};
        }
        return {QString::fromUtf8(texts[0]), QString::fromUtf8(texts[1])};
    }

private Q_SLOTS:
    void titleRunAndOneBodyRun() {
        const auto entries = writeDeck(
            slidesJson({slide(QStringLiteral("Q3 Review"),
                              {QStringLiteral("Revenue up"), QStringLiteral("Costs down")})}));
        QCOMPARE(runTexts(entries, 1),
                 (QPair<QString, QString>{QStringLiteral("Q3 Review"),
                                          QStringLiteral("  Revenue up\n  Costs down")}));
        const QByteArray part = entryData(entries, QStringLiteral("ppt/slides/slide1.xml"));
        // One paragraph with one run per shape: the line break is inside the run.
        QCOMPARE(part.count("<a:p>"), 2);
        QCOMPARE(part.count("<a:r>"), 2);
        QVERIFY(part.contains(R"(<a:rPr lang="en-US" sz="3600" b="1" dirty="0"/><a:t>Q3 Review)"));
        QVERIFY(part.contains(R"(<a:rPr lang="en-US" sz="2000" dirty="0"/><a:t>  Revenue up)"));
    }

    void slideTitlesAndBodies_data() {
        QTest::addColumn<QJsonObject>("third");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        const QJsonArray two{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("no title") << QJsonObject{{QStringLiteral("bullets"), two}}
                                  << QStringLiteral("Slide 3") << QStringLiteral("  a\n  b");
        QTest::newRow("title not a string")
            << QJsonObject{{QStringLiteral("title"), 7}} << QStringLiteral("Slide 3") << QString();
        QTest::newRow("empty title kept")
            << QJsonObject{{QStringLiteral("title"), QString()}} << QString() << QString();
        QTest::newRow("number among bullets")
            << QJsonObject{{QStringLiteral("title"), QStringLiteral("T")},
                           {QStringLiteral("bullets"), QJsonArray{QStringLiteral("a"), 2}}}
            << QStringLiteral("T") << QString();
        QTest::newRow("bullets not an array")
            << QJsonObject{{QStringLiteral("title"), QStringLiteral("T")},
                           {QStringLiteral("bullets"), QStringLiteral("a")}}
            << QStringLiteral("T") << QString();
        QTest::newRow("subtitle ignored")
            << QJsonObject{{QStringLiteral("title"), QStringLiteral("T")},
                           {QStringLiteral("subtitle"), QStringLiteral("Sub")},
                           {QStringLiteral("bullets"), two}}
            << QStringLiteral("T") << QStringLiteral("  a\n  b");
        QTest::newRow("escaped")
            << QJsonObject{{QStringLiteral("title"), QStringLiteral("A & B <C>")},
                           {QStringLiteral("bullets"), QJsonArray{QStringLiteral("\"it's\"")}}}
            << QStringLiteral("A &amp; B &lt;C&gt;") << QStringLiteral("  &quot;it&apos;s&quot;");
        QTest::newRow("already escaped text escaped again")
            << QJsonObject{{QStringLiteral("title"), QStringLiteral("&amp;")}}
            << QStringLiteral("&amp;amp;") << QString();
        // XML cannot carry these at all; tab and line feed are fine.
        QTest::newRow("control characters dropped")
            << QJsonObject{{QStringLiteral("title"), QStringLiteral("a\u0001b\u001Fc\td")}}
            << QStringLiteral("abc\td") << QString();
    }
    void slideTitlesAndBodies() {
        QFETCH(QJsonObject, third);
        QFETCH(QString, title);
        QFETCH(QString, body);
        const auto entries = writeDeck(slidesJson({QJsonObject{}, QJsonObject{}, third}));
        QCOMPARE(runTexts(entries, 3), (QPair<QString, QString>{title, body}));
        QCOMPARE(runTexts(entries, 1).first, QStringLiteral("Slide 1"));
        QCOMPARE(schemaViolations(QStringLiteral("pml.xsd"),
                                  entryData(entries, QStringLiteral("ppt/slides/slide3.xml"))),
                 QString());
    }

    void threeSlidesAreNumberedAndListed() {
        const auto entries = writeDeck(
            slidesJson({slide(QStringLiteral("One"), {}), slide(QStringLiteral("Two"), {}),
                        slide(QStringLiteral("Three"), {})}));
        const QByteArray presentation = entryData(entries, QStringLiteral("ppt/presentation.xml"));
        QVERIFY(presentation.contains(R"(<p:sldIdLst><p:sldId id="256" r:id="rId3"/>)"
                                      R"(<p:sldId id="257" r:id="rId4"/>)"
                                      R"(<p:sldId id="258" r:id="rId5"/></p:sldIdLst>)"));
        QVERIFY(presentation.contains(R"(<p:sldMasterId id="2147483648" r:id="rId1"/>)"));
        QVERIFY(presentation.contains(R"(<p:sldSz cx="12192000" cy="6858000"/>)"));
        QVERIFY(presentation.contains(R"(<p:notesSz cx="6858000" cy="9144000"/>)"));

        const QByteArray relationships =
            entryData(entries, QStringLiteral("ppt/_rels/presentation.xml.rels"));
        for (int i = 1; i <= 3; ++i) {
            const QString slideRelationship =
                QStringLiteral("Id=\"rId%1\" Type=\"%2/slide\" Target=\"slides/slide%3.xml\"")
                    .arg(i + 2)
                    .arg(QStringLiteral("http:/") +
                         QStringLiteral("/schemas.openxmlformats.org/"
                                        "officeDocument/2006/relationships"))
                    .arg(i);
            QVERIFY(relationships.contains(slideRelationship.toUtf8()));
            QCOMPARE(runTexts(entries, i).first,
                     (QStringList{QStringLiteral("One"), QStringLiteral("Two"),
                                  QStringLiteral("Three")}[i - 1]));
        }
        const QByteArray contentTypes = entryData(entries, QStringLiteral("[Content_Types].xml"));
        QCOMPARE(contentTypes.count("presentationml.slide+xml"), 3);
        QCOMPARE(entries.size(), 9 + 2 * 3);
    }

    void partsAreListedInPackageOrder() {
        const auto entries =
            writeDeck(slidesJson({slide(QStringLiteral("A"), {}), slide(QStringLiteral("B"), {})}));
        QCOMPARE(entryNames(entries),
                 (QStringList{QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
                              QStringLiteral("ppt/presentation.xml"),
                              QStringLiteral("ppt/_rels/presentation.xml.rels"),
                              QStringLiteral("ppt/slideLayouts/slideLayout1.xml"),
                              QStringLiteral("ppt/slideLayouts/_rels/slideLayout1.xml.rels"),
                              QStringLiteral("ppt/slideMasters/slideMaster1.xml"),
                              QStringLiteral("ppt/slideMasters/_rels/slideMaster1.xml.rels"),
                              QStringLiteral("ppt/theme/theme1.xml"),
                              QStringLiteral("ppt/slides/slide1.xml"),
                              QStringLiteral("ppt/slides/_rels/slide1.xml.rels"),
                              QStringLiteral("ppt/slides/slide2.xml"),
                              QStringLiteral("ppt/slides/_rels/slide2.xml.rels")}));
        for (const ZipEntry& entry : entries) {
            QVERIFY2(entry.deflated, qPrintable(entry.name));
            QVERIFY2(entry.data.startsWith(
                         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<"),
                     qPrintable(entry.name));
            QVERIFY2(!entry.data.endsWith('\n'), qPrintable(entry.name));
        }
    }

    void everyReferenceNamesAPartOfThePackage() {
        // A consumer follows relationships and content-type overrides: each must land.
        const auto entries =
            writeDeck(slidesJson({slide(QStringLiteral("A"), {}), slide(QStringLiteral("B"), {})}));
        const QStringList names = entryNames(entries);
        const QRegularExpression target(QStringLiteral(R"re(Target="([^"]+)")re"));
        for (const ZipEntry& entry : entries) {
            if (!entry.name.endsWith(QLatin1String(".rels"))) {
                continue;
            }
            // Targets are relative to the folder above _rels.
            const QString base = entry.name.section(QStringLiteral("_rels/"), 0, 0);
            auto matches = target.globalMatch(QString::fromUtf8(entry.data));
            while (matches.hasNext()) {
                const QString resolved = QDir::cleanPath(base + matches.next().captured(1))
                                             .remove(QRegularExpression("^/"));
                QVERIFY2(names.contains(resolved), qPrintable(entry.name + " -> " + resolved));
            }
        }
        const QRegularExpression partName(QStringLiteral(R"re(PartName="/([^"]+)")re"));
        auto overrides = partName.globalMatch(
            QString::fromUtf8(entryData(entries, QStringLiteral("[Content_Types].xml"))));
        int count = 0;
        while (overrides.hasNext()) {
            const QString name = overrides.next().captured(1);
            QVERIFY2(names.contains(name), qPrintable(name));
            ++count;
        }
        QCOMPARE(count, 4 + 2);
    }

    void everyPartValidatesAgainstTheSchemas() {
        const auto entries =
            writeDeck(slidesJson({slide(QStringLiteral("Quarterly \"review\" & <outlook>"),
                                        {QStringLiteral("季度报告"), QStringLiteral("it's fine")}),
                                  QJsonObject{}, slide(QString(), {})}));
        QCOMPARE(entries.size(), 15);
        for (const ZipEntry& entry : entries) {
            QString schema = QStringLiteral("pml.xsd");
            if (entry.name == QLatin1String("[Content_Types].xml")) {
                schema = QStringLiteral("opc-contentTypes.xsd");
            } else if (entry.name.endsWith(QLatin1String(".rels"))) {
                schema = QStringLiteral("opc-relationships.xsd");
            } else if (entry.name.startsWith(QLatin1String("ppt/theme/"))) {
                schema = QStringLiteral("dml-main.xsd");
            }
            QCOMPARE(schemaViolations(schema, entry.data), QString());
        }
    }

    void badSlidesAreRefused_data() {
        QTest::addColumn<QString>("slides");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Invalid slides JSON");
        QTest::newRow("object") << QStringLiteral("{}") << invalid;
        QTest::newRow("not JSON") << QStringLiteral("[{\"title\":") << invalid;
        QTest::newRow("strings") << QStringLiteral("[\"title\"]") << invalid;
        QTest::newRow("one bad element") << QStringLiteral("[{}, 3]") << invalid;
        QTest::newRow("empty argument") << QString() << invalid;
        QTest::newRow("empty array")
            << QStringLiteral("[]") << QStringLiteral("No slides provided");
    }
    void badSlidesAreRefused() {
        QFETCH(QString, slides);
        QFETCH(QString, message);
        const QString path = dir.filePath(QStringLiteral("refused.pptx"));
        QCOMPARE(createPptx(path, slides),
                 (ToolOutcome{QStringLiteral("create_pptx"), false, message}));
        QVERIFY(!QFile::exists(path));
    }

    void successNamesThePathAsGiven() {
        const QString home = QDir::homePath();
        const ToolOutcome outcome = createPptx(QStringLiteral("~/Decks/q3.pptx"),
                                               slidesJson({QJsonObject{}, QJsonObject{}}));
        QCOMPARE(outcome,
                 (ToolOutcome{QStringLiteral("create_pptx"), true,
                              QStringLiteral("Created PPTX with 2 slides at ~/Decks/q3.pptx")}));
        QCOMPARE(readZip(home + QStringLiteral("/Decks/q3.pptx")).size(), 13);
    }
};

QTEST_GUILESS_MAIN(PptxWriterTest)
#include "tst_pptx_writer.moc"
