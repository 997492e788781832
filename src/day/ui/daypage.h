#pragma once

#include "day/cashcount.h"

#include <array>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QWidget;

namespace day {
class DayModel;
}

// The "Journée" tab's widgets, one pointer per object. Built the first time
// the tab is shown, so that a start that never shows it pays nothing.
struct DayPage
{
    QComboBox *jourBilan;
    QPushButton *ouvrirJournal;
    QTableView *feuillesJour;
    QLabel *problemeJournal; // why the journal or the cash book cannot be read; hidden when they can
    QDoubleSpinBox *fondDeCaisse;
    QDoubleSpinBox *prixNonReclames;
    QDoubleSpinBox *remiseBanque;
    std::array<QSpinBox *, day::denominationCount> counts; // billet500 … piece1c
    // What the count gives, read-only: out of Tab's way, read all the same
    // by a screen reader.
    QLineEdit *caisseAttendue;
    QLineEdit *caisseComptee;
    QLineEdit *ecartCaisse;
    QLineEdit *fondConserve;
    QLabel *prixInconnus; // which sheets' prizes are to be typed; hidden when none
    QLineEdit *motifEcart;
    QLineEdit *comptePar;
    QPushButton *imprimerBilan;
    QPushButton *imprimerSaison;
    day::DayModel *model;

    // Fills `page`, which stays the owner of every widget. Tab goes from
    // the float through the notes and coins, the prizes not collected, the
    // deposit, the reason and who counted, to the two print buttons.
    void build(QWidget *page);
};

// billet500 … piece1c, in the order of day::denominations.
const char *pieceObjectName(int index);

// What the fields hold, and putting a count into them.
day::CashCount countIn(const DayPage &page);
void showCount(DayPage &page, const day::CashCount &count);
