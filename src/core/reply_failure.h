#pragma once

#include "models/model_error.h"

#include <QString>

#include <optional>

// What the user can do about a reply that failed, offered beside its error:
// try again (the network or the provider's server failed), or mend the model
// settings (the provider or the local model refused what was set). Kept with
// the message for the window; never sent to a model.
enum class ReplyFailure { retry, settings };

// None for a stop by the user: nothing went wrong.
std::optional<ReplyFailure> replyFailureFor(const ModelError& error);

// "retry" or "settings", as the views compare it.
QString toText(ReplyFailure failure);
