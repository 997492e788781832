#include "day/ui/daypage.h"

#include "day/daymodel.h"
#include "form/named.h"
#include "form/pricebox.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char *const pieceNames[day::denominationCount] = {
    "billet500", "billet200", "billet100", "billet50", "billet20", "billet10", "billet5", "piece2e",
    "piece1e",   "piece50c",  "piece20c",  "piece10c", "piece5c",  "piece2c",  "piece1c",
};

// Euros to the cent, as far as a cash box goes.
QDoubleSpinBox *moneyBox(QWidget *parent, const char *name, const QString &spoken)
{
    // A point typed reads as the comma, as in the tariffs.
    auto *box = named<PriceBox>(parent, name);
    box->setDecimals(2);
    box->setMaximum(999999.99);
    box->setSuffix(QStringLiteral("\u00a0€"));
    // Money the French way whatever the system's language, as on the statements.
    box->setLocale(QLocale(QLocale::French, QLocale::France));
    box->setAccessibleName(spoken);
    return box;
}

QLineEdit *shownField(QWidget *parent, const char *name, const QString &spoken)
{
    auto *field = named<QLineEdit>(parent, name);
    field->setReadOnly(true);
    field->setAccessibleName(spoken);
    // The count is typed past it; a screen reader reads it from the page.
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

// The prizes paid for a list typed by hand, typed in the table as money is
// typed in the count.
class PrizesDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new PriceBox(parent);
        box->setDecimals(2);
        box->setMaximum(99999999.99);
        box->setSuffix(QStringLiteral("\u00a0€"));
        box->setLocale(QLocale(QLocale::French, QLocale::France));
        box->setAccessibleName(QStringLiteral("Prix payés"));
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<PriceBox *>(editor)->setValue(double(index.data(Qt::EditRole).toLongLong()) / 100.0);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *box = static_cast<PriceBox *>(editor);
        box->interpretText();
        model->setData(index, qlonglong(std::llround(box->value() * 100.0)), Qt::EditRole);
    }
};

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = named<QPushButton>(parent, name);
    b->setText(text);
    b->setAutoDefault(true);
    return b;
}

day::Cents cents(const QDoubleSpinBox *box) { return std::llround(box->value() * 100.0); }

// One column of notes or coins: "500 €" and its count.
QGroupBox *denominationsBox(QWidget *parent, DayPage &page, const char *name, const QString &title, int from, int to)
{
    auto *box = named<QGroupBox>(parent, name);
    box->setTitle(title);
    auto *form = new QFormLayout(box);
    form->setVerticalSpacing(2);
    for (int i = from; i < to; ++i) {
        auto *count = named<QSpinBox>(box, pieceNames[i]);
        count->setMaximum(day::maxPieces);
        count->setAccessibleName(day::denominationName(i));
        const QString label = day::denominationValue(i);
        form->addRow(label, count);
        page.counts[size_t(i)] = count;
    }
    return box;
}

} // namespace

const char *pieceObjectName(int index) { return pieceNames[index]; }

void DayPage::build(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);

    auto *top = new QHBoxLayout();
    auto *dayLabel = new QLabel(QStringLiteral("Jour"), page);
    jourBilan = named<QComboBox>(page, "jourBilan");
    jourBilan->setAccessibleName(QStringLiteral("Jour du bilan"));
    // As wide as the longest day's name ("mercredi 30 septembre 2026"),
    // without measuring every day listed: twenty seasons list 7,000.
    jourBilan->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    jourBilan->setMinimumContentsLength(26);
    dayLabel->setBuddy(jourBilan);
    ouvrirJournal = button(page, "ouvrirJournal", QStringLiteral("Ouvrir le journal"));
    ouvrirJournal->setToolTip(QStringLiteral("Ouvrir journal.csv dans le tableur"));
    top->addWidget(dayLabel);
    top->addWidget(jourBilan, 1);
    top->addWidget(ouvrirJournal);
    layout->addLayout(top);

    model = new day::DayModel(page);
    feuillesJour = named<QTableView>(page, "feuillesJour");
    feuillesJour->setModel(model);
    feuillesJour->setAccessibleName(QStringLiteral("Feuilles de prix imprimées ce jour"));
    feuillesJour->verticalHeader()->hide();
    feuillesJour->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    feuillesJour->horizontalHeader()->setStretchLastSection(true);
    feuillesJour->setSelectionMode(QAbstractItemView::NoSelection);
    // Only the prizes of a list typed by hand can be typed.
    feuillesJour->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                  | QAbstractItemView::AnyKeyPressed);
    feuillesJour->setItemDelegateForColumn(day::DayModel::Prizes, new PrizesDelegate(feuillesJour));
    // The tab key leaves the table for the count, as it does in a form.
    feuillesJour->setTabKeyNavigation(false);
    feuillesJour->setMinimumHeight(120);
    layout->addWidget(feuillesJour, 1);

    problemeJournal = named<QLabel>(page, "problemeJournal");
    problemeJournal->setWordWrap(true);
    problemeJournal->setStyleSheet(QStringLiteral("color: #a00000;"));
    problemeJournal->hide();
    layout->addWidget(problemeJournal);
    prixInconnus = named<QLabel>(page, "prixInconnus");
    prixInconnus->setWordWrap(true);
    prixInconnus->hide();
    layout->addWidget(prixInconnus);

    auto *cash = named<QGroupBox>(page, "caisse");
    cash->setTitle(QStringLiteral("Caisse"));
    auto *row = new QHBoxLayout(cash);
    row->addWidget(denominationsBox(cash, *this, "billets", QStringLiteral("Billets"), 0, day::noteCount));
    row->addWidget(denominationsBox(cash, *this, "pieces", QStringLiteral("Pièces"), day::noteCount, day::denominationCount));
    auto *sums = new QFormLayout();
    sums->setVerticalSpacing(4);
    fondDeCaisse = moneyBox(cash, "fondDeCaisse", QStringLiteral("Fond de caisse"));
    prixNonReclames = moneyBox(cash, "prixNonReclames", QStringLiteral("Prix non réclamés"));
    caisseAttendue = shownField(cash, "caisseAttendue", QStringLiteral("Caisse attendue"));
    caisseComptee = shownField(cash, "caisseComptee", QStringLiteral("Caisse comptée"));
    ecartCaisse = shownField(cash, "ecartCaisse", QStringLiteral("Écart"));
    fondConserve = shownField(cash, "fondConserve", QStringLiteral("Fond de caisse conservé"));
    motifEcart = named<QLineEdit>(cash, "motifEcart");
    motifEcart->setAccessibleName(QStringLiteral("Motif de l'écart"));
    comptePar = named<QLineEdit>(cash, "comptePar");
    comptePar->setAccessibleName(QStringLiteral("Compté par"));
    // Created in the order shown, which Tab follows.
    remiseBanque = moneyBox(cash, "remiseBanque", QStringLiteral("Remise en banque"));
    sums->addRow(QStringLiteral("Fond de caisse"), fondDeCaisse);
    sums->addRow(QStringLiteral("Prix non réclamés"), prixNonReclames);
    sums->addRow(QStringLiteral("Caisse attendue"), caisseAttendue);
    sums->addRow(QStringLiteral("Caisse comptée"), caisseComptee);
    sums->addRow(QStringLiteral("Écart"), ecartCaisse);
    sums->addRow(QStringLiteral("Motif de l'écart"), motifEcart);
    sums->addRow(QStringLiteral("Compté par"), comptePar);
    sums->addRow(QStringLiteral("Remise en banque"), remiseBanque);
    sums->addRow(QStringLiteral("Fond de caisse conservé"), fondConserve);
    row->addLayout(sums, 1);
    layout->addWidget(cash);

    auto *buttons = new QHBoxLayout();
    imprimerBilan = button(page, "imprimerBilan", QStringLiteral("Imprimer le bilan"));
    imprimerSaison = button(page, "imprimerSaison", QStringLiteral("Bilan de la saison"));
    buttons->addStretch();
    buttons->addWidget(imprimerBilan);
    buttons->addWidget(imprimerSaison);
    buttons->addStretch();
    layout->addLayout(buttons);

    // As the box is counted: the float, the notes and coins largest first,
    // what stays beside them, then who counted, and printing.
    QList<QWidget *> order{jourBilan, ouvrirJournal, feuillesJour, fondDeCaisse};
    for (QSpinBox *box : counts)
        order << box;
    order << prixNonReclames << remiseBanque << motifEcart << comptePar << imprimerBilan << imprimerSaison;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

day::CashCount countIn(const DayPage &page)
{
    day::CashCount count;
    count.openingFloat = cents(page.fondDeCaisse);
    count.unclaimedPrizes = cents(page.prixNonReclames);
    count.deposit = cents(page.remiseBanque);
    for (int i = 0; i < day::denominationCount; ++i)
        count.pieces[size_t(i)] = page.counts[size_t(i)]->value();
    count.reason = page.motifEcart->text();
    count.countedBy = page.comptePar->text();
    return count;
}

void showCount(DayPage &page, const day::CashCount &count)
{
    page.fondDeCaisse->setValue(double(count.openingFloat) / 100.0);
    page.prixNonReclames->setValue(double(count.unclaimedPrizes) / 100.0);
    page.remiseBanque->setValue(double(count.deposit) / 100.0);
    for (int i = 0; i < day::denominationCount; ++i)
        page.counts[size_t(i)]->setValue(count.pieces[size_t(i)]);
    page.motifEcart->setText(count.reason);
    page.comptePar->setText(count.countedBy);
}
