#pragma once

#include "core/cloud_config.h"
#include "core/user_defaults.h"

#include <QMap>

// The stored cloud settings: one entry per provider ever saved, plus the
// provider last saved. Anything missing or undecodable falls back to Grok.
namespace ProviderSettings {

// The configuration the application starts with.
CloudConfig loadActive(const UserDefaults& defaults);

// Every stored configuration by provider; the Grok default when nothing decodes.
QMap<CloudProviderPreset, CloudConfig> loadSavedConfigs(const UserDefaults& defaults);

// Stores `config` under its provider and makes that provider the active one.
// On failure the system's reason, and the active provider is left as it was.
WriteResult save(UserDefaults& defaults, const CloudConfig& config);

} // namespace ProviderSettings
