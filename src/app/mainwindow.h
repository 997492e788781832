#pragma once

#include "report/dayfigures.h"

#include <QMainWindow>

#include <optional>

struct MainWindowForm;

// The one window of the program. See mainwindow.cpp for how the pieces meet.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void loadSettings();

protected:
    // Asks before typing in the prize list that no sheet shows is lost.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_nbPrix_valueChanged(int count);
    void on_radioPourcent_clicked(bool checked);
    void on_radioFixe_clicked(bool checked);
    void on_commandLinkButton_2_clicked(); // "Sauvegarder"
    void on_nbMises_valueChanged(int bets);
    void on_nbNoirsPayes_valueChanged(int blacks);
    void on_commandLinkButton_clicked();   // "Calculer"
    void on_commandLinkButton_3_clicked(); // "Imprimer"
    void on_pushButton_clicked();          // "...": choose the crest file
    void on_unEuro_clicked(bool);
    void on_cinqEuro_clicked(bool);

private:
    void refreshTotals();
    // What "Calculer" shares out of `pool`, with the prizes as set.
    prizes::PrizeFigures prizeFigures(int pool) const;
    // Everything a print needs, read from the widgets at once.
    DayFigures dayFigures() const;
    // Prints the sheet of `day`, opens it and records it in the journal.
    // `listModified`: the list is another one than "Calculer" makes from
    // the printed figures (typed into, or printed as it stood).
    void printSheetFile(const DayFigures &day, bool listModified);
    // A warning over the window: `text` as it always reads, `details` saying
    // which file and why.
    void warn(const QString &text, const QString &details);

    MainWindowForm *form;
    // The last "Calculer": whether the list still fits, what it pays.
    std::optional<ComputedList> computed;
    // The prize list's revision when a sheet last showed it: typing after it
    // is what closing would lose.
    int listPrintedAt = -1;
};
