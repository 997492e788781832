#include "app/mainwindow.h"

#include "files/wholefile.h"
#include "form/mainwindowform.h"
#include "prizes/prizerows.h"
#include "settings/settingsfile.h"
#include "settings/settingsline.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <array>

namespace {

// The bytes read at start; silence it with QT_LOGGING_RULES="prixgeneral.*=false".
Q_LOGGING_CATEGORY(lcSettings, "prixgeneral.settings")

const QString settingsFileName = QStringLiteral("save.ini");

} // namespace

Settings MainWindow::formSettings() const
{
    const MainWindowForm &f = *form;
    Settings s;
    s.betPrice = f.tarifMise->value();
    s.blackPrice = f.tarifNoir->value();
    s.minimumGain = f.gainMini->value();
    s.costsPercent = f.pourcentFrais->value();
    s.prizeCount = f.nbPrix->value();
    s.fixedPrizes = f.radioFixe->isChecked();
    const auto boxes = prizes::prizeValueBoxes(f);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        s.prizeValues[i] = boxes[i]->value();
    s.crestPath = f.blasonPrint->text();
    s.roundToFive = f.cinqEuro->isChecked();
    return s;
}

void MainWindow::loadSettings()
{
    // The form starts with a single prize in use.
    prizes::showPrizeRows(*form, 1);
    prizes::setPrizeUnit(*form, form->radioFixe->isChecked());

    const QByteArray bytes = readSettingsFile(settingsFileName);
    qCDebug(lcSettings) << bytes;
    const std::optional<Settings> stored = parseSettingsLine(bytes);
    if (!stored) {
        // The form's own values are no club's: a list computed from them
        // means nothing until the club's are set.
        settingsKept = formSettings();
        form->TextGain->setPlaceholderText(
            QStringLiteral("Premier démarrage\u00a0: réglez les tarifs et les prix du club sur l'onglet "
                           "Configuration, puis cliquez sur Sauvegarder."));
        return;
    }
    applySettings(*stored);
    settingsKept = formSettings();
}

void MainWindow::applySettings(const Settings &stored)
{
    form->tarifMise->setValue(stored.betPrice);
    form->tarifNoir->setValue(stored.blackPrice);
    form->gainMini->setValue(stored.minimumGain);
    form->pourcentFrais->setValue(stored.costsPercent);
    // Shows the rows in use through on_nbPrix_valueChanged, if the count changes.
    form->nbPrix->setValue(stored.prizeCount);

    // Checking a button emits no clicked signal, so the handlers are run here.
    if (stored.fixedPrizes) {
        form->radioFixe->setChecked(true);
        form->radioPourcent->setChecked(false);
        on_radioFixe_clicked(true);
    } else {
        form->radioFixe->setChecked(false);
        form->radioPourcent->setChecked(true);
        on_radioPourcent_clicked(true);
    }

    const auto boxes = prizes::prizeValueBoxes(*form);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setValue(stored.prizeValues[i]);
    form->blasonPrint->setText(stored.crestPath);

    if (stored.roundToFive) {
        form->cinqEuro->setChecked(true);
        form->unEuro->setChecked(false);
        on_cinqEuro_clicked(true);
    } else {
        form->unEuro->setChecked(true);
        form->cinqEuro->setChecked(false);
        on_unEuro_clicked(true);
    }
}

void MainWindow::on_commandLinkButton_2_clicked()
{
    saveSettings();
}

bool MainWindow::saveSettings()
{
    const Settings settings = formSettings();
    if (!isStorableCrestPath(settings.crestPath)) {
        warn(QStringLiteral("Le chemin du blason ne doit pas contenir de point-virgule\u00a0!"), settings.crestPath);
        return false;
    }
    QString error;
    if (!replaceWhole(settingsFileName, settingsLine(settings), &error)) {
        warn(QStringLiteral("Erreur lors de la sauvegarde du fichier !"),
             QDir::current().absoluteFilePath(settingsFileName) + QLatin1Char('\n') + error);
        return false;
    }
    settingsKept = settings;
    form->TextGain->setPlaceholderText(QString());
    workChanged();
    return true;
}
