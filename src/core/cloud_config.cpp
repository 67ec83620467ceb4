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
//
// Default models: each provider's cheap, fast chat model with tool calling, as
// its documentation named it on 2026-12-07. Providers retire models; a stored
// choice is never rewritten, and the model settings list what is served now.
// - Grok: grok-4.3 replaces the models retired on 2026-05-15
//   (https://docs.x.ai/docs/migration/may-15-retirement).
// - Doubao: Ark model ids carry their version: doubao-seed-2-0-lite-260215 is
//   Doubao-Seed-2.0 lite of 2026-02-15, the cheap tier of the Seed 2.0 family
//   (the id as Ark serves it, as listed in the chatgpt-on-wechat docs:
//   https://contextqmd.com/libraries/chatgpt-on-wechat/versions/2.0.9/pages/docs/en/models/doubao).
// - ChatGPT: gpt-6-luna, "for cost-sensitive, high-volume workloads" and the
//   named replacement of gpt-4o-mini (https://developers.openai.com/api/docs/models,
//   https://developers.openai.com/api/docs/deprecations).
// - Gemini: gemini-flash-latest, the alias Google keeps on its newest Flash
//   (https://ai.google.dev/gemini-api/docs/models).
// - DeepSeek: deepseek-flash; deepseek-chat was retired on 2026-07-24
//   (https://api-docs.deepseek.com/quick_start/pricing).
constexpr ProviderDefaults providerTable[] = {
    {CloudProviderPreset::grok, "Grok", "https://api.x.ai/v1", "grok-4.3"},
    {CloudProviderPreset::doubao, "Doubao", "https://ark.cn-beijing.volces.com/api/v3",
     "doubao-seed-2-0-lite-260215"},
    {CloudProviderPreset::chatgpt, "ChatGPT", "https://api.openai.com/v1", "gpt-6-luna"},
    {CloudProviderPreset::gemini, "Gemini",
     "https://generativelanguage.googleapis.com/v1beta/openai", "gemini-flash-latest"},
    {CloudProviderPreset::deepseek, "DeepSeek", "https://api.deepseek.com/v1", "deepseek-flash"},
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
