#include "report/ui/sheetprinter.h"

#include "form/mainwindowform.h"
#include "form/messagebox.h"
#include "files/plainfile.h"
#include "journal/journalfile.h"
#include "prizes/listcheck.h"
#include "prizes/totals.h"
#include "prizes/ui/prizelist.h"
#include "report/shoots.h"
#include "report/ui/printing.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

SheetPrinter::SheetPrinter(const MainWindowForm &form, prizes::PrizeList &list, QWidget *window)
    : QObject(window), form(form), list(list), window(window)
{
    connect(&list, &prizes::PrizeList::replaced, this, [this] { listPrintedAs.reset(); });
}

DayFigures SheetPrinter::dayFigures() const
{
    DayFigures day;
    day.crestPath = form.blasonPrint->text();
    day.category = form.comboBox->currentText();
    day.bets = form.nbMises->value();
    day.blacksPaid = form.nbNoirsPayes->value();
    day.betPrice = form.tarifMise->value();
    day.blackPrice = form.tarifNoir->value();
    day.costPercent = form.pourcentFrais->value();
    const prizes::Totals shown = prizes::totalsFromTexts(
        {form.sommeEncaisse->text(), form.montantFrais->text(), form.sommeNoirs->text(), form.sommePrix->text()});
    day.totalsShown = !form.sommePrix->text().isEmpty();
    day.receipts = shown.receipts;
    day.costs = shown.costs;
    day.blacks = shown.blacks;
    day.figures = list.figures(shown.pool);
    return day;
}

bool SheetPrinter::chooseShoot(const QString &category, std::optional<journal::Shoot> *replacing)
{
    const QDate today = QDate::currentDate();
    // Today's rows alone, at a glance: twenty seasons of the journal are read
    // whole when the sheet is recorded, not twice. A journal that cannot be
    // read numbers no shoot, and printing says why.
    const PlainFile journalFile = readPlainFile(journal::journalFileName(), journal::maxJournalSize);
    const QList<journal::Entry> shoots =
        journal::shootsOf(journal::entriesOn(journalFile.bytes, today), today, category);
    if (shoots.isEmpty())
        return true;
    // The very list a sheet of today shows, printed again: that sheet corrected.
    for (const journal::Entry &shoot : std::as_const(shoots))
        if (listPrintedAs && listPrintedAs->day == today && listPrintedAs->category == category
            && listPrintedAs->sheet == shoot.sheet) {
            *replacing = listPrintedAs;
            return true;
        }
    const journal::Entry &latest = shoots.last();
    const QString time = latest.printed.time().toString(QStringLiteral("HH:mm"));
    QMessageBox box(window);
    setUpWarning(box,
                 QStringLiteral("La catégorie «\u00a0%1\u00a0» a déjà une feuille aujourd'hui (%2, %3\u00a0mises).")
                     .arg(category, time)
                     .arg(latest.bets),
                 QStringLiteral("Nouveau tir\u00a0: une feuille de plus, et une ligne de plus au journal. Remplacer\u00a0: "
                                "la feuille de %1 et sa ligne sont corrigées.")
                     .arg(time));
    box.setIcon(QMessageBox::Question);
    // Its underlined letter adds a shoot by keyboard; replacing, which
    // writes over the morning's sheet, takes a click.
    QPushButton *newShoot = box.addButton(QStringLiteral("&Nouveau tir"), QMessageBox::AcceptRole);
    QPushButton *replace = box.addButton(QStringLiteral("Remplacer la feuille de %1").arg(time), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    // Neither Enter nor Esc prints over the morning's sheet, nor adds a shoot by mistake.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == replace)
        *replacing = journal::Shoot{today, category, latest.sheet};
    return box.clickedButton() == newShoot || box.clickedButton() == replace;
}

// A sheet must never put a sum above a list that shares out another: when
// the list is not what "Calculer" makes from the figures shown, ask first.
void SheetPrinter::print()
{
    const bool typed = form.TextGain->document()->isModified();
    const std::optional<prizes::ComputedList> &computed = list.computed();
    // Names typed beside a computed list keep it; all its text deleted, no
    // list is left for the sheet or the journal.
    const bool emptied = computed && form.TextGain->toPlainText().trimmed().isEmpty();
    const DayFigures day = dayFigures();
    std::optional<journal::Shoot> replacing;
    if (!chooseShoot(day.category, &replacing))
        return;
    const QString mismatch = prizes::listMismatch(computed ? std::optional(computed->figures) : std::nullopt,
                                                  day.figures, typed, emptied);
    if (mismatch.isEmpty()) {
        printSheet(day, typed, replacing);
        return;
    }
    QMessageBox box(window);
    setUpWarning(box, QStringLiteral("La liste des prix ne correspond plus au bilan."), mismatch);
    QPushButton *recalculate = box.addButton(QStringLiteral("Recalculer et imprimer"), QMessageBox::AcceptRole);
    QPushButton *asItStands = box.addButton(QStringLiteral("Imprimer tel quel"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
    // Recalculating replaces what was typed into the list: Enter keeps it.
    box.setDefaultButton(typed ? cancel : recalculate);
    box.exec();
    if (box.clickedButton() == recalculate) {
        list.calculate();
        printSheet(day, false, replacing);
    } else if (box.clickedButton() == asItStands) {
        printSheet(day, true, replacing);
    }
}

void SheetPrinter::printSheet(const DayFigures &day, bool listModified, const std::optional<journal::Shoot> &replacing)
{
    const QTextDocument &document = *form.TextGain->document();
    const QString fileName = sheetFileName(day.category);
    removeLeftovers(fileName);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const QByteArray pdf = renderSheet(document, sheetHtml(sheetContent(day, document.toHtml())));
    // A list of another category, or none left, pays out nothing this row
    // can account for: its prize fields stay empty.
    std::optional<prizes::ComputedList> printedList = list.computed();
    if (printedList
        && (printedList->figures.category != day.category || document.toPlainText().trimmed().isEmpty()))
        printedList.reset();
    const journal::Entry entry = journalEntry(day, printedList, listModified, QDateTime::currentDateTime());
    ShootPrint done;
    if (pdf.isEmpty()) {
        done.failedFile = fileName;
        done.printError = QStringLiteral("Rien n'a été imprimé");
    } else {
        done = printShoot(pdf, entry, replacing, journal::journalFileName());
    }
    QGuiApplication::restoreOverrideCursor();
    if (!done.printed) {
        warnAboutFile(window, QStringLiteral("Erreur lors de la création du fichier PDF\u00a0!"), done.failedFile,
                      done.printError);
        return;
    }
    list.markPrinted();
    if (done.recorded)
        listPrintedAs = journal::Shoot{entry.printed.date(), entry.category, done.sheet};
    // The sheet is printed whatever becomes of the journal: it is opened
    // before any word about the journal.
    openPrinted(window, fileName);
    if (!done.recorded)
        warnAboutFile(window, QStringLiteral("Le journal n'a pas pu être mis à jour."), journal::journalFileName(),
                      done.journalError);
}

void SheetPrinter::chooseCrest()
{
    // In the window's words, as the form's own texts.
    const QString caption = QCoreApplication::translate("MainWindow", "Blason à utiliser");
    const QString path = QFileDialog::getOpenFileName(window, caption, form.blasonPrint->text(),
                                                      QStringLiteral("*.png *.jpg *.gif *.jpeg *.bmp"));
    if (!path.isEmpty())
        form.blasonPrint->setText(path);
}
