#include "tools/readers/reader_output.h"

#include "text/user_characters.h"
#include "tools/readers/reader_texts.h"

namespace {

constexpr qsizetype textLimit = 100000;

} // namespace

QString boundedReaderText(const QString& text) {
    // Cheap bound first: UTF-8 never takes more than three bytes per UTF-16 unit.
    if (text.size() * 3 <= textLimit) {
        return text;
    }
    const qsizetype bytes = text.toUtf8().size();
    if (bytes <= textLimit) {
        return text;
    }
    return firstCharacters(text, textLimit) + ReaderTexts::textTruncated(bytes);
}
