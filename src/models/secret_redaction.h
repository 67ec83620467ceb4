#pragma once

#include "models/model_error.h"

// An error whose text no longer contains `secret`: a provider may echo the
// API key back in its error body, and error texts end up on screen.
ModelError withoutSecret(ModelError error, const QString& secret);

// `text` with every occurrence of `secret` masked. Very short secrets are
// left alone: masking them would garble ordinary words.
QString redactSecret(QString text, const QString& secret);
