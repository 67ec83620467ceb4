#pragma once

#include "core/chat_view_model.h"
#include "core/local_model_setup.h"
#include "scene_harness.h"
#include "support/fake_http_server.h"
#include "support/full_disk.h"
#include "support/json_rows.h"
#include "support/qr_reader.h"
#include "support/test_files.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QMimeData>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtQml/qqmlregistration.h>

#include <memory>

// What the view tests need beside TestHarness: reading files back, a full disk,
// a provider that lists models, and a download that
// cannot start.
class ViewTestSupport : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString providerBaseUrl READ providerBaseUrl CONSTANT)

public:
    // A file's text; undefined when it cannot be read.
    Q_INVOKABLE QVariant readFile(const QString& path) const {
        const QByteArray bytes = readBytes(path);
        return bytes.isNull() ? QVariant() : QVariant(QString::fromUtf8(bytes));
    }

    // Writes the text as Latin-1 bytes, as a program other than the app would
    // (ASCII is the same in UTF-8; "é" is then a byte that is not UTF-8).
    Q_INVOKABLE bool writeLatin1(const QString& path, const QString& text) const {
        return writeBytes(path, text.toLatin1());
    }

    // What the last copy put on the clipboard.
    Q_INVOKABLE QString clipboardText() const { return QGuiApplication::clipboard()->text(); }

    // A table of view test rows from tests/data/ui/views.json.
    Q_INVOKABLE QJsonValue rows(const QString& table) const {
        return jsonTable(QStringLiteral("ui/views.json"), table);
    }

    // While full, every write of this process that would grow a file fails.
    Q_INVOKABLE void setDiskFull(bool full) {
        m_fullDisk.reset(); // room again
        if (full) {
            m_fullDisk = std::make_unique<FullDisk>(DiskFault::sizeLimit, m_dir.path());
            m_fullDisk->engage();
        }
    }

    // Our own provider: its model list holds `ids`.
    QString providerBaseUrl() const { return m_provider.baseUrl(); }
    Q_INVOKABLE void listProviderModels(const QStringList& ids) {
        QJsonArray data;
        for (const QString& id : ids) {
            data.append(QJsonObject{{QStringLiteral("id"), id}});
        }
        m_provider.setStandingResponse("GET", QStringLiteral("/v1/models"),
                                       FakeResponse::json(200, {{QStringLiteral("data"), data}}));
    }

    // Drops `urls` at (x, y) of `item` as a file manager does: the drag
    // enters, moves and drops. Whether the window took the drop.
    Q_INVOKABLE bool dropFiles(QQuickItem* item, qreal x, qreal y, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPointF at = item->mapToScene(QPointF(x, y));
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(item->window(), &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(item->window(), &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(item->window(), &drop);
        return drop.isAccepted();
    }

    // A picture's QR code as a phone reads it (zbarimg), and where to save one.
    Q_INVOKABLE QString readQrCode(const QString& path) const { return ::readQrCode(path); }
    Q_INVOKABLE QString scratchFile(const QString& name) const { return m_dir.filePath(name); }

    // The model download looks for an ollama program that is not there.
    Q_INVOKABLE void hideOllama() {
        SceneHarness::instance()->viewModel()->localModelSetup()->setExecutableCandidates(
            {m_dir.filePath(QStringLiteral("no-ollama"))}, false);
    }

private:
    QTemporaryDir m_dir;
    FakeOpenAIServer m_provider;
    std::unique_ptr<FullDisk> m_fullDisk;
};
