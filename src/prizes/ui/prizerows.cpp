#include "prizes/ui/prizerows.h"

#include "form/mainwindowform.h"
#include "prizes/amounttext.h"

#include <QLabel>
#include <QSpinBox>

std::array<QSpinBox *, prizes::maxPrizes> prizeValueBoxes(const MainWindowForm &form)
{
    return {form.valeurPrix1, form.valeurPrix2, form.valeurPrix3, form.valeurPrix4, form.valeurPrix5};
}

void setPrizeUnit(const MainWindowForm &form, bool fixedAmounts)
{
    const QString unit = fixedAmounts ? prizes::euroSuffix() : QStringLiteral(" %");
    for (QSpinBox *box : prizeValueBoxes(form))
        box->setSuffix(unit);
}

void showPrizeRows(const MainWindowForm &form, int count)
{
    QWidget *const rows[4][2] = {
        {form.labelPrix2, form.valeurPrix2},
        {form.labelPrix3, form.valeurPrix3},
        {form.labelPrix4, form.valeurPrix4},
        {form.labelPrix5, form.valeurPrix5},
    };
    // Hide all first, then show: the order the rows have always changed in.
    for (const auto &row : rows) {
        row[0]->setVisible(false);
        row[1]->setVisible(false);
    }
    for (int i = 0; i < 4 && i + 2 <= count; ++i) {
        rows[i][0]->setVisible(true);
        rows[i][1]->setVisible(true);
    }
}
