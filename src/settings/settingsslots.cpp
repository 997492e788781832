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
#include <QRadioButton>
#include <QSpinBox>

#include <array>

namespace {

// The bytes read at start; silence it with QT_LOGGING_RULES="prixgeneral.*=false".
Q_LOGGING_CATEGORY(lcSettings, "prixgeneral.settings")

const QString settingsFileName = QStringLiteral("save.ini");

Settings settingsFromForm(const MainWindowForm &form)
{
    Settings s;
    s.betPrice = form.tarifMise->value();
    s.blackPrice = form.tarifNoir->value();
    s.minimumGain = form.gainMini->value();
    s.costsPercent = form.pourcentFrais->value();
    s.prizeCount = form.nbPrix->value();
    s.fixedPrizes = form.radioFixe->isChecked();
    const auto boxes = prizes::prizeValueBoxes(form);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        s.prizeValues[i] = boxes[i]->value();
    s.crestPath = form.blasonPrint->text();
    s.roundToFive = form.cinqEuro->isChecked();
    return s;
}

} // namespace

void MainWindow::loadSettings()
{
    // The form starts with a single prize in use.
    prizes::showPrizeRows(*form, 1);
    prizes::setPrizeUnit(*form, form->radioFixe->isChecked());

    const QByteArray bytes = readSettingsFile(settingsFileName);
    qCDebug(lcSettings) << bytes;
    const std::optional<Settings> stored = parseSettingsLine(bytes);
    if (!stored)
        return;

    form->tarifMise->setValue(stored->betPrice);
    form->tarifNoir->setValue(stored->blackPrice);
    form->gainMini->setValue(stored->minimumGain);
    form->pourcentFrais->setValue(stored->costsPercent);
    // Shows the rows in use through on_nbPrix_valueChanged, if the count changes.
    form->nbPrix->setValue(stored->prizeCount);

    // Checking a button emits no clicked signal, so the handlers are run here.
    if (stored->fixedPrizes) {
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
        boxes[i]->setValue(stored->prizeValues[i]);
    form->blasonPrint->setText(stored->crestPath);

    if (stored->roundToFive) {
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
    const Settings settings = settingsFromForm(*form);
    if (!isStorableCrestPath(settings.crestPath)) {
        warn(QStringLiteral("Le chemin du blason ne doit pas contenir de point-virgule\u00a0!"), settings.crestPath);
        return;
    }
    QString error;
    if (!replaceWhole(settingsFileName, settingsLine(settings), &error))
        warn(QStringLiteral("Erreur lors de la sauvegarde du fichier !"),
             QDir::current().absoluteFilePath(settingsFileName) + QLatin1Char('\n') + error);
}
