#pragma once

#include <QCoreApplication>
#include <QString>

// What the persona store says when it refuses a save, marked for translation
// (context "PersonaTexts" in translations/emberglass.ts).
namespace PersonaTexts {

// Shown after "Could not save: ".
inline QString notUtf8OnDisk() {
    return QCoreApplication::translate("PersonaTexts",
                                       "the file on disk is not UTF-8 text, so its text could "
                                       "not be shown here; it was left as it is");
}

// Shown after "Could not save: ".
inline QString unreadableOnDisk() {
    return QCoreApplication::translate("PersonaTexts",
                                       "the file on disk cannot be read, so its text could not "
                                       "be shown here; it was left as it is");
}

} // namespace PersonaTexts
