#include "builtinpages.h"
#include "mainwindow.h"
#include "resourceinit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    rivudoInitResources();
    registerBuiltinPages();
    int result = 0;
    {
        MainWindow window;
        window.applyStoredLanguage();
        window.show();
        result = app.exec();
    }
    return result;
}
