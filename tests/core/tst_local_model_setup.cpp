// Loading the local model (probe) and pulling it with the ollama program,
// driven by a fake Ollama server and a fake ollama script.

#include "core/local_model_setup.h"

#include "support/fake_http_server.h"
#include "support/task_outcome.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

const QString loadFailed = QStringLiteral(
    "Ollama is not running or qwen model not found. Please install and start Ollama, then run: "
    "ollama pull qwen2.5:3b");

// Every value a property took, in order.
struct ValueLog {
    QStringList values;
    template <typename Read>
    ValueLog(LocalModelSetup& setup, void (LocalModelSetup::*changed)(), Read read) {
        QObject::connect(&setup, changed, &setup,
                         [this, &setup, read] { values.append(read(setup)); });
    }
};

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class LocalModelSetupTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The fake program; its behaviour comes from the environment of this
    // process, which the pull must hand on.
    void useFakeOllama(LocalModelSetup& setup, const QByteArray& output, int exitStatus,
                       bool gated = false, const QByteArray& finalOutput = {}) {
        setup.setExecutableCandidates({path("missing/ollama"), EMBERGLASS_FAKE_OLLAMA}, false);
        qputenv("FAKE_OLLAMA_OUTPUT", output);
        qputenv("FAKE_OLLAMA_FINAL", finalOutput);
        qputenv("FAKE_OLLAMA_EXIT", QByteArray::number(exitStatus));
        qputenv("FAKE_OLLAMA_GATE", gated ? path("gate").toLocal8Bit() : QByteArray());
    }

    void openGate() {
        QFile gate(path("gate"));
        QVERIFY(gate.open(QIODevice::WriteOnly));
    }

private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        QFile::remove(path("gate"));
        QFile::remove(path("args"));
        QFile::remove(path("pid"));
        qputenv("FAKE_OLLAMA_ARGS_FILE", path("args").toLocal8Bit());
        qputenv("FAKE_OLLAMA_PID_FILE", path("pid").toLocal8Bit());
    }

    void loadSucceedsWithAQwenModel() {
        FakeOllamaServer server;
        server.enqueue(FakeOllamaServer::tags({"llama3"}));
        server.enqueue(FakeOllamaServer::tags({"llama3", "qwen2.5:3b"}));
        LocalModelSetup setup;
        setup.setOllamaBase(server.baseUrl());
        ValueLog loading(setup, &LocalModelSetup::isLoadingModelChanged,
                         [](LocalModelSetup& s) { return boolText(s.isLoadingModel()); });
        ValueLog errors(setup, &LocalModelSetup::modelLoadErrorChanged,
                        [](LocalModelSetup& s) { return s.modelLoadError(); });

        const auto failed = startTask(setup.load());
        QVERIFY(setup.isLoadingModel());
        QTRY_VERIFY(failed->has_value());
        QCOMPARE(**failed, false);
        QCOMPARE(setup.modelLoadError(), loadFailed);
        QVERIFY(!setup.isLoadingModel());

        // The next load clears the old error first.
        const auto succeeded = startTask(setup.load());
        QTRY_VERIFY(succeeded->has_value());
        QCOMPARE(**succeeded, true);
        QCOMPARE(setup.modelLoadError(), QString());
        QCOMPARE(loading.values, (QStringList{"true", "false", "true", "false"}));
        QCOMPARE(errors.values, (QStringList{loadFailed, QString()}));
        QCOMPARE(server.lastRequest().path, QStringLiteral("/api/tags"));
    }

    void loadFailsWithoutServer() {
        FakeOllamaServer server;
        LocalModelSetup setup;
        setup.setOllamaBase(server.baseUrl());
        server.stopListening();
        const auto loaded = startTask(setup.load());
        QTRY_VERIFY(loaded->has_value());
        QCOMPARE(**loaded, false);
        QCOMPARE(setup.modelLoadError(), loadFailed);
        QVERIFY(!setup.isLoadingModel());
    }

    void overlappingLoadsOnlyTheLatestDecides() {
        // The older load answers last, and wrongly: it must not set an error.
        FakeOllamaServer server;
        server.enqueue(FakeOllamaServer::tags({"llama3"}).delayedBy(300));
        server.enqueue(FakeOllamaServer::tags({"qwen2.5:3b"}));
        LocalModelSetup setup;
        setup.setOllamaBase(server.baseUrl());
        const auto first = startTask(setup.load());
        QTRY_COMPARE(server.requests().size(), 1);
        const auto second = startTask(setup.load());
        QTRY_VERIFY(second->has_value());
        QCOMPARE(**second, true);
        QVERIFY(!setup.isLoadingModel());
        QTRY_VERIFY(first->has_value());
        QCOMPARE(**first, false);
        QVERIFY(setup.modelLoadError().isEmpty());
        QVERIFY(!setup.isLoadingModel());
    }

    void successfulPullShowsTheTailOfEachChunk() {
        LocalModelSetup setup;
        const QByteArray chunk =
            QByteArray(140, '.') + "pulling 6a0746a1ec1a: 42% |####      | 812 MB/1.9 GB 24 MB/s";
        QCOMPARE(chunk.size(), 200);
        useFakeOllama(setup, "  \n" + chunk + "\r\n", 0, true);
        ValueLog progress(setup, &LocalModelSetup::ollamaPullProgressChanged,
                          [](LocalModelSetup& s) { return s.ollamaPullProgress(); });
        QSignalSpy pulled(&setup, &LocalModelSetup::modelPulled);

        setup.pull();
        QVERIFY(setup.isPullingModel());
        QCOMPARE(setup.ollamaPullProgress(), QStringLiteral("Starting download..."));
        const QString tail = QString::fromLatin1(chunk.right(60));
        QTRY_COMPARE(setup.ollamaPullProgress(), tail);
        QCOMPARE(readFile(path("args")), QByteArray("pull qwen2.5:3b\n"));
        QVERIFY(pulled.isEmpty());

        openGate();
        QTRY_COMPARE(pulled.size(), 1);
        QVERIFY(!setup.isPullingModel());
        QCOMPARE(setup.ollamaPullProgress(), QStringLiteral("Model ready!"));
        QCOMPARE(setup.modelLoadError(), QString());
        QCOMPARE(progress.values, (QStringList{"Starting download...", tail, "Model ready!"}));
    }

    void pullWhilePullingChangesNothing() {
        LocalModelSetup setup;
        useFakeOllama(setup, "first", 0, true);
        setup.pull();
        QTRY_COMPARE(setup.ollamaPullProgress(), QStringLiteral("first"));
        QSignalSpy progress(&setup, &LocalModelSetup::ollamaPullProgressChanged);
        QSignalSpy pulling(&setup, &LocalModelSetup::isPullingModelChanged);
        setup.pull();
        QCOMPARE(setup.ollamaPullProgress(), QStringLiteral("first"));
        QVERIFY(progress.isEmpty());
        QVERIFY(pulling.isEmpty());

        openGate();
        QTRY_VERIFY(!setup.isPullingModel());
        QCOMPARE(readFile(path("args")).count('\n'), 1);
    }

    void characterSplitAcrossOutputChunksIsKept() {
        LocalModelSetup setup;
        // "▕██" split inside the second block character.
        useFakeOllama(setup, "a \xe2\x96\x95\xe2\x96", 0, true, "\x88\xe2\x96\x88 b");
        ValueLog progress(setup, &LocalModelSetup::ollamaPullProgressChanged,
                          [](LocalModelSetup& s) { return s.ollamaPullProgress(); });
        setup.pull();
        QTRY_COMPARE(setup.ollamaPullProgress(), QStringLiteral("a ▕"));
        openGate();
        QTRY_VERIFY(!setup.isPullingModel());
        QVERIFY2(progress.values.contains(QStringLiteral("██ b")),
                 qPrintable(progress.values.join('|')));
    }

    void failedPullAndMissingProgram_data() {
        QTest::addColumn<bool>("programExists");
        QTest::addColumn<QString>("error");
        QTest::newRow("exit 1") << true
                                << QStringLiteral("Failed to pull model. Is Ollama installed?");
        QTest::newRow("no program")
            << false << QStringLiteral("Ollama not found. Install from ollama.com");
    }
    void failedPullAndMissingProgram() {
        QFETCH(bool, programExists);
        QFETCH(QString, error);
        LocalModelSetup setup;
        useFakeOllama(setup, "pulling manifest\nError: pull model manifest: file does not exist",
                      1);
        if (!programExists) {
            setup.setExecutableCandidates({path("missing/ollama"), path("also-missing")}, false);
        }
        QSignalSpy pulled(&setup, &LocalModelSetup::modelPulled);
        setup.pull();
        QTRY_VERIFY(!setup.isPullingModel());
        QCOMPARE(setup.modelLoadError(), error);
        QCOMPARE(setup.ollamaPullProgress(), QString());
        QVERIFY(pulled.isEmpty());

        // The error is cleared when the next pull starts.
        useFakeOllama(setup, {}, 0);
        setup.pull();
        QCOMPARE(setup.modelLoadError(), QString());
        QTRY_COMPARE(pulled.size(), 1);
    }

    void destroyedWhilePullingEndsTheChildQuietly() {
        auto* setup = new LocalModelSetup;
        useFakeOllama(*setup, "working", 0, true);
        QSignalSpy pulled(setup, &LocalModelSetup::modelPulled);
        setup->pull();
        QTRY_VERIFY(!readFile(path("pid")).isEmpty());
        const pid_t child = readFile(path("pid")).trimmed().toInt();
        QVERIFY(child > 0);
        delete setup;
        // Killed and reaped, and nothing reported to the gone owner.
        QTRY_VERIFY(::kill(child, 0) != 0);
        QVERIFY(pulled.isEmpty());
    }

    void programIsLookedForInOrder() {
        const QString first = path("bin1/ollama");
        const QString second = path("bin2/ollama");
        const QString onPath = path("pathdir/ollama");
        QVERIFY(QDir().mkpath(path("bin2")) && QDir().mkpath(path("pathdir")));
        for (const QString& file : {second, onPath}) {
            QFile program(file);
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        QCOMPARE(LocalModelSetup::locateOllama({first, second}, true), second);
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", path("pathdir").toLocal8Bit());
        QCOMPARE(LocalModelSetup::locateOllama({first}, true), onPath);
        QCOMPARE(LocalModelSetup::locateOllama({first}, false), first);
        qputenv("PATH", savedPath);

        const QStringList builtIn = LocalModelSetup::defaultExecutableCandidates();
        QCOMPARE(builtIn,
                 (QStringList{"/usr/local/bin/ollama", "/opt/homebrew/bin/ollama",
                              QDir::homePath() + "/.local/bin/ollama", "/usr/bin/ollama"}));
    }
};

QTEST_GUILESS_MAIN(LocalModelSetupTest)
#include "tst_local_model_setup.moc"
