#include <benchmark/benchmark.h>

#include <QApplication>

namespace {

// The offscreen platform warns about window features it lacks; nothing else is dropped.
QtMessageHandler g_previous = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (g_previous) {
        g_previous(type, context, text);
    }
}

} // namespace

// The widget benchmarks draw real views, so they need an application; the
// offscreen platform keeps them independent of a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    g_previous = qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
