#include "recovery/ui/workkeeper.h"

#include "form/mainwindowform.h"
#include "form/messagebox.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace recovery {

namespace {

// A pause this long in the changes writes the work: a name list typed in
// one go is written once, and never later than this after its last key.
constexpr int keepAfterMs = 1500;

} // namespace

WorkKeeper::WorkKeeper(const MainWindowForm &form, QWidget *window, std::function<Work()> gather,
                       std::function<void(const Work &)> restore)
    : QObject(window), form(form), window(window), gather(std::move(gather)), restore(std::move(restore))
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &WorkKeeper::keepNow);
}

void WorkKeeper::noteChange()
{
    emit changed();
    if (keeper)
        timer.start(keepAfterMs);
}

void WorkKeeper::keepNow()
{
    timer.stop();
    if (!keeper)
        return;
    const Work work = gather();
    QString error;
    if (work == *startWork)
        keeper->discard();
    else if (!keeper->keep(work, &error))
        sayNotKept(QDir::toNativeSeparators(QFileInfo(keeper->fileName()).absoluteFilePath()) + QLatin1Char('\n')
                   + error);
}

void WorkKeeper::sayNotKept(const QString &why)
{
    if (toldNotKept)
        return;
    toldNotKept = true;
    warn(window, QStringLiteral("Le travail en cours ne peut pas être gardé en cas d'arrêt brutal."),
         why + QStringLiteral("\nLe programme continue\u00a0: imprimez les feuilles et sauvegardez la configuration "
                              "comme d'habitude. Ce qui n'est ni imprimé ni sauvegardé serait perdu si l'ordinateur "
                              "s'arrêtait."));
}

void WorkKeeper::discard()
{
    if (keeper)
        keeper->discard();
    timer.stop();
}

void WorkKeeper::start()
{
    removeUnfinishedWrites(QString());
    keeper = std::make_unique<Keeper>();
    // A full or read-only folder keeps nothing, but what is left there is still offered.
    const bool claimed = keeper->claim();
    if (!claimed)
        keeper.reset();
    startWork = gather();
    // The fields of "Calcul" and "Configuration"; the "Journée" tab tells its own.
    const auto changed = [this] { noteChange(); };
    connect(form.comboBox, &QComboBox::currentTextChanged, this, changed);
    connect(form.TextGain, &QPlainTextEdit::textChanged, this, changed);
    connect(form.blasonPrint, &QLineEdit::textChanged, this, changed);
    connect(form.nomClub, &QLineEdit::textChanged, this, changed);
    for (QSpinBox *box : window->findChildren<QSpinBox *>())
        connect(box, &QSpinBox::valueChanged, this, changed);
    for (QDoubleSpinBox *box : window->findChildren<QDoubleSpinBox *>())
        connect(box, &QDoubleSpinBox::valueChanged, this, changed);
    for (QRadioButton *button : window->findChildren<QRadioButton *>())
        connect(button, &QRadioButton::toggled, this, changed);
    offerLeftBehind();
    if (!claimed)
        sayNotKept(QDir::toNativeSeparators(QDir::currentPath()) + QLatin1Char('\n')
                   + QStringLiteral("Le dossier n'accepte pas de nouveau fichier (disque plein, dossier en lecture "
                                    "seule, ou droits insuffisants)."));
}

void WorkKeeper::offerLeftBehind()
{
    // The newest first; work not taken back now stays for the next start.
    const LeftBehind left = leftBehind(QString());
    if (!left.setAside.isEmpty() || !left.unread.isEmpty()) {
        QStringList files;
        for (const QString &name : left.setAside)
            files << QStringLiteral("%1 (abîmé ou d'une autre forme\u00a0: mis de côté sous ce nom)")
                         .arg(QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath()));
        for (const Unread &unread : left.unread)
            files << QStringLiteral("%1 (illisible\u00a0: %2\u00a0; laissé tel quel)")
                         .arg(QDir::toNativeSeparators(QFileInfo(unread.fileName).absoluteFilePath()), unread.why);
        warn(window, QStringLiteral("Un travail gardé lors d'un arrêt brutal n'a pas pu être relu."),
             files.join(QLatin1Char('\n')));
    }
    for (auto found = left.works.crbegin(); found != left.works.crend(); ++found) {
        QMessageBox box(window);
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
            release(*found);
        } else if (box.clickedButton() == resume) {
            QString error;
            restore(found->work);
            // Where this copy keeps nothing, the file stays to be offered again.
            if (keeper && !keeper->takeBack(*found, &error))
                keepNow();
            break;
        }
    }
}

} // namespace recovery
