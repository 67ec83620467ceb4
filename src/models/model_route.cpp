#include "models/model_route.h"

#include "models/cloud_protocol.h"

#include <QJsonDocument>

#include <algorithm>
#include <initializer_list>

namespace {

// The id or one of its dated snapshots ("gpt-6-luna-2026-09-22").
bool inFamily(const QString& model, QLatin1String family) {
    return model == family || (model.startsWith(family) && model.at(family.size()) == u'-');
}

bool inAnyFamily(const QString& model, std::initializer_list<QLatin1String> families) {
    return std::ranges::any_of(families,
                               [&model](QLatin1String family) { return inFamily(model, family); });
}

} // namespace

ModelRoute documentedRoute(const QString& model) {
    // Tools only through /v1/responses, and "none" is no accepted effort:
    // https://developers.openai.com/api/docs/guides/deployment-checklist,
    // https://github.com/genkit-ai/genkit/pull/6303,
    // https://github.com/UKGovernmentBEIS/inspect_ai/pull/5254.
    if (inAnyFamily(model, {QLatin1String("gpt-6-astra"), QLatin1String("gpt-6.1-sol")})) {
        return {ModelRoute::Api::responses};
    }
    // Tools on chat completions only with reasoning switched off:
    // https://docs.oxen.ai/inference-api/reference/models/gpt-6-luna.md,
    // https://github.com/ForestAdmin/agent-nodejs/pull/1882 (the GPT-5.6 three),
    // https://github.com/onyx-dot-app/onyx/issues/15008 (gpt-6-sol),
    // https://docs.laozhang.ai/en/announcements/gpt-6-chat-tools-2026-11 (gpt-6.1-terra).
    if (inAnyFamily(model, {QLatin1String("gpt-5.6-sol"), QLatin1String("gpt-5.6-luna"),
                            QLatin1String("gpt-5.6-terra"), QLatin1String("gpt-6-sol"),
                            QLatin1String("gpt-6-luna"), QLatin1String("gpt-6.1-terra")})) {
        return {ModelRoute::Api::chatCompletions,
                QJsonObject{{QLatin1String("reasoning_effort"), QLatin1String("none")}}};
    }
    return {};
}

bool namesResponsesApi(const HttpAnswer& answer) {
    if (answer.status != 400) {
        return false;
    }
    const QJsonValue message = QJsonDocument::fromJson(answer.body)
                                   .object()
                                   .value(QLatin1String("error"))
                                   .toObject()
                                   .value(QLatin1String("message"));
    return message.toString().contains(QLatin1String("v1/responses"));
}

std::optional<ModelRoute> routeAfterRefusal(const HttpAnswer& answer, const ModelRoute& sent,
                                            bool responsesNamed) {
    if (sent.api != ModelRoute::Api::chatCompletions || answer.status != 400) {
        return std::nullopt;
    }
    if (const std::optional<QJsonObject> asked = membersAskedFor(answer)) {
        QJsonObject members = sent.members;
        for (auto it = asked->begin(); it != asked->end(); ++it) {
            members.insert(it.key(), it.value());
        }
        if (members != sent.members) {
            return ModelRoute{ModelRoute::Api::chatCompletions, members};
        }
    }
    if (responsesNamed || namesResponsesApi(answer)) {
        return ModelRoute{ModelRoute::Api::responses};
    }
    return std::nullopt;
}
