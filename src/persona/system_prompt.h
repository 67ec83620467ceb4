#pragma once

#include <QDate>
#include <QString>

// The recent-memory block: for today and the days before it (days in all), every
// memory file whose name begins with that day's "yyyy-MM-dd", trimmed, under a
// heading with its file name. Read from disk on every call; empty files add nothing.
QString recentMemoriesBlock(const QString& memoryDirectory, const QDate& today, int days);

// How much of the soul, and of the long-term memory, goes into the prompt: the
// UTF-8 bytes, cut at a character boundary and followed by a note that says so.
constexpr qsizetype kPromptFileLimit = 256 * 1024;
bool exceedsPromptLimit(const QString& text);

// Joins the present sections: persona (unless the soul is blank), long-term
// memory (unless blank or the untouched placeholder), recent memories (unless
// empty), then the memory instructions and the tool guide, which are always there.
QString assembleSystemPrompt(const QString& soul, const QString& memory,
                             const QString& recentMemories, const QString& memoryInstructions);
