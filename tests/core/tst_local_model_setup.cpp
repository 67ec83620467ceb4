// Loading the local model (probe) and pulling it with the ollama program,
// driven by a fake Ollama server and a fake ollama script.

#include "core/local_model_setup.h"

#include "support/fake_http_server.h"
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

    void aLoadSucceedsOnlyWithAQwenModelAndOnlyTheLatestDecides() {
        const QString failed = u"Ollama is not running or qwen model not found. Please install "
                               "and start Ollama, then run: ollama pull qwen2.5:3b"_s;
        FakeOllamaServer server;
        LocalModelSetup setup;
        setup.setOllamaBase(server.baseUrl());
        QStringList loading;
        QStringList errors;
        connect(&setup, &LocalModelSetup::isLoadingModelChanged, this,
                [&] { loading << (setup.isLoadingModel() ? u"loading"_s : u"idle"_s); });
        connect(&setup, &LocalModelSetup::modelLoadErrorChanged, this,
                [&] { errors << setup.modelLoadError(); });
        server.enqueue(FakeOllamaServer::tags({"llama3"}));
        server.enqueue(FakeOllamaServer::tags({"llama3", "qwen2.5:3b"}));
        QCOMPARE(finished(setup.load()), false);
        QCOMPARE(finished(setup.load()), true); // clearing the old error first
        QCOMPARE(loading, (QStringList{"loading", "idle", "loading", "idle"}));
        QCOMPARE(errors, (QStringList{failed, ""}));

        // The older load answers last, and wrongly: it must not set an error.
        server.enqueue(FakeOllamaServer::tags({"llama3"}).heldUntilReleased());
        server.enqueue(FakeOllamaServer::tags({"qwen2.5:3b"}));
        const auto first = startTask(setup.load());
        QTRY_COMPARE(server.heldCount(), 1);
        QCOMPARE(finished(setup.load()), true);
        server.releaseHeld();
        QTRY_VERIFY(first->has_value());
        QVERIFY(!**first && setup.modelLoadError().isEmpty() && !setup.isLoadingModel());

        server.stopListening();
        QCOMPARE(finished(setup.load()), false);
        QCOMPARE(setup.modelLoadError(), failed);
    }

    void aPullShowsTheTailOfEachChunkWholeAndIsNotStartedTwice() {
        LocalModelSetup setup;
        const QByteArray chunk = QByteArray(140, '.') + "pulling 6a0746a1ec1a: 42% |####  | 812 MB";
        useFakeOllama(setup, "  \n" + chunk + "\r\n", 0);
        QStringList progress;
        connect(&setup, &LocalModelSetup::ollamaPullProgressChanged, this,
                [&] { progress << setup.ollamaPullProgress(); });
        QSignalSpy pulled(&setup, &LocalModelSetup::modelPulled);
        setup.pull();
        QVERIFY(setup.isPullingModel());
        QTRY_COMPARE(progress, (QStringList{"Starting download...", chunk.right(60)}));
        setup.pull(); // while pulling: nothing changes
        QCOMPARE(progress.size(), 2);
        QVERIFY(openGate());
        QTRY_COMPARE(pulled.size(), 1);
        QVERIFY(!setup.isPullingModel() && setup.modelLoadError().isEmpty());
        QCOMPARE(progress.last(), u"Model ready!"_s);
        QCOMPARE(readBytes(path("args")), "pull qwen2.5:3b\n"); // once

        // A character split across output chunks is kept whole.
        QFile::remove(path("gate"));
        useFakeOllama(setup, "a \xe2\x96\x95\xe2\x96", 0, "\x88\xe2\x96\x88 b"); // "▕██" split
        setup.pull();
        QTRY_COMPARE(setup.ollamaPullProgress(), u"a ▕"_s);
        QVERIFY(openGate());
        QTRY_VERIFY(!setup.isPullingModel());
        QVERIFY2(progress.contains(u"██ b"_s), qPrintable(progress.join('|')));
    }

    // A pull that fails says why until the next one starts (with no program to
    // run at all: tst_panels' setup button).
    void aFailedPullSaysWhyUntilTheNextOneStarts() {
        LocalModelSetup setup;
        QVERIFY(openGate());
        useFakeOllama(setup, "Error: pull model manifest: file does not exist", 1);
        QSignalSpy pulled(&setup, &LocalModelSetup::modelPulled);
        setup.pull();
        QTRY_VERIFY(!setup.isPullingModel());
        QCOMPARE(setup.modelLoadError(), u"Failed to pull model. Is Ollama installed?"_s);
        QVERIFY(setup.ollamaPullProgress().isEmpty() && pulled.isEmpty());
        useFakeOllama(setup, {}, 0);
        setup.pull();
        QCOMPARE(setup.modelLoadError(), QString());
        QTRY_COMPARE(pulled.size(), 1);
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

    void theProgramIsLookedForInOrder() {
        for (const char* name : {"bin/ollama", "onpath/ollama"}) {
            QVERIFY(writeBytes(path(name), "") &&
                    QFile::setPermissions(path(name), QFile::ReadOwner | QFile::ExeOwner));
        }
        const QString missing = path("missing/ollama");
        QCOMPARE(LocalModelSetup::locateOllama({missing, path("bin/ollama")}, true),
                 path("bin/ollama"));
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", path("onpath").toLocal8Bit());
        QCOMPARE(LocalModelSetup::locateOllama({missing}, true), path("onpath/ollama"));
        QCOMPARE(LocalModelSetup::locateOllama({missing}, false), missing);
        qputenv("PATH", savedPath);
    }
};

QTEST_GUILESS_MAIN(LocalModelSetupTest)
#include "tst_local_model_setup.moc"
