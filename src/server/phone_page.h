#pragma once

#include <QByteArray>

// The phone chat page: one self-contained HTML document in UTF-8, compiled
// into the program as a resource.
const QByteArray& phonePage();
