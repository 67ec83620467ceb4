#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// The supported cloud providers, in display order.
namespace CloudProviderPresetType {
Q_NAMESPACE
enum class Value { grok, doubao, chatgpt, gemini, deepseek };
Q_ENUM_NS(Value)
} // namespace CloudProviderPresetType
using CloudProviderPreset = CloudProviderPresetType::Value;

const QList<CloudProviderPreset>& allCloudProviders();
QString toText(CloudProviderPreset provider); // display name and stored value
std::optional<CloudProviderPreset> cloudProviderFromText(const QString& text);
QString defaultBaseURL(CloudProviderPreset provider);
QString defaultModel(CloudProviderPreset provider);

// The settings of one provider. Exposed to QML as a value type: `preset` is
// the provider, `provider` its display name.
struct CloudConfig {
    Q_GADGET
    Q_PROPERTY(CloudProviderPresetType::Value preset READ preset)
    Q_PROPERTY(QString provider READ providerText)
    Q_PROPERTY(QString apiKey MEMBER apiKey)
    Q_PROPERTY(QString baseURL MEMBER baseURL)
    Q_PROPERTY(QString model MEMBER model)

public:
    CloudProviderPreset provider = CloudProviderPreset::grok;
    QString apiKey;
    QString baseURL;
    QString model;

    CloudProviderPreset preset() const { return provider; }
    QString providerText() const { return toText(provider); }
    bool operator==(const CloudConfig&) const = default;
};

CloudConfig defaultConfig(CloudProviderPreset provider);

// {"provider", "apiKey", "baseURL", "model"}, all strings.
QJsonObject toJson(const CloudConfig& config);
// Fails on a missing key, a non-string value or an unknown provider.
std::optional<CloudConfig> cloudConfigFromJson(const QJsonObject& object);
