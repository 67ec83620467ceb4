#include "core/served_models.h"

namespace {

QString withoutPrefix(const QString& id) {
    static const QString prefix = QStringLiteral("models/");
    return id.startsWith(prefix) ? id.mid(prefix.size()) : id;
}

} // namespace

namespace ServedModels {

QStringList choices(const QStringList& listedIds) {
    QStringList ids;
    for (const QString& id : listedIds) {
        ids << withoutPrefix(id);
    }
    ids.removeDuplicates();
    ids.sort(Qt::CaseInsensitive);
    return ids;
}

bool offers(const QStringList& choices, const QString& model) {
    return choices.contains(withoutPrefix(model));
}

} // namespace ServedModels
