#pragma once

#include "day/sheets.h"
#include "day/unknown.h"

#include <QAbstractTableModel>

namespace day {

// One day's printed sheets for a table view: a row per sheet (a shoot), in
// the order printed, then a row of totals (the sums of the rows above; unknown prizes
// make the prizes and kept totals unknown).
// DisplayRole: the French text ("353,50 €", "inconnus"). CentsRole: the
// amount as qlonglong, or an invalid QVariant where it is unknown or not
// money. ToolTipRole: how a receipt or a blacks' amount is made ("101 mises
// à 3,50 €"). The prizes of a list typed by hand are the treasurer's to
// type (EditRole, cents as qlonglong): the model asks for them to be kept
// (prizesTyped) rather than change its sheet.
class DayModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Category, Time, Bets, Receipts, Blacks, Prizes, Kept, ColumnCount };
    static constexpr int CentsRole = Qt::UserRole;

    explicit DayModel(QObject *parent = nullptr);

    // Keeps the sheets of `all` printed on `date`: cheap enough to call again
    // for each day chosen (keep `all` from readSheets once).
    void setDay(const QList<Sheet> &all, const QDate &date);

    QDate date() const { return shown; }
    const QList<Sheet> &sheets() const { return daySheets; }
    const Totals &totals() const { return sums; }
    bool isTotalsRow(int row) const { return row == daySheets.size(); }
    // "arc classique (tir 2)": the category, and which of its shoots of the
    // day the row is where it was shot more than once.
    QString shootName(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // The prizes paid for the sheet of `row`, typed: to be kept, then read again.
    void prizesTyped(const day::Sheet &sheet, day::Cents prizes);

private:
    QDate shown;
    QList<Sheet> daySheets;
    QList<int> shoots; // a row's shoot of its category that day; 0: its only one
    Totals sums;
};

} // namespace day
