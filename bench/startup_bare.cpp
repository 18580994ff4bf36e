// The reference for start-up: a bare QMainWindow shown in a QApplication.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    return app.exec();
}
