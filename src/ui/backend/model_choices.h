#pragma once

#include "core/ai_backend.h"
#include "core/cloud_config.h"

#include <QObject>
#include <QQmlEngine>
#include <QStringList>

// The backends and cloud providers the model settings offer, as the text values
// the controller takes, in their declaration order.
class ModelChoices : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QStringList backends READ backends CONSTANT)
    Q_PROPERTY(QStringList providers READ providers CONSTANT)
    Q_PROPERTY(QString cloud READ cloud CONSTANT)
    Q_PROPERTY(QString local READ local CONSTANT)

public:
    using QObject::QObject;

    static QStringList backends() { return {cloud(), local()}; }
    static QString cloud() { return toText(AIBackend::cloud); }
    static QString local() { return toText(AIBackend::local); }
    static QStringList providers() {
        QStringList names;
        for (const CloudProviderPreset provider : allCloudProviders()) {
            names.append(toText(provider));
        }
        return names;
    }
};
