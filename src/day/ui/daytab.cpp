#include "day/ui/daytab.h"

#include "day/daymodel.h"
#include "day/statement.h"
#include "day/unknown.h"
#include "form/mainwindowform.h"
#include "form/messagebox.h"
#include "journal/journalfile.h"
#include "files/wholefile.h"
#include "report/ui/printing.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>

#include <memory>

namespace day {

namespace {

// The statements' own page, in the font the sheets are laid out in.
std::unique_ptr<QTextDocument> statementDocument()
{
    auto document = std::make_unique<QTextDocument>();
    QFont font = QApplication::font();
    font.setPointSize(12);
    document->setDefaultFont(font);
    return document;
}

} // namespace

DayTab::DayTab(const MainWindowForm &form, QWidget *window) : QObject(window), form(form), window(window)
{
    connect(form.tabWidget, &QTabWidget::currentChanged, this, &DayTab::show);
}

void DayTab::show()
{
    if (form.tabWidget->currentWidget() != form.journee)
        return;
    build();
    read();
}

void DayTab::build()
{
    if (built)
        return;
    built = true;
    page.build(form.journee);
    connect(page.jourBilan, &QComboBox::activated, this, &DayTab::chooseDay);
    connect(page.ouvrirJournal, &QPushButton::clicked, this, &DayTab::openJournal);
    connect(page.imprimerBilan, &QPushButton::clicked, this, &DayTab::printDayStatement);
    connect(page.imprimerSaison, &QPushButton::clicked, this, &DayTab::printSeasonStatement);
    const auto typed = [this] {
        refreshCash();
        emit changed();
    };
    for (QDoubleSpinBox *box : {page.fondDeCaisse, page.prixNonReclames, page.remiseBanque})
        connect(box, &QDoubleSpinBox::valueChanged, this, typed);
    for (QSpinBox *box : page.counts)
        connect(box, &QSpinBox::valueChanged, this, typed);
    for (QLineEdit *field : {page.motifEcart, page.comptePar})
        connect(field, &QLineEdit::textChanged, this, typed);
}

void DayTab::showCountOf(const QDate &date, const CashCount *typed)
{
    int index = page.jourBilan->findData(date);
    if (index < 0) {
        page.jourBilan->addItem(dayName(date), date);
        index = page.jourBilan->count() - 1;
    }
    page.jourBilan->setCurrentIndex(index);
    page.model->setDay(sheets, date);
    const std::optional<CashRecord> last = lastOf(records, date);
    countShown = last ? last->count : CashCount();
    showCount(page, typed ? *typed : countShown);
    refreshCash();
}

// Prints, or another copy of the program, may have changed both files since.
void DayTab::read()
{
    QString journalError, cashError;
    if (!readSheets(journal::journalFileName(), &sheets, &journalError))
        sheets.clear();
    if (!readCashBook(cashFileName(), &records, &cashError))
        records.clear();
    problem = QStringList{journalError, cashError}.join(QLatin1Char('\n')).trimmed();
    page.problemeJournal->setText(problem);
    page.problemeJournal->setVisible(!problem.isEmpty());

    QList<QDate> bookDays;
    for (const CashRecord &record : std::as_const(records))
        bookDays << record.closed.date();
    const QDate chosen = page.jourBilan->currentData().toDate();
    const QList<QDate> choices = days(sheets, QDate::currentDate(), bookDays);
    page.jourBilan->clear();
    for (const QDate &date : choices)
        page.jourBilan->addItem(dayName(date), date);
    const int index = qMax(0, choices.indexOf(chosen.isValid() ? chosen : choices.value(0)));
    page.jourBilan->setCurrentIndex(index);
    page.model->setDay(sheets, choices.value(index));
    if (!countUnprinted()) {
        const std::optional<CashRecord> last = lastOf(records, choices.value(index));
        countShown = last ? last->count : CashCount();
        showCount(page, countShown);
    }
    refreshCash();
}

void DayTab::chooseDay(int index)
{
    const QDate date = page.jourBilan->itemData(index).toDate();
    if (date == page.model->date())
        return;
    if (countUnprinted()
        && !confirmLoss(window, QStringLiteral("Le comptage de la caisse n'a pas été imprimé."),
                        QStringLiteral("Si vous changez de jour, le comptage saisi sera remplacé par celui du jour "
                                       "choisi et perdu. Pour le garder, annulez, puis imprimez le bilan."),
                        QStringLiteral("Changer de jour"))) {
        page.jourBilan->setCurrentIndex(page.jourBilan->findData(page.model->date()));
        return;
    }
    showCountOf(date, nullptr);
}

void DayTab::refreshCash()
{
    const CashCount count = countIn(page);
    const Totals &totals = page.model->totals();
    const std::optional<Cents> due = expected(count, totals);
    const std::optional<Cents> off = difference(count, totals);
    page.caisseAttendue->setText(due ? euros(*due) : unknownExpectedText());
    page.caisseComptee->setText(euros(counted(count)));
    page.ecartCaisse->setText(off ? euros(*off) : unknownText());
}

bool DayTab::countUnprinted() const { return built && !(countIn(page) == countShown); }

std::optional<CountOfDay> DayTab::unprintedCount() const
{
    if (!countUnprinted())
        return std::nullopt;
    return CountOfDay{page.model->date(), countIn(page)};
}

void DayTab::restoreCount(const CountOfDay &typed)
{
    build();
    read();
    showCountOf(typed.day, &typed.count);
}

// A statement over a journal or a book the program cannot read would
// account for a day it does not know.
void DayTab::printDayStatement()
{
    read();
    if (!problem.isEmpty()) {
        warn(window, QStringLiteral("Le bilan n'a pas été imprimé."), problem);
        return;
    }
    const QDate date = page.model->date();
    CashRecord record = closing(countIn(page), page.model->totals(), date, QDateTime::currentDateTime());
    // The statement and its row are one step, under the book's lock: the
    // number the row takes is the one the statement carries, and a statement
    // not written whole uses no number.
    const auto statement = [date](const CashRecord &numbered) { return dayStatementFileName(date, numbered.number); };
    QString printError, printedFile, error;
    const Numbered numbered{
        [&](const CashRecord &numberedRecord, QString *why) {
            printedFile = statement(numberedRecord);
            const QString html = dayStatementHtml(form.blasonPrint->text(), page.model->sheets(), numberedRecord);
            if (printSheet(*statementDocument(), html, printedFile, &printError))
                return true;
            *why = printError;
            return false;
        },
        [&](const CashRecord &numberedRecord) { QFile::remove(statement(numberedRecord)); }};
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const bool written = appendToCashBook(cashFileName(), *replacementFor(cashFileName()), journal::journalFileName(),
                                          record, &error, numbered);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        // Either the statement or the book: the count stays as typed, not printed.
        if (!printError.isEmpty())
            warnAboutFile(window, QStringLiteral("Erreur lors de la création du fichier PDF\u00a0!"), printedFile,
                          printError);
        else
            warnAboutFile(window,
                          QStringLiteral("Le comptage n'a pas pu être noté dans caisse.csv\u00a0: le bilan n'a pas "
                                         "été imprimé."),
                          cashFileName(), error);
        return;
    }
    records.append(record);
    countShown = record.count;
    emit changed();
    openPrinted(window, printedFile);
}

void DayTab::printSeasonStatement()
{
    read();
    if (!problem.isEmpty()) {
        warn(window, QStringLiteral("Le bilan de la saison n'a pas été imprimé."), problem);
        return;
    }
    const QDate date = page.model->date();
    printAndOpen(window, *statementDocument(), seasonStatementHtml(form.blasonPrint->text(), date, sheets, records),
                 seasonStatementFileName(date));
}

void DayTab::openJournal()
{
    const QString name = journal::journalFileName();
    QString error;
    if (!QFileInfo(name).isFile())
        warn(window, QStringLiteral("Le journal n'existe pas encore\u00a0: la première feuille imprimée le crée."),
             shownPath(name));
    else if (!openSheet(name, &error))
        warnAboutFile(window, QStringLiteral("Le journal n'a pas pu être ouvert."), name, error);
}

} // namespace day
