#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <memory>

class FakeOpenAIServer;
class FullDisk;

// What the view tests need beside TestHarness: reading files back, a full disk,
// a provider that lists models and counts its probes, and a download that
// cannot start.
class ViewTestSupport : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString providerBaseUrl READ providerBaseUrl CONSTANT)
    Q_PROPERTY(int providerProbeCount READ providerProbeCount)

public:
    explicit ViewTestSupport(QObject* parent = nullptr);
    ~ViewTestSupport() override;

    // A file's text; undefined when it cannot be read.
    Q_INVOKABLE QVariant readFile(const QString& path) const;
    // While full, every write of this process that would grow a file fails.
    Q_INVOKABLE void setDiskFull(bool full);

    // Our own provider: its model list holds `ids`.
    QString providerBaseUrl() const;
    Q_INVOKABLE void listProviderModels(const QStringList& ids);
    int providerProbeCount() const;

    // The model download looks for an ollama program that is not there.
    Q_INVOKABLE void hideOllama();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FakeOpenAIServer> m_provider;
    std::unique_ptr<FullDisk> m_fullDisk;
};
