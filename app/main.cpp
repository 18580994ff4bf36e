#include <QApplication>
#include <QMainWindow>

#include "resourceinit.h"

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    rivudoInitResources();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("DE_Rivudo"));
    window.showMaximized();
    return app.exec();
}
