#include "app/mainwindow.h"
#include "app/screenfit.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    fitWindowToScreen(argc, argv);
#endif
    QApplication app(argc, argv);
#ifndef Q_OS_WIN
    // Windows takes the program file's icon; elsewhere give the same picture.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvan.ico")));
#endif
    MainWindow window;
    window.show();
    return app.exec();
}
