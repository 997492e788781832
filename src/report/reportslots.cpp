#include "app/mainwindow.h"

#include "form/mainwindowform.h"
#include "prizes/listcheck.h"
#include "report/printing.h"
#include "report/sheet.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

// A sheet must never put a sum above a list that shares out another: when
// the list is not what "Calculer" makes from the figures shown, ask first.
void MainWindow::on_commandLinkButton_3_clicked()
{
    const bool typed = form->TextGain->document()->isModified();
    const QString mismatch = prizes::listMismatch(listComputedFor, prizeFigures(), typed);
    if (mismatch.isEmpty()) {
        printSheetFile(!typed);
        return;
    }
    QMessageBox box(this);
    box.setIcon(QMessageBox::Warning);
    box.setText(QStringLiteral("La liste des prix ne correspond plus au bilan."));
    box.setInformativeText(mismatch);
    QPushButton *recalculate = box.addButton(QStringLiteral("Recalculer et imprimer"), QMessageBox::AcceptRole);
    QPushButton *asItStands = box.addButton(QStringLiteral("Imprimer tel quel"), QMessageBox::AcceptRole);
    box.setEscapeButton(box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole));
    box.setDefaultButton(recalculate);
    box.exec();
    if (box.clickedButton() == recalculate) {
        on_commandLinkButton_clicked();
        printSheetFile(true);
    } else if (box.clickedButton() == asItStands) {
        printSheetFile(false);
    }
}

void MainWindow::printSheetFile(bool listAsComputed)
{
    Q_UNUSED(listAsComputed)
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
