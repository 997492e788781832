#include "day/ui/daytab.h"

#include "day/daymodel.h"
#include "day/statement.h"
#include "day/unknown.h"
#include "files/csv.h"
#include "files/wholefile.h"
#include "form/mainwindowform.h"
#include "form/messagebox.h"
#include "journal/journalfile.h"
#include "report/ui/paperprinter.h"
#include "report/ui/printing.h"

#include <QComboBox>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QThread>

#include <functional>
#include <memory>

namespace day {

namespace {

QString signedEuros(Cents amount) { return (amount > 0 ? QStringLiteral("+") : QString()) + euros(amount); }

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
    connect(page.model, &DayModel::prizesTyped, this, &DayTab::keepTypedPrizes);
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
    // A reason is typed for the difference shown as it is typed (or put back).
    connect(page.motifEcart, &QLineEdit::textChanged, this, [this](const QString &reason) {
        reasonTypedFor = reason.trimmed().isEmpty() ? std::nullopt : difference(countIn(page), page.model->totals());
    });
}

// A count as its book holds it, or as the day starts.
void DayTab::showStarting(const CashCount &count)
{
    countShown = count;
    showCount(page, count);
    const std::optional<CashRecord> last = lastOf(records, page.model->date());
    reasonTypedFor = last ? last->difference : std::nullopt;
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
    showStarting(startingCount(records, date));
    if (typed) {
        showCount(page, *typed);
        reasonTypedFor = difference(*typed, page.model->totals());
    }
    refreshCash();
}

DayTab::Stamp DayTab::stampOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    return {info.size(), info.lastModified(), info.metadataChangeTime()};
}

// Prints, or another copy of the program, may have changed the files since;
// twenty seasons are read again only then.
void DayTab::read()
{
    bool sheetsChanged = false;
    const auto readAgain = [](const QString &fileName, std::optional<Stamp> &read, QString &error,
                              const std::function<bool(QString *)> &reading) {
        const Stamp now = stampOf(fileName);
        if (read == now)
            return false;
        error.clear();
        read = now;
        if (!reading(&error))
            read.reset();
        return true;
    };
    // The cash book is read on a thread of its own while this one reads the
    // journal: twenty seasons of both take half the time.
    QList<CashRecord> readRecords;
    QString readCashError;
    bool cashRead = false;
    const std::unique_ptr<QThread> cashReader(QThread::create([&readRecords, &readCashError, &cashRead] {
        cashRead = readCashBook(cashFileName(), &readRecords, &readCashError);
    }));
    const bool cashChanged = readAgain(cashFileName(), cashBookRead, cashError, [&](QString *) {
        cashReader->start();
        return true;
    });
    sheetsChanged |= readAgain(journal::journalFileName(), journalRead, journalError, [this](QString *error) {
        return readSheets(journal::journalFileName(), &sheets, error) || (sheets.clear(), false);
    });
    sheetsChanged |= readAgain(typedPrizesFileName(), typedRead, typedError, [this](QString *error) {
        return readTypedPrizes(typedPrizesFileName(), &typedPrizes, error) || (typedPrizes.clear(), false);
    });
    if (cashChanged) {
        cashReader->wait();
        records = cashRead ? std::move(readRecords) : QList<CashRecord>();
        cashError = readCashError;
        if (!cashRead)
            cashBookRead.reset();
    }
    // The journal's sheets take the prizes typed for them.
    if (sheetsChanged)
        applyTypedPrizes(sheets, typedPrizes);
    problem = QStringList{journalError, cashError, typedError}.join(QLatin1Char('\n')).trimmed();
    page.problemeJournal->setText(problem);
    page.problemeJournal->setVisible(!problem.isEmpty());

    QList<QDate> bookDays;
    for (const CashRecord &record : std::as_const(records))
        bookDays << record.closed.date();
    const QDate chosen = page.jourBilan->currentData().toDate();
    const QList<QDate> choices = days(sheets, QDate::currentDate(), bookDays);
    page.jourBilan->clear();
    // Into the combo box's model at once: one insertion, not 7,000 for
    // twenty seasons.
    QList<QStandardItem *> items;
    items.reserve(choices.size());
    for (const QDate &date : choices) {
        auto *const item = new QStandardItem(dayName(date));
        item->setData(date, Qt::UserRole);
        items << item;
    }
    qobject_cast<QStandardItemModel *>(page.jourBilan->model())->invisibleRootItem()->appendRows(items);
    const int index = qMax(0, choices.indexOf(chosen.isValid() ? chosen : choices.value(0)));
    page.jourBilan->setCurrentIndex(index);
    page.model->setDay(sheets, choices.value(index));
    if (!countUnprinted())
        showStarting(startingCount(records, choices.value(index)));
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
    page.fondConserve->setText(euros(floatKept(count)));
    QStringList unknown;
    for (int row = 0; row < page.model->sheets().size(); ++row)
        if (!page.model->sheets()[row].prizes)
            unknown << page.model->shootName(row);
    page.prixInconnus->setText(unknown.isEmpty() ? QString() : unknownPrizesNote(unknown));
    page.prixInconnus->setVisible(!unknown.isEmpty());
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

Heading DayTab::heading() const { return {form.blasonPrint->text(), form.nomClub->text().trimmed()}; }

bool DayTab::countMakesSense()
{
    const CashCount count = countIn(page);
    const Totals &totals = page.model->totals();
    const std::optional<Cents> due = expected(count, totals), off = difference(count, totals);
    QStringList doubts;
    if (due && off && qAbs(*off) > qAbs(*due))
        doubts << QStringLiteral("L'écart (%1) dépasse la caisse attendue (%2).").arg(signedEuros(*off), euros(*due));
    if (count.deposit > counted(count))
        doubts << QStringLiteral("La remise en banque (%1) dépasse la caisse comptée (%2)\u00a0: le fond de caisse "
                                 "conservé serait de %3.")
                      .arg(euros(count.deposit), euros(counted(count)), euros(floatKept(count)));
    if (!doubts.isEmpty()
        && !confirmAnyway(window, QStringLiteral("Le comptage ne semble pas juste."),
                        doubts.join(QLatin1Char(' '))
                            + QStringLiteral(" Vérifiez les nombres de billets et de pièces et la remise en banque, "
                                             "puis imprimez."),
                        QStringLiteral("Imprimer quand même")))
        return false;
    if (!count.reason.trimmed().isEmpty() && reasonTypedFor != off)
        return confirmAnyway(window, QStringLiteral("Le motif de l'écart a été tapé pour un autre écart."),
                           QStringLiteral("Il a été tapé pour un écart de %1\u00a0; l'écart est maintenant de "
                                          "%2. Motif\u00a0: «\u00a0%3\u00a0».")
                               .arg(reasonTypedFor ? signedEuros(*reasonTypedFor) : unknownText(),
                                    off ? signedEuros(*off) : unknownText(), count.reason.trimmed()),
                           QStringLiteral("Imprimer avec ce motif"));
    return true;
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
    if (!countMakesSense())
        return;
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
            const QByteArray pdf = renderPaper(dayStatement(heading(), page.model->sheets(), numberedRecord));
            if (!pdf.isEmpty() && replaceWhole(printedFile, pdf, &printError))
                return true;
            if (pdf.isEmpty())
                printError = QStringLiteral("Rien n'a été imprimé");
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
    reasonTypedFor = record.difference;
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
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const QByteArray pdf = renderPaper(seasonStatement(heading(), date, sheets, records));
    QGuiApplication::restoreOverrideCursor();
    writeAndOpen(window, pdf, seasonStatementFileName(date));
}

void DayTab::keepTypedPrizes(const Sheet &sheet, Cents prizes)
{
    const TypedPrizes typed{sheet.printed.date(), sheet.category, sheet.file, prizes,
                            csv::asWritten(QDate::currentDate(), QTime::currentTime())};
    QString error;
    if (!appendTypedPrizes(typedPrizesFileName(), journal::journalFileName(), typed, &error)) {
        warnAboutFile(window, QStringLiteral("Les prix payés n'ont pas pu être notés."), typedPrizesFileName(), error);
        return;
    }
    // The count typed stays; the table and what the box should hold follow.
    const CashCount typedCount = countIn(page);
    const bool unprinted = countUnprinted();
    read();
    if (unprinted)
        showCount(page, typedCount);
    refreshCash();
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
