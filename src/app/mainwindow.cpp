// Prix général: one window, no model. The widgets are the data: every slot
// reads the widgets it needs when it runs, hands the values to plain
// functions (src/prizes, src/settings, src/report) and writes the results
// back. The widget tree is built in code by MainWindowForm (src/form); the
// slots are bound to it by name, and each area keeps its slot bodies beside
// its own code (prizeslots.cpp, settingsslots.cpp, reportslots.cpp).
#include "app/mainwindow.h"

#include "app/guidewindow.h"
#include "app/messagebox.h"
#include "form/mainwindowform.h"

#include <QCloseEvent>
#include <QCommandLinkButton>
#include <QDoubleSpinBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
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

// The winners' names are typed into the prize list just before posting the
// sheet; one click on the close button must not throw them away unseen.
// Nothing else is kept at close: "Sauvegarder" alone saves the settings.
void MainWindow::closeEvent(QCloseEvent *event)
{
    const QTextDocument *list = form->TextGain->document();
    if (!list->isModified() || list->revision() == listPrintedAt) {
        QMainWindow::closeEvent(event);
        return;
    }
    QMessageBox box(this);
    setUpWarning(box, QStringLiteral("La liste des prix contient des modifications qui n'ont pas été imprimées."),
                 QStringLiteral("Si vous fermez la fenêtre, ce que vous avez saisi dans la liste depuis le dernier "
                                "calcul sera perdu. Pour le garder, annulez, puis imprimez."));
    QPushButton *close = box.addButton(QStringLiteral("Fermer sans imprimer"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == close)
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}
