// Prix général: one window, no model. The widgets are the data: every slot
// reads the widgets it needs when it runs, hands the values to plain
// functions (src/prizes, src/settings, src/report) and writes the results
// back. The widget tree is built in code by MainWindowForm (src/form); the
// slots are bound to it by name, and each area keeps its slot bodies beside
// its own code (prizeslots.cpp, settingsslots.cpp, reportslots.cpp).
#include "app/mainwindow.h"

#include "app/guidewindow.h"
#include "app/messagebox.h"
#include "day/cash.h"
#include "day/daypage.h"
#include "day/sheets.h"
#include "form/mainwindowform.h"
#include "recovery/keeper.h"
#include "recovery/work.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCommandLinkButton>
#include <QDoubleSpinBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>

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
    // The totals follow the tariffs as they follow the counts, but only once
    // a count has first shown them: the fields open empty.
    const auto followTariffs = [this] {
        if (!form->sommePrix->text().isEmpty())
            refreshTotals();
    };
    connect(form->tarifMise, &QDoubleSpinBox::valueChanged, this, followTariffs);
    connect(form->tarifNoir, &QDoubleSpinBox::valueChanged, this, followTariffs);
    connect(form->pourcentFrais, &QSpinBox::valueChanged, this, followTariffs);
    connect(form->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::showDayPage);
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

void MainWindow::warn(const QString &text, const QString &details)
{
    QMessageBox box(this);
    setUpWarning(box, text, details);
    box.exec();
}

bool MainWindow::listHoldsUnprintedTyping() const
{
    const QTextDocument *list = form->TextGain->document();
    return list->isModified() && list->revision() != listPrintedAt;
}

// The winners' names are typed into the prize list just before posting the
// sheet, the cash box is counted at the day's end, and the club's tariffs may
// have been changed for the day: one click on the close button must not throw
// any of them away unseen.
bool MainWindow::mayClose()
{
    const bool list = listHoldsUnprintedTyping();
    const bool count = countUnprinted();
    const bool settings = !(formSettings() == settingsKept);
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
    return box.clickedButton() == discard || (box.clickedButton() == save && saveSettings());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (endingAnswered || mayClose()) {
        // Closed on purpose: nothing is left to offer back.
        if (keeper)
            keeper->discard();
        keepTimer.stop();
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
