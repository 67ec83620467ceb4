#include "core/provider_settings.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <optional>

namespace {

// The stored array, or nothing when it is missing or any element fails to decode.
std::optional<QList<CloudConfig>> storedConfigs(const UserDefaults& defaults) {
    const QVariant data = defaults.value(UserDefaults::cloudConfigsKey);
    if (!data.isValid()) {
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    QList<CloudConfig> configs;
    for (const QJsonValue& element : document.array()) {
        const std::optional<CloudConfig> config =
            element.isObject() ? cloudConfigFromJson(element.toObject()) : std::nullopt;
        if (!config) {
            return std::nullopt;
        }
        configs << *config;
    }
    return configs;
}

} // namespace

namespace ProviderSettings {

CloudConfig loadActive(const UserDefaults& defaults) {
    const std::optional<QList<CloudConfig>> configs = storedConfigs(defaults);
    if (!configs) {
        return defaultConfig(CloudProviderPreset::grok);
    }
    const QVariant active = defaults.value(UserDefaults::activeProviderKey);
    const std::optional<CloudProviderPreset> provider =
        active.isValid() ? cloudProviderFromText(active.toString()) : std::nullopt;
    if (!provider) {
        return defaultConfig(CloudProviderPreset::grok);
    }
    for (const CloudConfig& config : *configs) {
        if (config.provider == *provider) {
            return config;
        }
    }
    // A stored provider without an entry of its own starts from Grok, not from its own default.
    return defaultConfig(CloudProviderPreset::grok);
}

QMap<CloudProviderPreset, CloudConfig> loadSavedConfigs(const UserDefaults& defaults) {
    QMap<CloudProviderPreset, CloudConfig> map;
    const std::optional<QList<CloudConfig>> configs = storedConfigs(defaults);
    if (!configs) {
        map.insert(CloudProviderPreset::grok, defaultConfig(CloudProviderPreset::grok));
        return map;
    }
    for (const CloudConfig& config : *configs) {
        map.insert(config.provider, config); // a later duplicate replaces an earlier one
    }
    return map;
}

WriteResult save(UserDefaults& defaults, const CloudConfig& config) {
    defaults.refresh(); // the entries another instance of the app saved stay
    QMap<CloudProviderPreset, CloudConfig> map = loadSavedConfigs(defaults);
    map.insert(config.provider, config);
    QJsonArray array;
    for (const CloudConfig& entry : map) {
        array.append(toJson(entry));
    }
    const WriteResult configs = defaults.setValue(
        UserDefaults::cloudConfigsKey, QJsonDocument(array).toJson(QJsonDocument::Compact));
    // The active provider changes only once its settings are stored.
    if (!configs.ok()) {
        return configs;
    }
    return defaults.setValue(UserDefaults::activeProviderKey, toText(config.provider));
}

} // namespace ProviderSettings
