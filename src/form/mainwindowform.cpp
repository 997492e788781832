#include "form/mainwindowform.h"

#include <QMainWindow>
#include <QMetaObject>
#include <QWidget>

void MainWindowForm::setupForm(QMainWindow *window)
{
    centralWidget = new QWidget(window);
    window->setCentralWidget(centralWidget);
    applyTexts(window);
    QMetaObject::connectSlotsByName(window);
}

void MainWindowForm::applyTexts(QMainWindow *) {}
