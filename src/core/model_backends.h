#pragma once

#include "core/ai_backend.h"
#include "core/cloud_config.h"
#include "storage/write_result.h"

#include <QCoroTask>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class AIServiceProtocol;
class CloudAPIService;
class LocalLLMService;
class LocalModelSetup;
class UserDefaults;

// The two model clients and which one answers: the cloud provider's settings
// (saved on every change, so the client always holds what is typed), whether
// the active client answered its last probe, the models the provider lists,
// and the local model's load and download.
class ModelBackends : public QObject {
    Q_OBJECT
    Q_PROPERTY(AIBackendType::Value activeBackend READ activeBackend NOTIFY activeBackendChanged)
    Q_PROPERTY(bool serviceAvailable READ serviceAvailable NOTIFY serviceAvailableChanged)
    Q_PROPERTY(bool serviceChecked READ serviceChecked NOTIFY serviceCheckedChanged)
    Q_PROPERTY(
        CloudConfig cloudConfig READ cloudConfig WRITE setCloudConfig NOTIFY cloudConfigChanged)
    Q_PROPERTY(QStringList servedModels READ servedModels NOTIFY servedModelsChanged)
    Q_PROPERTY(bool modelNotOffered READ modelNotOffered NOTIFY modelNotOfferedChanged)

public:
    // `ollamaBase` empty: the local Ollama server.
    ModelBackends(std::shared_ptr<UserDefaults> defaults, const QString& ollamaBase,
                  QObject* parent = nullptr);
    ~ModelBackends() override;

    AIBackend activeBackend() const { return m_activeBackend; }
    AIServiceProtocol* currentService() const;
    // Who answers now and with which model: "DeepSeek" and "deepseek-flash",
    // or "Ollama" and the local model.
    QString currentProviderName() const;
    QString currentModelName() const;
    CloudAPIService* cloudService() const { return m_cloudService; }
    LocalModelSetup* localModelSetup() const { return m_localSetup; }

    bool serviceAvailable() const { return m_serviceAvailable; }
    // True once an availability check has answered: until then serviceAvailable
    // is only the hopeful start value, not a result to show as "Connected".
    bool serviceChecked() const { return m_serviceChecked; }
    // The models the cloud provider listed at the last probe, as choices for
    // the model field; empty when it listed none.
    QStringList servedModels() const { return m_servedModels; }
    // The provider listed its models and the configured one is not among them.
    bool modelNotOffered() const { return m_modelNotOffered; }

    CloudConfig cloudConfig() const { return m_cloudConfig; }
    // Changes the controller's copy only: saveCloudConfig hands it on.
    void setCloudConfig(const CloudConfig& config);
    Q_INVOKABLE void switchBackend(AIBackend backend);
    Q_INVOKABLE void switchProvider(CloudProviderPreset provider);
    Q_INVOKABLE void saveCloudConfig();
    // Uses a configuration for this run only: the client gets it, the store does not.
    void useCloudConfigWithoutSaving(const CloudConfig& config);
    QMap<CloudProviderPreset, CloudConfig> savedCloudConfigs() const;
    // One field of the configuration, saved at once.
    Q_INVOKABLE void setCloudApiKey(const QString& key);
    Q_INVOKABLE void setCloudModel(const QString& model);
    Q_INVOKABLE void setCloudBaseURL(const QString& baseURL);

    QCoro::Task<> checkServiceAvailability();
    Q_INVOKABLE void testConnection();      // checkServiceAvailability as a task of its own
    Q_INVOKABLE void refreshServedModels(); // probes the provider again

Q_SIGNALS:
    void activeBackendChanged();
    void serviceAvailableChanged();
    void serviceCheckedChanged();
    void cloudConfigChanged();
    void servedModelsChanged();
    void modelNotOfferedChanged();
    // After every write of the cloud settings, with how it went.
    void settingsSaved(const WriteResult& result);

private:
    void setServiceAvailable(bool available);
    void setActiveBackend(AIBackend backend);
    void setServedModels(const QStringList& models);
    void updateModelOffer();
    // A probe's answer no longer applies: the next one decides.
    void dropPendingProbes();
    void applyCloudConfigToClient();
    QCoro::Task<> loadLocalModel();
    void startAvailabilityCheck();

    std::shared_ptr<UserDefaults> m_defaults;
    LocalLLMService* m_localService = nullptr;
    CloudAPIService* m_cloudService = nullptr;
    LocalModelSetup* m_localSetup = nullptr;

    AIBackend m_activeBackend = AIBackend::cloud;
    CloudConfig m_cloudConfig;
    bool m_serviceAvailable = true;
    bool m_serviceChecked = false;
    QStringList m_servedModels;
    bool m_modelNotOffered = false;
    quint64 m_probeRequest = 0; // the number of the latest availability probe
};
