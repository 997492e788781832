// Keeping the treasurer's work across a crash or a dead battery: the window
// side of src/recovery. The work is written after a pause in the changes,
// not at every key, and only while it differs from the window's start.
#include "app/mainwindow.h"

#include "app/messagebox.h"
#include "day/daymodel.h"
#include "day/daypage.h"
#include "form/mainwindowform.h"
#include "prizes/prizefigures.h"
#include "recovery/keeper.h"
#include "recovery/work.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

// A pause this long in the changes writes the work: a name list typed in
// one go is written once, and never later than this after its last key.
constexpr int keepAfterMs = 1500;

} // namespace

recovery::Work MainWindow::currentWork() const
{
    recovery::Work work;
    work.category = form->comboBox->currentText();
    work.bets = form->nbMises->value();
    work.blacksPaid = form->nbNoirsPayes->value();
    const QTextDocument *list = form->TextGain->document();
    work.list = list->isEmpty() ? QString() : list->toHtml();
    if (computed)
        work.listComputedFor = computed->figures;
    work.listTyped = list->isModified();
    work.listTypingPrinted = work.listTyped && list->revision() == listPrintedAt;
    const Settings settings = formSettings();
    if (!(settings == settingsKept))
        work.unsavedSettings = settings;
    if (countUnprinted())
        work.unprintedCount = recovery::CountOfDay{dayPage->model->date(), countIn(*dayPage)};
    return work;
}

void MainWindow::restoreWork(const recovery::Work &work)
{
    // Settings first: the totals follow the tariffs they were typed under.
    if (work.unsavedSettings)
        applySettings(*work.unsavedSettings);
    form->comboBox->setCurrentText(work.category);
    form->nbMises->setValue(work.bets);
    form->nbNoirsPayes->setValue(work.blacksPaid);
    if (work.bets != 0 || work.blacksPaid != 0)
        refreshTotals();
    QTextDocument *list = form->TextGain->document();
    if (work.list.isEmpty())
        form->TextGain->clear();
    else
        list->setHtml(work.list);
    computed.reset();
    if (work.listComputedFor)
        computed = computedList(*work.listComputedFor, prizes::distribute(*work.listComputedFor));
    list->setModified(work.listTyped);
    listPrintedAt = work.listTypingPrinted ? list->revision() : -1;
    if (work.unprintedCount) {
        buildDayPage();
        readDay();
        showCountOf(work.unprintedCount->day, &work.unprintedCount->count);
    }
}

void MainWindow::workChanged()
{
    // An answer to the session's end was about the work as it stood.
    endingAnswered = false;
    if (keeper)
        keepTimer.start(keepAfterMs);
}

void MainWindow::keepWorkNow()
{
    keepTimer.stop();
    if (!keeper)
        return;
    const recovery::Work work = currentWork();
    QString error;
    // A folder that takes no file leaves the program as it was without this.
    if (work == *startWork)
        keeper->discard();
    else
        keeper->keep(work, &error);
}

void MainWindow::keepWorkAcrossCrashes()
{
    keeper = std::make_unique<recovery::Keeper>();
    if (!keeper->claim()) {
        keeper.reset();
        return;
    }
    startWork = std::make_unique<recovery::Work>(currentWork());
    keepTimer.setSingleShot(true);
    connect(&keepTimer, &QTimer::timeout, this, &MainWindow::keepWorkNow);
    const auto changed = [this] { workChanged(); };
    connect(form->comboBox, &QComboBox::currentTextChanged, this, changed);
    connect(form->TextGain, &QPlainTextEdit::textChanged, this, changed);
    connect(form->blasonPrint, &QLineEdit::textChanged, this, changed);
    for (QSpinBox *box : findChildren<QSpinBox *>())
        connect(box, &QSpinBox::valueChanged, this, changed);
    for (QDoubleSpinBox *box : findChildren<QDoubleSpinBox *>())
        connect(box, &QDoubleSpinBox::valueChanged, this, changed);
    for (QRadioButton *button : findChildren<QRadioButton *>())
        connect(button, &QRadioButton::toggled, this, changed);

    // The newest first; work not taken back now stays for the next start.
    const recovery::LeftBehind left = recovery::leftBehind(QString());
    for (auto found = left.works.crbegin(); found != left.works.crend(); ++found) {
        QMessageBox box(this);
        const QLocale french(QLocale::French, QLocale::France);
        setUpWarning(box, QStringLiteral("Prix général a été arrêté sans avoir été fermé."),
                     QStringLiteral("Le travail en cours a été gardé le %1 à %2. Reprendre le remet dans la "
                                    "fenêtre, tel qu'il était\u00a0; Ignorer l'écarte définitivement.")
                         .arg(french.toString(found->work.keptAt.date(), QStringLiteral("dddd d MMMM yyyy")),
                              found->work.keptAt.time().toString(QStringLiteral("HH:mm"))));
        box.setIcon(QMessageBox::Question);
        QPushButton *resume = box.addButton(QStringLiteral("Reprendre"), QMessageBox::AcceptRole);
        QPushButton *ignore = box.addButton(QStringLiteral("Ignorer"), QMessageBox::DestructiveRole);
        // Neither Enter nor Esc throws the work away.
        box.setDefaultButton(resume);
        box.setEscapeButton(resume);
        box.exec();
        if (box.clickedButton() == ignore) {
            recovery::release(*found);
        } else if (box.clickedButton() == resume) {
            QString error;
            restoreWork(found->work);
            if (!keeper->takeBack(*found, &error))
                keepWorkNow();
            break;
        }
    }
}
