#include "core/local_model_setup.h"

#include "core/core_texts.h"
#include "models/local_llm_service.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTextBoundaryFinder>

namespace {

constexpr int progressLength = 60;

// The last `count` user-perceived characters, so that an emoji or a letter
// with its accent is never cut in half.
QString lastCharacters(const QString& text, int count) {
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    boundaries.toEnd();
    qsizetype start = text.size();
    for (int i = 0; i < count; ++i) {
        const qsizetype previous = boundaries.toPreviousBoundary();
        if (previous < 0) {
            break;
        }
        start = previous;
    }
    return text.mid(start);
}

} // namespace

LocalModelSetup::LocalModelSetup(QObject* parent)
    : QObject(parent), m_probe(new LocalLLMService(this)),
      m_candidates(defaultExecutableCandidates()) {}

LocalModelSetup::~LocalModelSetup() {
    if (!m_pull) {
        return;
    }
    // Let the killed child be reaped without blocking; its QProcess frees
    // itself once it has noticed the exit.
    QProcess* const process = m_pull;
    process->disconnect(this);
    process->setParent(nullptr);
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

void LocalModelSetup::setOllamaBase(const QString& base) {
    // Later, not now: a load may still be awaiting the old probe.
    m_probe->deleteLater();
    m_probe = new LocalLLMService(base, LocalLLMService::builtInModelName(), this);
}

void LocalModelSetup::setExecutableCandidates(QStringList candidates, bool searchPath) {
    m_candidates = std::move(candidates);
    m_searchPath = searchPath;
}

QCoro::Task<bool> LocalModelSetup::load() {
    QPointer<LocalModelSetup> self(this);
    const quint64 request = ++m_loadRequest;
    setLoading(true);
    setModelLoadError({});
    const bool available = co_await m_probe->checkAvailability();
    if (!self || request != m_loadRequest) {
        co_return false; // overtaken: a slower, older answer must not decide
    }
    setLoading(false);
    if (!available) {
        setModelLoadError(CoreTexts::localModelNotLoaded());
    }
    co_return available;
}

void LocalModelSetup::abandonLoads() {
    ++m_loadRequest;
    setLoading(false);
    setModelLoadError({});
}

void LocalModelSetup::setLoading(bool loading) {
    if (m_isLoadingModel != loading) {
        m_isLoadingModel = loading;
        Q_EMIT isLoadingModelChanged();
    }
}

void LocalModelSetup::pull() {
    if (m_pull) {
        return;
    }
    auto* process = new QProcess(this);
    m_pull = process;
    m_pullDecoder = QStringDecoder(QStringDecoder::Utf8);
    Q_EMIT isPullingModelChanged();
    setOllamaPullProgress(CoreTexts::downloadStarting());
    setModelLoadError({});

    process->setProgram(locateOllama(m_candidates, m_searchPath));
    process->setArguments({QStringLiteral("pull"), LocalLLMService::builtInModelName()});
    process->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process->setProcessChannelMode(QProcess::MergedChannels);
    connect(process, &QProcess::readyReadStandardOutput, this,
            [this, process] { showPullOutput(process->readAllStandardOutput()); });
    connect(process, &QProcess::finished, this, &LocalModelSetup::pullFinished);
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            endPull({}, CoreTexts::ollamaNotFound());
        }
    });
    process->start();
}

void LocalModelSetup::showPullOutput(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return;
    }
    // One decoder for the whole download: a character split between two
    // reads is completed by the next one instead of spoiling both.
    const QString text = QString(m_pullDecoder(bytes)).trimmed();
    if (m_pullDecoder.hasError()) {
        m_pullDecoder = QStringDecoder(QStringDecoder::Utf8);
        return;
    }
    if (!text.isEmpty()) {
        setOllamaPullProgress(lastCharacters(text, progressLength));
    }
}

void LocalModelSetup::pullFinished(int exitCode, QProcess::ExitStatus exitStatus) {
    if (exitStatus == QProcess::NormalExit && exitCode == 0) {
        endPull(CoreTexts::localModelReady(), {});
        Q_EMIT modelPulled();
    } else {
        endPull({}, CoreTexts::downloadFailed());
    }
}

void LocalModelSetup::endPull(const QString& progress, const QString& error) {
    if (!m_pull) {
        return;
    }
    m_pull->disconnect(this);
    m_pull->deleteLater();
    m_pull = nullptr;
    Q_EMIT isPullingModelChanged();
    setOllamaPullProgress(progress);
    setModelLoadError(error);
}

void LocalModelSetup::setModelLoadError(const QString& text) {
    if (m_modelLoadError != text) {
        m_modelLoadError = text;
        Q_EMIT modelLoadErrorChanged();
    }
}

void LocalModelSetup::setOllamaPullProgress(const QString& text) {
    if (m_ollamaPullProgress != text) {
        m_ollamaPullProgress = text;
        Q_EMIT ollamaPullProgressChanged();
    }
}

QStringList LocalModelSetup::defaultExecutableCandidates() {
    return {QStringLiteral("/usr/local/bin/ollama"), QStringLiteral("/opt/homebrew/bin/ollama"),
            QDir::homePath() + QStringLiteral("/.local/bin/ollama"),
            QStringLiteral("/usr/bin/ollama")};
}

QString LocalModelSetup::locateOllama(const QStringList& candidates, bool searchPath) {
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            return candidate;
        }
    }
    if (searchPath) {
        const QString found = QStandardPaths::findExecutable(QStringLiteral("ollama"));
        if (!found.isEmpty()) {
            return found;
        }
    }
    return candidates.value(0);
}
