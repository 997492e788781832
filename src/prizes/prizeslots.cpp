// The prize-computation slots: thin glue between the widgets and the plain
// functions of totals.h, distribution.h and prizefigures.h.
#include "app/mainwindow.h"

#include "app/messagebox.h"
#include "form/mainwindowform.h"
#include "prizes/distribution.h"
#include "prizes/prizefigures.h"
#include "prizes/prizerows.h"
#include "prizes/prizetrace.h"
#include "prizes/totals.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

void MainWindow::on_unEuro_clicked(bool)
{
    form->unEuro->setChecked(true);
    form->cinqEuro->setChecked(false);
}

void MainWindow::on_cinqEuro_clicked(bool)
{
    form->unEuro->setChecked(false);
    form->cinqEuro->setChecked(true);
}

void MainWindow::on_radioFixe_clicked(bool)
{
    form->radioPourcent->setChecked(false);
    prizes::setPrizeUnit(*form, true);
}

void MainWindow::on_radioPourcent_clicked(bool)
{
    form->radioFixe->setChecked(false);
    prizes::setPrizeUnit(*form, false);
}

void MainWindow::on_nbPrix_valueChanged(int count)
{
    prizes::setPrizeUnit(*form, form->radioFixe->isChecked());
    prizes::showPrizeRows(*form, count);
}

void MainWindow::on_nbMises_valueChanged(int)
{
    refreshTotals();
}

void MainWindow::on_nbNoirsPayes_valueChanged(int)
{
    refreshTotals();
}

void MainWindow::refreshTotals()
{
    const prizes::Totals totals = prizes::computeTotals(
        form->nbMises->value(), form->nbNoirsPayes->value(), form->tarifMise->value(),
        form->tarifNoir->value(), form->pourcentFrais->value());
    const prizes::TotalsTexts texts = prizes::totalsTexts(totals);
    form->sommeEncaisse->setText(texts.receipts);
    form->montantFrais->setText(texts.costs);
    form->sommeNoirs->setText(texts.blacks);
    form->sommePrix->setText(texts.pool);
}

prizes::PrizeFigures MainWindow::prizeFigures(int pool) const
{
    prizes::PrizeFigures figures;
    figures.pool = pool;
    figures.mode = form->radioPourcent->isChecked() ? prizes::PrizeMode::Percentage : prizes::PrizeMode::Fixed;
    // value(), not the text: where the locale writes other digits the text
    // would read as 0 prizes. Only the rows in use are read.
    const int inUse = qBound(0, form->nbPrix->value(), prizes::maxPrizes);
    const auto values = prizes::prizeValueBoxes(*form);
    for (int i = 0; i < inUse; ++i)
        figures.values.append(values[i]->value());
    figures.minimumGain = form->gainMini->value();
    figures.roundToFive = form->cinqEuro->isChecked();
    figures.category = form->comboBox->currentText();
    return figures;
}

// A second click (a late archer, a click meant for "Imprimer") must not
// wipe the winners' names typed since the first: Enter keeps them.
void MainWindow::on_commandLinkButton_clicked()
{
    if (listHoldsUnprintedTyping()
        && !confirmLoss(this, QStringLiteral("La liste des prix contient des modifications qui n'ont pas été imprimées."),
                        QStringLiteral("Si vous recalculez, ce que vous avez saisi dans la liste depuis le dernier "
                                       "calcul sera remplacé. Pour le garder, annulez, puis imprimez."),
                        QStringLiteral("Recalculer")))
        return;
    calculate();
}

void MainWindow::calculate()
{
    form->TextGain->clear();
    prizes::traceBets(form->nbMises->text());
    const prizes::PrizeFigures figures = prizeFigures(prizes::poolFromText(form->sommePrix->text()));
    prizes::tracePool(form->sommePrix->text(), float(figures.pool));

    const prizes::Distribution distribution = prizes::distribute(figures);
    const QString list = prizes::prizeListHtml(distribution);
    prizes::traceDistribution(distribution, list);
    form->TextGain->appendHtml(list);
    // From here on, anything typed into the list shows as a modification.
    form->TextGain->document()->setModified(false);
    computed = computedList(figures, distribution);
}
