#include "persona/system_prompt.h"

#include "persona/directory_listing.h"
#include "persona/prompt_texts.h"
#include "persona/text_files.h"

#include <QStringList>

#include <algorithm>

namespace {

QStringList piecesOfDay(const QString& memoryDirectory, const QStringList& names,
                        const QString& day) {
    QStringList matching;
    for (const QString& name : names) {
        if (isMarkdownName(name) && withoutExtension(name).startsWith(day)) {
            matching.append(name);
        }
    }
    // The listing's order is arbitrary; sorting keeps the prompt stable between reads
    // and puts the daily log before the day's topic files.
    std::sort(matching.begin(), matching.end(), [](const QString& a, const QString& b) {
        return withoutExtension(a) < withoutExtension(b);
    });
    QStringList pieces;
    for (const QString& name : matching) {
        const std::optional<QString> content =
            readUtf8File(memoryDirectory + QLatin1Char('/') + name);
        const QString trimmed = content ? content->trimmed() : QString();
        if (!trimmed.isEmpty()) {
            pieces.append(PromptTexts::recentMemoryPiece(name, trimmed));
        }
    }
    return pieces;
}

QString cutForPrompt(const QString& text, const QString& fileName) {
    if (!exceedsPromptLimit(text)) {
        return text;
    }
    const QByteArray bytes = text.toUtf8();
    qsizetype end = kPromptFileLimit;
    while (end > 0 && (uchar(bytes[end]) & 0xC0) == 0x80) { // not inside a character
        --end;
    }
    return QString::fromUtf8(bytes.first(end)) + PromptTexts::promptCutNotice(fileName);
}

} // namespace

bool exceedsPromptLimit(const QString& text) {
    // Three bytes at most for each UTF-16 unit: most texts are decided without encoding.
    return text.size() * 3 > kPromptFileLimit && text.toUtf8().size() > kPromptFileLimit;
}

QString recentMemoriesBlock(const QString& memoryDirectory, const QDate& today, int days) {
    if (days <= 0) {
        return {};
    }
    const std::optional<QStringList> names = listEntryNames(memoryDirectory);
    if (!names) {
        return {};
    }
    QStringList pieces;
    for (int offset = 0; offset < days; ++offset) {
        const QDate day = today.addDays(-offset);
        if (day.isValid()) {
            pieces +=
                piecesOfDay(memoryDirectory, *names, day.toString(QStringLiteral("yyyy-MM-dd")));
        }
    }
    return pieces.join(PromptTexts::recentMemoryPieceSeparator());
}

QString assembleSystemPrompt(const QString& soul, const QString& memory,
                             const QString& recentMemories, const QString& memoryInstructions) {
    QStringList sections;
    const QString trimmedSoul = soul.trimmed();
    if (!trimmedSoul.isEmpty()) {
        sections.append(PromptTexts::personaSectionHeading() +
                        cutForPrompt(trimmedSoul, QStringLiteral("soul.md")));
    }
    const QString trimmedMemory = memory.trimmed();
    if (!trimmedMemory.isEmpty() && trimmedMemory != PromptTexts::defaultMemory().trimmed()) {
        sections.append(PromptTexts::longTermMemorySectionHeading() +
                        cutForPrompt(trimmedMemory, QStringLiteral("MEMORY.md")));
    }
    if (!recentMemories.isEmpty()) {
        sections.append(PromptTexts::recentMemorySectionHeading() + recentMemories);
    }
    sections.append(memoryInstructions);
    sections.append(PromptTexts::toolGuide());
    return sections.join(PromptTexts::sectionSeparator());
}
