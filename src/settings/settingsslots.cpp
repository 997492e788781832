#include "app/mainwindow.h"

#include "form/mainwindowform.h"

void MainWindow::loadSettings() {}
void MainWindow::on_commandLinkButton_2_clicked() {}
