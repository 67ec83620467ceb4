#pragma once

#include "core/ai_backend.h"
#include "core/cloud_config.h"

#include <QObject>
#include <QQmlEngine>
#include <QString>
#include <QVariantList>

// The backends and cloud providers the model settings offer, in their
// declaration order, and the labels they are shown with (their text values).
class ModelChoices : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QVariantList backends READ backends CONSTANT)
    Q_PROPERTY(QVariantList providers READ providers CONSTANT)

public:
    using QObject::QObject;

    static QVariantList backends() {
        return {QVariant::fromValue(AIBackend::cloud), QVariant::fromValue(AIBackend::local)};
    }
    static QVariantList providers() {
        QVariantList presets;
        for (const CloudProviderPreset provider : allCloudProviders()) {
            presets.append(QVariant::fromValue(provider));
        }
        return presets;
    }
    Q_INVOKABLE static QString backendLabel(AIBackend backend) { return toText(backend); }
    Q_INVOKABLE static QString providerLabel(CloudProviderPreset provider) {
        return toText(provider);
    }
};
