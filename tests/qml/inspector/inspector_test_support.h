#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QtQml/qqmlregistration.h>

#include <memory>

class FakeOpenAIServer;
class FullDisk;
class QJSEngine;
class QQmlEngine;

// What the inspector and onboarding tests need beside TestHarness: files, a
// second cloud provider to point the settings at, and a download that waits.
class InspectorTestSupport : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString providerBaseUrl READ providerBaseUrl CONSTANT)
    Q_PROPERTY(int providerProbeCount READ providerProbeCount)

public:
    explicit InspectorTestSupport(QObject* parent = nullptr);
    ~InspectorTestSupport() override;

    // A file's text; null when it cannot be read.
    Q_INVOKABLE QVariant readFile(const QString& path) const;
    Q_INVOKABLE bool writeFile(const QString& path, const QString& text) const;
    // Empties the persona's memory folder and rescans it.
    Q_INVOKABLE void clearMemoryFiles() const;
    // While full, every write of this process that would grow a file fails.
    Q_INVOKABLE void setDiskFull(bool full);

    // What the controller's cloud client holds now.
    Q_INVOKABLE QString cloudClientApiKey() const;
    Q_INVOKABLE QString cloudClientBaseURL() const;
    Q_INVOKABLE QString cloudClientModel() const;

    // A provider of our own: its probe answers 200 or 401; each probe is counted
    // and its bearer token kept.
    QString providerBaseUrl() const;
    Q_INVOKABLE void answerProviderProbes(bool reachable);
    // Probes answer 200 with these model ids.
    Q_INVOKABLE void listProviderModels(const QStringList& ids);
    int providerProbeCount() const;
    Q_INVOKABLE QString lastProviderAuthorization() const;

    // The model download: the ollama stand-in prints `output` and waits until
    // finishPull, then exits with `exitStatus`.
    Q_INVOKABLE void prepareHeldPull(const QString& output, int exitStatus);
    Q_INVOKABLE void finishPull();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FakeOpenAIServer> m_provider;
    std::unique_ptr<FullDisk> m_fullDisk;
    QString m_gate;
};
