// Proves the leak check both ways: a window drawn with text under the event loop leaves nothing
// the suppressions do not cover, and one object we forget to free is reported.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstring>

namespace {

// Kept out of line so its name is on the leak's stack.
__attribute__((noinline)) void leakUnderEventLoop()
{
    static volatile int *sink;
    sink = new int[4]{1, 2, 3, 4};
    sink = nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    const bool leak = argc > 1 && std::strcmp(argv[1], "--leak") == 0;
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Probe 探针"));
    label.show();
    QTimer::singleShot(50, [&] {
        if (leak)
            leakUnderEventLoop();
        label.grab();
        app.quit();
    });
    return app.exec();
}
