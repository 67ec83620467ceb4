#pragma once

#include "models/http_exchange.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// How a request with tools reaches a model: on chat completions, carrying the
// members the model refuses tools without, or through the Responses API.
struct ModelRoute {
    enum class Api { chatCompletions, responses };
    Api api = Api::chatCompletions;
    QJsonObject members = {}; // added to a chat-completions request with tools

    bool operator==(const ModelRoute&) const = default;
};

// What OpenAI documents for a model id (its dated snapshots included): the
// GPT-5.6 and GPT-6 models that take tools on chat completions only with
// "reasoning_effort": "none" get it from the first request; those that take
// tools only through /v1/responses go there. Any other id: chat completions as is.
ModelRoute documentedRoute(const QString& model);

// True when a refusal tells the caller to use /v1/responses.
bool namesResponsesApi(const HttpAnswer& answer);

// Where a request refused with `answer` on `sent` goes next: the same API with
// the members the refusal asks for, else the Responses API when any refusal of
// this request named it (`responsesNamed`); nothing when neither helps.
std::optional<ModelRoute> routeAfterRefusal(const HttpAnswer& answer, const ModelRoute& sent,
                                            bool responsesNamed);
