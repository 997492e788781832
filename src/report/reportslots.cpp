#include "app/mainwindow.h"

#include "form/mainwindowform.h"

void MainWindow::on_commandLinkButton_3_clicked() {}
void MainWindow::on_pushButton_clicked() {}
