#include "app/mainwindow.h"

#include "form/mainwindowform.h"
#include "report/printing.h"
#include "report/sheet.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

void MainWindow::on_commandLinkButton_3_clicked()
{
    SheetContent content;
    content.crestPath = form->blasonPrint->text();
    content.category = form->comboBox->currentText();
    content.poolText = form->sommePrix->text();
    content.bets = form->nbMises->value();
    content.blacksPaid = form->nbNoirsPayes->value();
    content.prizeListHtml = form->TextGain->document()->toHtml();
    const QString fileName = sheetFileName(content.category);

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool printed = printSheet(*form->TextGain->document(), sheetHtml(content), fileName, &error);
    QGuiApplication::restoreOverrideCursor();

    const QString where = QDir::current().absoluteFilePath(fileName);
    if (!printed) {
        // Opening whatever old file is there would pass a stale sheet off as today's.
        warn(QStringLiteral("Erreur lors de la création du fichier PDF !"), where + QLatin1Char('\n') + error);
        return;
    }
    if (!openSheet(fileName, &error))
        warn(QStringLiteral("Le fichier PDF a été créé mais n'a pas pu être ouvert."),
             where + QLatin1Char('\n') + error);
}

void MainWindow::on_pushButton_clicked()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Blason à utiliser"), form->blasonPrint->text(),
                                                      QStringLiteral("*.png *.jpg *.gif *.jpeg *.bmp"));
    if (!path.isEmpty())
        form->blasonPrint->setText(path);
}
