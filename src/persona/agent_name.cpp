#include "persona/agent_name.h"

#include "persona/line_text.h"
#include "persona/prompt_texts.h"

namespace {

QString nameFromHeading(const QString& line) {
    if (!line.startsWith(QStringLiteral("# "))) {
        return {};
    }
    return trimSpacesAndTabs(QStringView(line).sliced(2));
}

QString nameFromField(const QString& line) {
    const QString lower = line.toLower();
    if (!lower.startsWith(QStringLiteral("- name:")) &&
        !lower.startsWith(QStringLiteral("name:"))) {
        return {};
    }
    return trimSpacesAndTabs(QStringView(line).sliced(line.indexOf(QLatin1Char(':')) + 1));
}

} // namespace

QString agentNameFromSoul(const QString& soul) {
    for (const QString& rawLine : splitAtLineBreaks(soul)) {
        const QString line = trimSpacesAndTabs(rawLine);
        QString name = nameFromHeading(line);
        if (name.isEmpty()) {
            name = nameFromField(line);
        }
        if (!name.isEmpty()) {
            return name;
        }
    }
    return PromptTexts::defaultAgentName();
}
