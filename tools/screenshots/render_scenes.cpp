// Renders screenshot scenes: every *.qml of a folder (or the ones named) to a
// PNG of the same name. Each scene is a root Item that puts a fresh controller
// into the state it shows (through ChatViewModel and TestHarness). Animations
// run on a clock advanced by hand, so the same scene gives the same picture:
// the renderer waits until the scene's `ready` is true (network replies from
// the fake servers come in real time), then moves the clock on by the scene's
// `settleTime` (milliseconds, default 1500) and grabs the window.
//
// Usage: render_scenes [--size WxH] SCENE_DIR OUT_DIR [SCENE_NAME...]
// --size renders every scene at that size instead of its own; a scale factor
// comes from the environment (QT_SCALE_FACTOR), as for the application.

#include "scene_harness.h"
#include "ui/backend/app_context.h"
#include "ui/qml_modules.h"

#include <QAnimationDriver>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>
#include <memory>

Q_IMPORT_QML_PLUGIN(Emberglass_TestHarnessPlugin)

namespace {

constexpr int frameMs = 16;
constexpr int defaultSettleMs = 1500;
constexpr int readyTimeoutMs = 30000; // generous: a busy machine is slow, not wrong

// The animation clock, moved on only when told.
class ManualAnimationDriver : public QAnimationDriver {
public:
    void advanceBy(qint64 milliseconds) {
        m_elapsed += milliseconds;
        if (isRunning()) {
            advance();
        }
    }
    qint64 elapsed() const override { return m_elapsed; }

protected:
    void start() override {
        m_elapsed = 0;
        QAnimationDriver::start();
    }

private:
    qint64 m_elapsed = 0;
};

// Turns the event loop (network replies of the fake servers arrive in real
// time) until the scene says it is ready, or gives up.
bool waitUntilReady(QObject* scene) {
    if (scene->property("ready").isNull()) {
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    const QDeadlineTimer deadline(readyTimeoutMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (scene->property("ready").toBool() || deadline.hasExpired()) {
            loop.quit();
        }
    });
    poll.start(10);
    loop.exec();
    return scene->property("ready").toBool();
}

void settle(ManualAnimationDriver& driver, QObject* scene) {
    const QVariant requested = scene->property("settleTime");
    const int total = requested.isValid() ? requested.toInt() : defaultSettleMs;
    for (int elapsed = 0; elapsed < total; elapsed += frameMs) {
        driver.advanceBy(frameMs);
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
}

bool renderScene(ManualAnimationDriver& driver, const QFileInfo& file, const QDir& out,
                 QSize forcedSize) {
    // A fresh controller and engine per scene: nothing carries over.
    SceneHarness harness;
    QQmlEngine engine;
    AppContext::prepareEngine(engine);
    // A scene that warns (a name it calls that is gone, a binding that throws) may
    // still become ready, and then shows something other than it says.
    int warnings = 0;
    QObject::connect(&engine, &QQmlEngine::warnings,
                     [&warnings](const QList<QQmlError>& list) { warnings += int(list.size()); });
    QQmlComponent component(&engine, QUrl::fromLocalFile(file.absoluteFilePath()));
    std::unique_ptr<QObject> object(component.create());
    auto* scene = qobject_cast<QQuickItem*>(object.get());
    if (scene == nullptr) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file.fileName()),
                     qPrintable(component.errorString()));
        return false;
    }
    QQuickWindow window;
    window.setColor(Qt::white);
    if (forcedSize.isValid()) {
        scene->setSize(forcedSize);
    }
    const QSize size(scene->width() > 0 ? int(scene->width()) : 940,
                     scene->height() > 0 ? int(scene->height()) : 680);
    window.resize(size);
    scene->setParentItem(window.contentItem());
    window.show();

    if (!waitUntilReady(scene)) {
        std::fprintf(stderr, "%s: never became ready\n", qPrintable(file.fileName()));
        return false;
    }
    settle(driver, scene);
    if (warnings > 0) {
        std::fprintf(stderr, "%s: %d QML warnings\n", qPrintable(file.fileName()), warnings);
        return false;
    }
    const QImage image = window.grabWindow();
    const QString target = out.filePath(file.completeBaseName() + QStringLiteral(".png"));
    if (image.isNull() || !image.save(target)) {
        std::fprintf(stderr, "%s: could not save %s\n", qPrintable(file.fileName()),
                     qPrintable(target));
        return false;
    }
    std::printf("%s\n", qPrintable(target));
    object.reset();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    qputenv("QSG_RENDER_LOOP", "basic");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("scenes"), QStringLiteral("Folder of scene files"));
    parser.addPositionalArgument(QStringLiteral("out"), QStringLiteral("Folder for the PNG files"));
    parser.addPositionalArgument(QStringLiteral("names"), QStringLiteral("Scenes to render"),
                                 QStringLiteral("[name...]"));
    const QCommandLineOption sizeOption(
        QStringLiteral("size"), QStringLiteral("Render every scene at WxH"), QStringLiteral("WxH"));
    parser.addOption(sizeOption);
    parser.addHelpOption();
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() < 2) {
        parser.showHelp(2);
    }

    const QDir scenes(arguments.at(0));
    QDir out(arguments.at(1));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    const QStringList only = arguments.mid(2);
    QSize forcedSize;
    if (parser.isSet(sizeOption)) {
        const QStringList parts = parser.value(sizeOption).split(QLatin1Char('x'));
        forcedSize = parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
        if (forcedSize.isEmpty()) {
            std::fprintf(stderr, "--size wants WxH, for example 1920x1080\n");
            return 2;
        }
    }

    ManualAnimationDriver driver;
    driver.install();

    int failures = 0;
    const QFileInfoList files =
        scenes.entryInfoList({QStringLiteral("*.qml")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (!only.isEmpty() && !only.contains(file.completeBaseName())) {
            continue;
        }
        failures += renderScene(driver, file, out, forcedSize) ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
