#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <QCoroTask>

class LocalLLMService;

// Getting the local model ready: probing the Ollama server before the
// controller switches to it, and downloading the model with the ollama
// program. The model backends own one; the views see it through the controller.
class LocalModelSetup : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isLoadingModel READ isLoadingModel NOTIFY isLoadingModelChanged)
    Q_PROPERTY(QString modelLoadError READ modelLoadError NOTIFY modelLoadErrorChanged)
    Q_PROPERTY(QString ollamaPullProgress READ ollamaPullProgress NOTIFY ollamaPullProgressChanged)
    Q_PROPERTY(bool isPullingModel READ isPullingModel NOTIFY isPullingModelChanged)

public:
    explicit LocalModelSetup(QObject* parent = nullptr);
    // A download still running is ended; nothing more is reported.
    ~LocalModelSetup() override;

    bool isLoadingModel() const { return m_isLoadingModel; }
    QString modelLoadError() const { return m_modelLoadError; }         // empty: none
    QString ollamaPullProgress() const { return m_ollamaPullProgress; } // empty: none
    bool isPullingModel() const { return m_pull != nullptr; }

    // Where the server is probed: the built-in address unless a test says otherwise.
    void setOllamaBase(const QString& base);
    // Where the ollama program is looked for (see locateOllama).
    void setExecutableCandidates(QStringList candidates, bool searchPath);

    // Probes the server; true when the local backend can be used. On false,
    // modelLoadError says what to do. Only the latest load reports: one that
    // a newer load or abandonLoads overtook answers false and changes nothing.
    QCoro::Task<bool> load();

    // The user chose the cloud: loads still running are dropped and the
    // last load or download error is cleared.
    void abandonLoads();

    // Downloads the model in a child process; ignored while one is running.
    Q_INVOKABLE void pull();

    // The built-in places of the ollama program, in the order they are tried.
    static QStringList defaultExecutableCandidates();
    // The first candidate that exists; else, if allowed, the program found on
    // PATH; else the first candidate (whose launch then fails).
    static QString locateOllama(const QStringList& candidates, bool searchPath);

Q_SIGNALS:
    void isLoadingModelChanged();
    void modelLoadErrorChanged();
    void ollamaPullProgressChanged();
    void isPullingModelChanged();
    // The download succeeded: the controller switches to the local backend.
    void modelPulled();

private:
    void setModelLoadError(const QString& text);
    void setOllamaPullProgress(const QString& text);
    void showPullOutput(const QByteArray& bytes);
    void endPull(const QString& progress, const QString& error);
    void pullFinished(int exitCode, QProcess::ExitStatus exitStatus);

    LocalLLMService* m_probe;
    QStringList m_candidates;
    bool m_searchPath = true;
    void setLoading(bool loading);

    quint64 m_loadRequest = 0; // the number of the latest load
    bool m_isLoadingModel = false;
    QString m_modelLoadError;
    QString m_ollamaPullProgress;
    QPointer<QProcess> m_pull;
    QStringDecoder m_pullDecoder;
};
