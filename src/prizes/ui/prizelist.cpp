#include "prizes/ui/prizelist.h"

#include "form/mainwindowform.h"
#include "form/messagebox.h"
#include "prizes/ui/prizerows.h"
#include "prizes/prizetrace.h"
#include "prizes/totals.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace prizes {

PrizeList::PrizeList(const MainWindowForm &form, QWidget *window) : QObject(window), form(form), window(window)
{
    // The totals follow the tariffs as they follow the counts, but only once
    // a count has first shown them: the fields open empty.
    const auto followTariffs = [this] {
        if (!this->form.sommePrix->text().isEmpty())
            refreshTotals();
    };
    connect(form.tarifMise, &QDoubleSpinBox::valueChanged, this, followTariffs);
    connect(form.tarifNoir, &QDoubleSpinBox::valueChanged, this, followTariffs);
    connect(form.pourcentFrais, &QSpinBox::valueChanged, this, followTariffs);
}

void PrizeList::refreshTotals()
{
    const Totals totals = computeTotals(form.nbMises->value(), form.nbNoirsPayes->value(), form.tarifMise->value(),
                                        form.tarifNoir->value(), form.pourcentFrais->value());
    const TotalsTexts texts = totalsTexts(totals);
    form.sommeEncaisse->setText(texts.receipts);
    form.montantFrais->setText(texts.costs);
    form.sommeNoirs->setText(texts.blacks);
    form.sommePrix->setText(texts.pool);
}

PrizeFigures PrizeList::figures(int pool) const
{
    PrizeFigures figures;
    figures.pool = pool;
    figures.mode = form.radioPourcent->isChecked() ? PrizeMode::Percentage : PrizeMode::Fixed;
    // value(), not the text: where the locale writes other digits the text
    // would read as 0 prizes. Only the rows in use are read.
    const int inUse = qBound(0, form.nbPrix->value(), maxPrizes);
    const auto values = prizeValueBoxes(form);
    for (int i = 0; i < inUse; ++i)
        figures.values.append(values[i]->value());
    figures.minimumGain = form.gainMini->value();
    figures.roundToFive = form.cinqEuro->isChecked();
    figures.category = form.comboBox->currentText();
    return figures;
}

// A second click (a late archer, a click meant for "Imprimer") must not
// wipe the winners' names typed since the first: Enter keeps them.
void PrizeList::calculateAsked()
{
    if (holdsUnprintedTyping()
        && !confirmLoss(window, QStringLiteral("La liste des prix contient des modifications qui n'ont pas été imprimées."),
                        QStringLiteral("Si vous recalculez, ce que vous avez saisi dans la liste depuis le dernier "
                                       "calcul sera remplacé. Pour le garder, annulez, puis imprimez."),
                        QStringLiteral("Recalculer")))
        return;
    calculate();
}

void PrizeList::calculate()
{
    form.TextGain->clear();
    traceBets(form.nbMises->text());
    const PrizeFigures shared = figures(poolFromText(form.sommePrix->text()));
    tracePool(form.sommePrix->text(), float(shared.pool));

    const Distribution distribution = distribute(shared);
    const QString list = prizeListHtml(distribution);
    traceDistribution(distribution, list);
    form.TextGain->appendHtml(list);
    // From here on, anything typed into the list shows as a modification.
    form.TextGain->document()->setModified(false);
    lastComputed = computedList(shared, distribution);
    emit replaced();
}

bool PrizeList::holdsUnprintedTyping() const
{
    const QTextDocument *list = form.TextGain->document();
    return list->isModified() && list->revision() != printedAt;
}

bool PrizeList::typingPrinted() const { return form.TextGain->document()->revision() == printedAt; }

void PrizeList::markPrinted()
{
    printedAt = form.TextGain->document()->revision();
    emit changed();
}

void PrizeList::restore(const QString &html, const std::optional<PrizeFigures> &computedFor, bool typed,
                        bool printed)
{
    QTextDocument *list = form.TextGain->document();
    if (html.isEmpty())
        form.TextGain->clear();
    else
        list->setHtml(html);
    lastComputed.reset();
    if (computedFor)
        lastComputed = computedList(*computedFor, distribute(*computedFor));
    list->setModified(typed);
    printedAt = printed ? list->revision() : -1;
    emit replaced();
}

} // namespace prizes
