#pragma once

#include "models/model_error.h"

#include <optional>

// A provider's refusal of a request that does not fit the model's context.
struct ContextOverflow {
    // The share of the request the model would have taken (its limit over what
    // was asked), when the refusal names both counts.
    std::optional<double> fittingShare;
};

// The refusal read as a context overflow, in each provider's own words:
// OpenAI's "context_length_exceeded" and DeepSeek's "maximum context length is
// N tokens. However, you requested M tokens", Gemini's "input token count (M)
// exceeds the maximum number of tokens allowed (N)", xAI's "maximum prompt
// length is N but the request contains M tokens" and Ollama's "input length
// exceeds the context length". Nothing for any other error.
std::optional<ContextOverflow> contextOverflow(const ModelError& error);
