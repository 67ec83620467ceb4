#include "core/cloud_config.h"

namespace {

struct ProviderDefaults {
    CloudProviderPreset provider;
    const char* name;
    const char* baseURL;
    const char* model;
};

// Doubao's documented OpenAI-compatible base is /api/v3 on Volcano Engine's Ark
// endpoint; a "/v1" path there answers 404 to every request.
constexpr ProviderDefaults providerTable[] = {
    {CloudProviderPreset::grok, "Grok", "https://api.x.ai/v1", "grok-3-mini"},
    {CloudProviderPreset::doubao, "Doubao", "https://ark.cn-beijing.volces.com/api/v3",
     "doubao-pro-v1"},
    {CloudProviderPreset::chatgpt, "ChatGPT", "https://api.openai.com/v1", "gpt-4o-mini"},
    {CloudProviderPreset::gemini, "Gemini",
     "https://generativelanguage.googleapis.com/v1beta/openai", "gemini-2.0-flash"},
    {CloudProviderPreset::deepseek, "DeepSeek", "https://api.deepseek.com/v1", "deepseek-chat"},
};

const ProviderDefaults& defaultsOf(CloudProviderPreset provider) {
    for (const ProviderDefaults& entry : providerTable) {
        if (entry.provider == provider) {
            return entry;
        }
    }
    return providerTable[0];
}

} // namespace

const QList<CloudProviderPreset>& allCloudProviders() {
    static const QList<CloudProviderPreset> providers = [] {
        QList<CloudProviderPreset> list;
        for (const ProviderDefaults& entry : providerTable) {
            list << entry.provider;
        }
        return list;
    }();
    return providers;
}

QString toText(CloudProviderPreset provider) {
    return QString::fromLatin1(defaultsOf(provider).name);
}

std::optional<CloudProviderPreset> cloudProviderFromText(const QString& text) {
    for (const ProviderDefaults& entry : providerTable) {
        if (text == QLatin1String(entry.name)) {
            return entry.provider;
        }
    }
    return std::nullopt;
}

QString defaultBaseURL(CloudProviderPreset provider) {
    return QString::fromLatin1(defaultsOf(provider).baseURL);
}

QString defaultModel(CloudProviderPreset provider) {
    return QString::fromLatin1(defaultsOf(provider).model);
}

CloudConfig defaultConfig(CloudProviderPreset provider) {
    return {provider, QString(), defaultBaseURL(provider), defaultModel(provider)};
}

QJsonObject toJson(const CloudConfig& config) {
    return {{QStringLiteral("provider"), toText(config.provider)},
            {QStringLiteral("apiKey"), config.apiKey},
            {QStringLiteral("baseURL"), config.baseURL},
            {QStringLiteral("model"), config.model}};
}

std::optional<CloudConfig> cloudConfigFromJson(const QJsonObject& object) {
    const QJsonValue provider = object.value(QStringLiteral("provider"));
    const QJsonValue apiKey = object.value(QStringLiteral("apiKey"));
    const QJsonValue baseURL = object.value(QStringLiteral("baseURL"));
    const QJsonValue model = object.value(QStringLiteral("model"));
    if (!provider.isString() || !apiKey.isString() || !baseURL.isString() || !model.isString()) {
        return std::nullopt;
    }
    const std::optional<CloudProviderPreset> preset = cloudProviderFromText(provider.toString());
    if (!preset) {
        return std::nullopt;
    }
    return CloudConfig{*preset, apiKey.toString(), baseURL.toString(), model.toString()};
}
