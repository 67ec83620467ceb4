#pragma once

#include <QString>

// What a reader hands the model: its text whole, or, when that is more than
// 100,000 bytes of UTF-8, the first 100,000 characters (none split) and a note
// of the whole size. The answer is re-sent with every later message, so an
// unbounded one would make the conversation too large for any provider.
QString boundedReaderText(const QString& text);
