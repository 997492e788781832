#include "day/daymodel.h"

#include <QHash>

namespace day {

namespace {

QVariant centsOrNone(bool known, Cents amount) { return known ? QVariant(qlonglong(amount)) : QVariant(); }

// A sheet's known amount or "inconnus"; the day's known sum, or what is known of it.
QString textOf(bool known, Cents amount) { return known ? euros(amount) : unknownPrizesText(); }
QString totalText(Cents known, int unknown) { return unknown == 0 ? euros(known) : partlyKnownText(known); }

} // namespace

DayModel::DayModel(QObject *parent) : QAbstractTableModel(parent) {}

void DayModel::setDay(const QList<Sheet> &all, const QDate &date)
{
    beginResetModel();
    shown = date;
    daySheets = sheetsOn(all, date);
    sums = totalsOf(daySheets);
    // In the order shot; a category shot once that day needs no number.
    QHash<QString, int> count;
    shoots.clear();
    for (const Sheet &sheet : std::as_const(daySheets))
        shoots << ++count[sheet.category];
    for (qsizetype row = 0; row < daySheets.size(); ++row)
        if (count.value(daySheets[row].category) == 1)
            shoots[row] = 0;
    endResetModel();
}

QString DayModel::shootName(int row) const
{
    const Sheet &sheet = daySheets[row];
    return shoots[row] == 0 ? sheet.category : QStringLiteral("%1 (tir %2)").arg(sheet.category).arg(shoots[row]);
}

int DayModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(daySheets.size()) + 1;
}

int DayModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant DayModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() > daySheets.size())
        return {};
    const bool total = isTotalsRow(index.row());
    const Sheet *sheet = total ? nullptr : &daySheets[index.row()];
    const bool known = total ? sums.prizesKnown() : sheet->prizes.has_value();
    const Cents prizes = total ? sums.prizes : sheet->prizes.value_or(0);
    const Cents kept = total ? sums.kept : sheet->receipts - sheet->blacks - prizes;
    const Cents receipts = total ? sums.receipts : sheet->receipts;
    const Cents blacks = total ? sums.blacks : sheet->blacks;
    switch (role) {
    case Qt::EditRole:
        if (!total && index.column() == Prizes && sheet->handTyped())
            return sheet->prizes ? QVariant(qlonglong(*sheet->prizes)) : QVariant(qlonglong(0));
        break;
    case Qt::DisplayRole:
        switch (index.column()) {
        case Category:
            return total ? QStringLiteral("Total de la journée") : shootName(index.row());
        case Time:
            return total ? QString() : sheet->printed.time().toString(QStringLiteral("HH:mm"));
        case Bets:
            return QString::number(total ? sums.bets : sheet->bets);
        case Receipts:
            return euros(receipts);
        case Blacks:
            return euros(blacks);
        case Prizes:
            return total ? totalText(prizes, sums.unknown) : textOf(known, prizes);
        case Kept:
            return total ? totalText(kept, sums.unknown) : textOf(known, kept);
        }
        break;
    case CentsRole:
        switch (index.column()) {
        case Receipts:
            return qlonglong(receipts);
        case Blacks:
            return qlonglong(blacks);
        case Prizes:
            return centsOrNone(known, prizes);
        case Kept:
            return centsOrNone(known, kept);
        }
        break;
    case Qt::ToolTipRole:
        if (total)
            break;
        if (index.column() == Receipts)
            return QStringLiteral("%1 mises à %2").arg(sheet->bets).arg(euros(sheet->betTariff));
        if (index.column() == Blacks)
            return QStringLiteral("%1 noirs à %2").arg(sheet->blacksPaid).arg(euros(sheet->blackTariff));
        if (index.column() == Prizes && sheet->handTyped())
            return sheet->prizesTyped ? QStringLiteral("Prix payés saisis ici (liste saisie à la main) : double-cliquez pour les corriger")
                                      : QStringLiteral("Liste saisie à la main : double-cliquez, puis tapez les prix payés");
        break;
    case Qt::TextAlignmentRole:
        if (index.column() >= Bets)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    default:
        break;
    }
    return {};
}

Qt::ItemFlags DayModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && !isTotalsRow(index.row()) && index.column() == Prizes && daySheets[index.row()].handTyped())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DayModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    bool ok = false;
    const qlonglong cents = value.toLongLong(&ok);
    if (!ok || cents < 0)
        return false;
    emit prizesTyped(daySheets[index.row()], cents);
    return true;
}

QVariant DayModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Category:
        return QStringLiteral("Catégorie");
    case Time:
        return QStringLiteral("Heure");
    case Bets:
        return QStringLiteral("Mises");
    case Receipts:
        return QStringLiteral("Recette");
    case Blacks:
        return QStringLiteral("Noirs payés");
    case Prizes:
        return QStringLiteral("Prix payés");
    case Kept:
        return QStringLiteral("Gardé par le club");
    }
    return {};
}

} // namespace day
