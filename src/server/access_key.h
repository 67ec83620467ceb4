#pragma once

#include <QString>

// The per-start secret that the shown address carries ("?key=..."). Anyone on
// the network can reach the port; only someone who saw the address has the key.
namespace access_key {

// 128 random bits from the system's generator, URL-safe base64 without padding.
QString make();

// True when the query ("key=...&...") holds exactly this key. Compares in
// constant time so the answer's timing tells nothing about the key.
bool queryCarries(const QString& query, const QString& key);

} // namespace access_key
