#pragma once

#include <QMainWindow>

struct MainWindowForm;
class SettingsTab;
class SheetPrinter;
namespace day {
class DayTab;
}
namespace prizes {
class PrizeList;
}
namespace recovery {
class WorkKeeper;
struct Work;
} // namespace recovery

// The one window of the program. See mainwindow.cpp for how the pieces meet.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void loadSettings();

    // The session ends (a logout, a shutdown): true when the window asks to
    // cancel it. `mayAsk`: the session lets the program ask the user.
    bool cancelsSessionEnd(bool mayAsk);

    // From now on the work that differs from the window's start is kept in
    // the working folder, and the work of a copy that stopped without being
    // closed is offered back, in a question over the window.
    void keepWorkAcrossCrashes();
    // Writes the kept work now, rather than after the pause in typing.
    void keepWorkNow();

protected:
    // Asks before typing in the prize list that no sheet shows, a cash count
    // not printed, or settings not saved, are lost.
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
    // The close question, when something would be lost: true to close.
    bool mayClose();
    // What the window holds, from every tab, and putting it back.
    recovery::Work currentWork() const;
    void restoreWork(const recovery::Work &work);

    MainWindowForm *form;
    // Each concern of the window, owned by the window as its child.
    prizes::PrizeList *prizeList;
    SheetPrinter *sheetPrinter;
    SettingsTab *settingsTab;
    day::DayTab *dayTab;
    recovery::WorkKeeper *workKeeper;
    // The session's end was answered "close": its closing asks no more.
    bool endingAnswered = false;
};
