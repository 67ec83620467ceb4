#pragma once

#include <QList>
#include <QObject>
#include <QQmlEngine>
#include <QString>
#include <QUrl>

// Files given to the input field (dropped on the window, or chosen with the
// paper clip), as the user would type them for the agent.
namespace InputPaths {

// Each file's path, "~/…" under `home`, in double quotes when it holds white
// space or a quote (quotes and backslashes in it escaped), joined by spaces. A
// link to anything but a local file stays as its address.
QString text(const QList<QUrl>& urls, const QString& home);

} // namespace InputPaths

// `InputPaths.text(urls)` in QML, against the user's home folder.
class InputPathsForQml : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(InputPaths)
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QString text(const QList<QUrl>& urls) const;
};
