#include "app/mainwindow.h"

#include "form/mainwindowform.h"

int MainWindow::roundAmount(float amount) const
{
    return int(amount);
}

void MainWindow::on_nbPrix_valueChanged(int) {}
void MainWindow::on_radioPourcent_clicked(bool) {}
void MainWindow::on_radioFixe_clicked(bool) {}
void MainWindow::on_nbMises_valueChanged(int) {}
void MainWindow::on_nbNoirsPayes_valueChanged(int) {}
void MainWindow::on_commandLinkButton_clicked() {}
void MainWindow::on_unEuro_clicked(bool) {}
void MainWindow::on_cinqEuro_clicked(bool) {}
void MainWindow::refreshTotals() {}
