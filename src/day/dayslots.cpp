// The "Journée" tab: the day's sheets from the journal, the cash count, and
// the day's and the season's statements. The slots read the widgets once,
// call src/day and write the widgets back.
#include "app/mainwindow.h"

#include "app/messagebox.h"
#include "day/cash.h"
#include "day/daymodel.h"
#include "day/daypage.h"
#include "day/sheets.h"
#include "day/statement.h"
#include "form/mainwindowform.h"
#include "journal/journalfile.h"
#include "report/printing.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>

void MainWindow::showDayPage()
{
    if (form->tabWidget->currentWidget() != form->journee)
        return;
    buildDayPage();
    readDay();
}

void MainWindow::buildDayPage()
{
    if (!dayPage) {
        dayPage = std::make_unique<DayPage>();
        dayPage->build(form->journee);
        daySheets = std::make_unique<QList<day::Sheet>>();
        cashRecords = std::make_unique<QList<day::CashRecord>>();
        countShown = std::make_unique<day::CashCount>();
        connect(dayPage->jourBilan, &QComboBox::activated, this, &MainWindow::chooseDay);
        connect(dayPage->ouvrirJournal, &QPushButton::clicked, this, &MainWindow::openJournal);
        connect(dayPage->imprimerBilan, &QPushButton::clicked, this, &MainWindow::printDayStatement);
        connect(dayPage->imprimerSaison, &QPushButton::clicked, this, &MainWindow::printSeasonStatement);
        const auto changed = [this] {
            refreshCash();
            workChanged();
        };
        for (QDoubleSpinBox *box : {dayPage->fondDeCaisse, dayPage->prixNonReclames, dayPage->remiseBanque})
            connect(box, &QDoubleSpinBox::valueChanged, this, changed);
        for (QSpinBox *box : dayPage->pieces)
            connect(box, &QSpinBox::valueChanged, this, changed);
        for (QLineEdit *field : {dayPage->motifEcart, dayPage->comptePar})
            connect(field, &QLineEdit::textChanged, this, changed);
    }
}

void MainWindow::showCountOf(const QDate &date, const day::CashCount *typed)
{
    int index = dayPage->jourBilan->findData(date);
    if (index < 0) {
        dayPage->jourBilan->addItem(day::dayName(date), date);
        index = dayPage->jourBilan->count() - 1;
    }
    dayPage->jourBilan->setCurrentIndex(index);
    dayPage->model->setDay(*daySheets, date);
    const std::optional<day::CashRecord> last = day::lastOf(*cashRecords, date);
    *countShown = last ? last->count : day::CashCount();
    showCount(*dayPage, typed ? *typed : *countShown);
    refreshCash();
}

// Prints, or another copy of the program, may have changed both files since.
void MainWindow::readDay()
{
    QString journalError, cashError;
    if (!day::readSheets(journal::journalFileName(), daySheets.get(), &journalError))
        daySheets->clear();
    if (!day::readCashBook(day::cashFileName(), cashRecords.get(), &cashError))
        cashRecords->clear();
    dayProblem = QStringList{journalError, cashError}.join(QLatin1Char('\n')).trimmed();
    dayPage->problemeJournal->setText(dayProblem);
    dayPage->problemeJournal->setVisible(!dayProblem.isEmpty());

    QList<QDate> bookDays;
    for (const day::CashRecord &record : *cashRecords)
        bookDays << record.closed.date();
    const QDate chosen = dayPage->jourBilan->currentData().toDate();
    const QList<QDate> days = day::days(*daySheets, QDate::currentDate(), bookDays);
    dayPage->jourBilan->clear();
    for (const QDate &date : days)
        dayPage->jourBilan->addItem(day::dayName(date), date);
    const int index = qMax(0, days.indexOf(chosen.isValid() ? chosen : days.value(0)));
    dayPage->jourBilan->setCurrentIndex(index);
    dayPage->model->setDay(*daySheets, days.value(index));
    if (!countUnprinted()) {
        const std::optional<day::CashRecord> last = day::lastOf(*cashRecords, days.value(index));
        *countShown = last ? last->count : day::CashCount();
        showCount(*dayPage, *countShown);
    }
    refreshCash();
}

void MainWindow::chooseDay(int index)
{
    const QDate date = dayPage->jourBilan->itemData(index).toDate();
    if (date == dayPage->model->date())
        return;
    if (countUnprinted()
        && !confirmLoss(this, QStringLiteral("Le comptage de la caisse n'a pas été imprimé."),
                        QStringLiteral("Si vous changez de jour, le comptage saisi sera remplacé par celui du jour "
                                       "choisi et perdu. Pour le garder, annulez, puis imprimez le bilan."),
                        QStringLiteral("Changer de jour"))) {
        dayPage->jourBilan->setCurrentIndex(dayPage->jourBilan->findData(dayPage->model->date()));
        return;
    }
    showCountOf(date, nullptr);
}

void MainWindow::refreshCash()
{
    const day::CashCount count = countIn(*dayPage);
    const day::Totals &totals = dayPage->model->totals();
    const std::optional<day::Cents> expected = day::expected(count, totals);
    const std::optional<day::Cents> difference = day::difference(count, totals);
    dayPage->caisseAttendue->setText(expected ? day::euros(*expected)
                                              : QStringLiteral("inconnue (prix d'une liste saisie à la main)"));
    dayPage->caisseComptee->setText(day::euros(day::counted(count)));
    dayPage->ecartCaisse->setText(difference ? day::euros(*difference) : QStringLiteral("inconnu"));
}

bool MainWindow::countUnprinted() const
{
    return dayPage && !(countIn(*dayPage) == *countShown);
}

bool MainWindow::printAndOpen(const QString &html, const QString &fileName)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool printed = printSheet(*form->TextGain->document(), html, fileName, &error);
    QGuiApplication::restoreOverrideCursor();
    const QString where = QDir::current().absoluteFilePath(fileName);
    if (!printed) {
        warn(QStringLiteral("Erreur lors de la création du fichier PDF\u00a0!"), where + QLatin1Char('\n') + error);
        return false;
    }
    if (!openSheet(fileName, &error))
        warn(QStringLiteral("Le fichier PDF a été créé mais n'a pas pu être ouvert."),
             where + QLatin1Char('\n') + error);
    return true;
}

// A statement over a journal or a book the program cannot read would
// account for a day it does not know.
void MainWindow::printDayStatement()
{
    readDay();
    if (!dayProblem.isEmpty()) {
        warn(QStringLiteral("Le bilan n'a pas été imprimé."), dayProblem);
        return;
    }
    const QDate date = dayPage->model->date();
    day::CashRecord record =
        day::closing(countIn(*dayPage), dayPage->model->totals(), date, QDateTime::currentDateTime());
    // Noted first: the number it takes is the one the statement carries.
    QString error;
    if (!day::appendToCashBook(day::cashFileName(), journal::journalFileName(), record, &error)) {
        warn(QStringLiteral("Le comptage n'a pas pu être noté dans caisse.csv\u00a0: le bilan n'a pas été imprimé."),
             QDir::current().absoluteFilePath(day::cashFileName()) + QLatin1Char('\n') + error);
        return;
    }
    cashRecords->append(record);
    *countShown = record.count;
    workChanged();
    printAndOpen(day::dayStatementHtml(form->blasonPrint->text(), dayPage->model->sheets(), record),
                 day::dayStatementFileName(date));
}

void MainWindow::printSeasonStatement()
{
    readDay();
    if (!dayProblem.isEmpty()) {
        warn(QStringLiteral("Le bilan de la saison n'a pas été imprimé."), dayProblem);
        return;
    }
    const QDate date = dayPage->model->date();
    printAndOpen(day::seasonStatementHtml(form->blasonPrint->text(), date, *daySheets, *cashRecords),
                 day::seasonStatementFileName(date));
}

void MainWindow::openJournal()
{
    const QString name = journal::journalFileName();
    const QString where = QDir::current().absoluteFilePath(name);
    QString error;
    if (!QFileInfo(name).isFile())
        warn(QStringLiteral("Le journal n'existe pas encore\u00a0: la première feuille imprimée le crée."), where);
    else if (!openSheet(name, &error))
        warn(QStringLiteral("Le journal n'a pas pu être ouvert."), where + QLatin1Char('\n') + error);
}
