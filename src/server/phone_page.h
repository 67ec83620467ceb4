#pragma once

#include <QByteArray>

// The phone chat page: one self-contained HTML document in UTF-8, compiled
// into the program as a resource.
// `formatted`: the page draws replies from their Markdown.
const QByteArray& phonePage(bool formatted = false);
