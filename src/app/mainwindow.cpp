// Prix général: one window, no model. The widgets are the data, built in
// code by MainWindowForm (src/form). Each concern of the window is a QObject
// of its own room, which reads the widgets it needs, calls the plain
// functions of that room and writes the widgets back:
//   prizes::PrizeList    the totals, "Calculer", what the list in "Gain" is
//   SheetPrinter         "Imprimer", the journal's row, the crest's file
//   SettingsTab          save.ini, "Sauvegarder", the prize rows and rounding
//   day::DayTab          the "Journée" tab and its statements
//   recovery::WorkKeeper the work kept across a crash, and its offer
// The window keeps the eleven slots bound by name, each handing over to the
// concern that owns the action, the keys, and what spans them all: closing,
// the session's end, and the work gathered from every concern.
#include "app/mainwindow.h"

#include "app/guidewindow.h"
#include "day/ui/daytab.h"
#include "form/mainwindowform.h"
#include "form/messagebox.h"
#include "prizes/ui/prizelist.h"
#include "recovery/ui/workkeeper.h"
#include "recovery/work.h"
#include "report/ui/sheetprinter.h"
#include "settings/ui/settingstab.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QKeySequence>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif
#include <QShortcut>
#include <QSpinBox>

namespace {

// The desktop's own keys for saving and printing press the buttons, whichever
// tab is in front, so the key and the button cannot drift apart.
void addShortcut(QMainWindow *window, QKeySequence::StandardKey key, QAbstractButton *button,
                 const QString &toolTip)
{
    auto *shortcut = new QShortcut(key, window);
    QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    button->setToolTip(toolTip.arg(shortcut->key().toString(QKeySequence::NativeText)));
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , form(new MainWindowForm)
{
    form->setupForm(this);
    // Before any slot runs: loading the settings below runs some.
    prizeList = new prizes::PrizeList(*form, this);
    sheetPrinter = new SheetPrinter(*form, *prizeList, this);
    settingsTab = new SettingsTab(*form, this);
    dayTab = new day::DayTab(*form, this);
    workKeeper = new recovery::WorkKeeper(
        *form, this, [this] { return currentWork(); }, [this](const recovery::Work &work) { restoreWork(work); });
    connect(prizeList, &prizes::PrizeList::changed, workKeeper, &recovery::WorkKeeper::noteChange);
    connect(settingsTab, &SettingsTab::changed, workKeeper, &recovery::WorkKeeper::noteChange);
    connect(dayTab, &day::DayTab::changed, workKeeper, &recovery::WorkKeeper::noteChange);
    // An answer to the session's end was about the work as it stood.
    connect(workKeeper, &recovery::WorkKeeper::changed, this, [this] { endingAnswered = false; });
#ifdef Q_OS_WIN
    // Given the context-help hint alone, Qt (QWidgetPrivate::adjustFlags) adds
    // a title and a system menu but no close-button hint, without which its
    // Windows plugin greys Close: the title bar's X and the system menu's.
    setWindowFlags(Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint);
#else
    setWindowFlags(Qt::WindowContextHelpButtonHint);
#endif
    addShortcut(this, QKeySequence::Save, form->commandLinkButton_2, tr("Sauvegarder la configuration (%1)"));
    addShortcut(this, QKeySequence::Print, form->commandLinkButton_3, tr("Imprimer la feuille des prix en PDF (%1)"));
    // The desktop's help key opens the guide; the form itself shows nothing new.
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { showGuide(this); });
    loadSettings();
#if QT_CONFIG(sessionmanager)
    // A logout or a shutdown never reaches closeEvent in time: the session
    // asks here, and on Windows the process is ended right after.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (cancelsSessionEnd(manager.allowsInteraction()))
            manager.cancel();
    });
#endif
}

MainWindow::~MainWindow()
{
    delete form;
}

void MainWindow::loadSettings() { settingsTab->load(); }

void MainWindow::on_nbPrix_valueChanged(int count) { settingsTab->showPrizeCount(count); }
void MainWindow::on_radioPourcent_clicked(bool) { settingsTab->choosePrizeType(false); }
void MainWindow::on_radioFixe_clicked(bool) { settingsTab->choosePrizeType(true); }
void MainWindow::on_commandLinkButton_2_clicked() { settingsTab->save(); }
void MainWindow::on_nbMises_valueChanged(int) { prizeList->refreshTotals(); }
void MainWindow::on_nbNoirsPayes_valueChanged(int) { prizeList->refreshTotals(); }
void MainWindow::on_commandLinkButton_clicked() { prizeList->calculateAsked(); }
void MainWindow::on_commandLinkButton_3_clicked() { sheetPrinter->print(); }
void MainWindow::on_pushButton_clicked() { sheetPrinter->chooseCrest(); }
void MainWindow::on_unEuro_clicked(bool) { settingsTab->chooseRounding(false); }
void MainWindow::on_cinqEuro_clicked(bool) { settingsTab->chooseRounding(true); }

// The winners' names are typed into the prize list just before posting the
// sheet, the cash box is counted at the day's end, and the club's tariffs may
// have been changed for the day: one click on the close button must not throw
// any of them away unseen.
bool MainWindow::mayClose()
{
    const bool list = prizeList->holdsUnprintedTyping();
    const bool count = dayTab->countUnprinted();
    const bool settings = settingsTab->unsaved().has_value();
    if (!list && !count && !settings)
        return true;
    // What a print would keep, in the words of its own question.
    QString unprinted;
    if (list && count)
        unprinted = QStringLiteral("ce que vous avez saisi dans la liste depuis le dernier calcul et le comptage de "
                                   "la caisse");
    else if (list)
        unprinted = QStringLiteral("ce que vous avez saisi dans la liste depuis le dernier calcul");
    else if (count)
        unprinted = QStringLiteral("le comptage de la caisse");
    if (!settings)
        return confirmLoss(this,
                           list ? QStringLiteral("La liste des prix contient des modifications qui n'ont pas été "
                                                 "imprimées.")
                                : QStringLiteral("Le comptage de la caisse n'a pas été imprimé."),
                           list && count ? QStringLiteral("Si vous fermez la fenêtre, %1 seront perdus. Pour les "
                                                          "garder, annulez, puis imprimez.")
                                               .arg(unprinted)
                                         : QStringLiteral("Si vous fermez la fenêtre, %1 sera perdu. Pour le garder, "
                                                          "annulez, puis imprimez.")
                                               .arg(unprinted),
                           QStringLiteral("Fermer sans imprimer"));
    QMessageBox box(this);
    QString details = QStringLiteral("Si vous fermez la fenêtre sans sauvegarder, les réglages modifiés seront perdus.");
    if (!unprinted.isEmpty())
        details += QStringLiteral(" N'ont pas été imprimés non plus\u00a0: %1, qui seront perdus dans tous les cas. "
                                  "Pour les garder, annulez, puis imprimez.")
                       .arg(unprinted);
    setUpWarning(box, QStringLiteral("La configuration a été modifiée mais n'a pas été sauvegardée."), details);
    QPushButton *save = box.addButton(QStringLiteral("Sauvegarder et fermer"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("Fermer sans sauvegarder"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    // A save that fails says why and keeps the window.
    return box.clickedButton() == discard || (box.clickedButton() == save && settingsTab->save());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (endingAnswered || mayClose()) {
        // Closed on purpose: nothing is left to offer back.
        workKeeper->discard();
        QMainWindow::closeEvent(event);
    } else {
        event->ignore();
    }
}

bool MainWindow::cancelsSessionEnd(bool mayAsk)
{
    // Whatever the answer, the system may end the process right after.
    keepWorkNow();
    // One ending may call twice: the answer given stands.
    if (endingAnswered || !mayAsk)
        return false;
    if (!mayClose())
        return true;
    endingAnswered = true;
    return false;
}

void MainWindow::keepWorkAcrossCrashes() { workKeeper->start(); }

void MainWindow::keepWorkNow() { workKeeper->keepNow(); }

recovery::Work MainWindow::currentWork() const
{
    recovery::Work work;
    work.category = form->comboBox->currentText();
    work.bets = form->nbMises->value();
    work.blacksPaid = form->nbNoirsPayes->value();
    const QTextDocument *list = form->TextGain->document();
    work.list = list->isEmpty() ? QString() : list->toHtml();
    if (prizeList->computed())
        work.listComputedFor = prizeList->computed()->figures;
    work.listTyped = list->isModified();
    work.listTypingPrinted = work.listTyped && prizeList->typingPrinted();
    work.listPrintedAs = sheetPrinter->printedAs();
    work.unsavedSettings = settingsTab->unsaved();
    work.unprintedCount = dayTab->unprintedCount();
    return work;
}

void MainWindow::restoreWork(const recovery::Work &work)
{
    // Settings first: the totals follow the tariffs they were typed under.
    if (work.unsavedSettings)
        settingsTab->apply(*work.unsavedSettings);
    form->comboBox->setCurrentText(work.category);
    form->nbMises->setValue(work.bets);
    form->nbNoirsPayes->setValue(work.blacksPaid);
    if (work.bets != 0 || work.blacksPaid != 0)
        prizeList->refreshTotals();
    prizeList->restore(work.list, work.listComputedFor, work.listTyped, work.listTypingPrinted);
    sheetPrinter->setPrintedAs(work.listPrintedAs);
    if (work.unprintedCount)
        dayTab->restoreCount(*work.unprintedCount);
}
