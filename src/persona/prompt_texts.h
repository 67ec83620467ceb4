#pragma once

#include <QString>

// Every fixed text of the persona store and the system prompt, kept together so
// that the wording the model is taught lives in one place.
namespace PromptTexts {

// Written to soul.md and MEMORY.md when they are missing.
QString defaultSoul();
QString defaultMemory();

// The display name when the soul names none.
QString defaultAgentName();

// Section headings of the system prompt; each is followed directly by its body.
QString personaSectionHeading();
QString longTermMemorySectionHeading();
QString recentMemorySectionHeading();

// Between the sections of the system prompt.
QString sectionSeparator();

// One file of the recent-memory block: "### <file name>\n\n<content>".
QString recentMemoryPiece(const QString& fileName, const QString& content);
// Between the pieces of the recent-memory block.
QString recentMemoryPieceSeparator();

// The memory-system section with the store's paths (no trailing separator) and
// today's date ("yyyy-MM-dd") filled in.
QString memoryInstructions(const QString& soulPath, const QString& memoryPath,
                           const QString& memoryDirectory, const QString& today);

QString toolGuide();

// The first lines of a new daily log, and one entry of it.
QString dailyLogHeader(const QString& date);
QString dailyLogEntry(const QString& time, const QString& text);

// Ends a soul or memory cut to fit the prompt, naming its file ("soul.md").
QString promptCutNotice(const QString& fileName);

// The marker file's text: its folder was made private once.
QString privateMarkerText();

} // namespace PromptTexts
