#pragma once

#include <QString>

// A leading "~" becomes the user's home directory, "~name" that user's home
// directory; anything else (and an unknown user) is returned unchanged.
QString expandTilde(const QString& path);
