// Loading the local model (probe) and pulling it with the ollama program,
// driven by a fake Ollama server and a fake ollama script.

#include "core/local_model_setup.h"

#include "support/fake_http_server.h"
#include "support/scoped_environment.h"
#include "support/task_outcome.h"
#include "support/test_files.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

class LocalModelSetupTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The fake program; its behaviour comes from the environment of this
    // process, which the pull must hand on. Gated: it waits for "gate" midway.
    void useFakeOllama(LocalModelSetup& setup, const QByteArray& output, int exitStatus,
                       const QByteArray& finalOutput = {}) {
        setup.setExecutableCandidates({path("missing/ollama"), EMBERGLASS_FAKE_OLLAMA}, false);
        qputenv("FAKE_OLLAMA_OUTPUT", output);
        qputenv("FAKE_OLLAMA_FINAL", finalOutput);
        qputenv("FAKE_OLLAMA_EXIT", QByteArray::number(exitStatus));
    }
    bool openGate() { return QFile(path("gate")).open(QIODevice::WriteOnly); }

private Q_SLOTS:
    void init() {
        for (const char* name : {"gate", "args", "pid"}) {
            QFile::remove(path(name));
        }
        qputenv("FAKE_OLLAMA_ARGS_FILE", path("args").toLocal8Bit());
        qputenv("FAKE_OLLAMA_PID_FILE", path("pid").toLocal8Bit());
        qputenv("FAKE_OLLAMA_GATE", path("gate").toLocal8Bit());
    }

    // Which load answers last is the controller's (a late answer after choosing
    // the cloud: tst_chat_view_model).
    void aLoadSucceedsOnlyWithAQwenModel() {
        FakeOllamaServer server;
        LocalModelSetup setup;
        setup.setOllamaBase(server.baseUrl());
        server.enqueue(FakeOllamaServer::tags({"llama3"}));
        server.enqueue(FakeOllamaServer::tags({"llama3", "qwen2.5:3b"}));
        QCOMPARE(finished(setup.load()), false);
        QCOMPARE(setup.modelLoadError(),
                 u"Ollama is not running or qwen model not found. Please install and start "
                 "Ollama, then run: ollama pull qwen2.5:3b"_s);
        QCOMPARE(finished(setup.load()), true); // clearing the old error first
        QVERIFY(setup.modelLoadError().isEmpty() && !setup.isLoadingModel());
    }

    // A pull that fails says why until the next one starts (with no program to
    // run at all: tst_panels' setup button); that one shows the tail of its
    // output and is not started twice.
    void aPullSaysWhyItFailedAndShowsTheTailOfItsOutput() {
        LocalModelSetup setup;
        QVERIFY(openGate());
        useFakeOllama(setup, "Error: pull model manifest: file does not exist", 1);
        QSignalSpy pulled(&setup, &LocalModelSetup::modelPulled);
        setup.pull();
        QTRY_VERIFY(!setup.isPullingModel());
        QCOMPARE(setup.modelLoadError(), u"Failed to pull model. Is Ollama installed?"_s);
        QVERIFY(setup.ollamaPullProgress().isEmpty() && pulled.isEmpty());

        QFile::remove(path("gate"));
        const QByteArray chunk = QByteArray(140, '.') + "pulling 6a0746a1ec1a: 42% |####  | 812 MB";
        useFakeOllama(setup, "  \n" + chunk + "\r\n", 0);
        QStringList progress;
        connect(&setup, &LocalModelSetup::ollamaPullProgressChanged, this,
                [&] { progress << setup.ollamaPullProgress(); });
        setup.pull();
        QCOMPARE(setup.modelLoadError(), QString());
        QTRY_COMPARE(progress, (QStringList{"Starting download...", chunk.right(60)}));
        setup.pull(); // while pulling: nothing changes
        QCOMPARE(progress.size(), 2);
        QVERIFY(openGate());
        QTRY_COMPARE(pulled.size(), 1);
        QCOMPARE(progress.last(), u"Model ready!"_s);
        QCOMPARE(readBytes(path("args")), "pull qwen2.5:3b\npull qwen2.5:3b\n"); // once each
    }

    void destroyedWhilePullingEndsTheChildQuietly() {
        auto* setup = new LocalModelSetup;
        useFakeOllama(*setup, "working", 0);
        QSignalSpy pulled(setup, &LocalModelSetup::modelPulled);
        setup->pull();
        const auto child = [this] { return pid_t(readBytes(path("pid")).trimmed().toInt()); };
        QTRY_VERIFY(child() > 0);
        delete setup;
        QTRY_VERIFY(::kill(child(), 0) != 0); // killed and reaped
        QVERIFY(pulled.isEmpty());
    }

    // In none of the places given, it is looked for on PATH.
    void theProgramIsFoundOnPath() {
        QVERIFY(writeBytes(path("onpath/ollama"), "") &&
                QFile::setPermissions(path("onpath/ollama"), QFile::ReadOwner | QFile::ExeOwner));
        const ScopedEnvironment onPath("PATH", QFile::encodeName(path("onpath")));
        QCOMPARE(LocalModelSetup::locateOllama({path("missing/ollama")}, true),
                 path("onpath/ollama"));
    }
};

QTEST_GUILESS_MAIN(LocalModelSetupTest)
#include "tst_local_model_setup.moc"
