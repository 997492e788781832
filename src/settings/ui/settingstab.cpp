#include "settings/ui/settingstab.h"

#include "files/wholefile.h"
#include "form/mainwindowform.h"
#include "form/messagebox.h"
#include "prizes/ui/prizerows.h"
#include "settings/settingsfile.h"

#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace {

// The bytes read at start; silence it with QT_LOGGING_RULES="prixgeneral.*=false".
Q_LOGGING_CATEGORY(lcSettings, "prixgeneral.settings")

const QString settingsFileName = QStringLiteral("save.ini");

} // namespace

SettingsTab::SettingsTab(const MainWindowForm &form, QWidget *window) : QObject(window), form(form), window(window)
{
}

Settings SettingsTab::shown() const
{
    Settings s;
    s.betPrice = form.tarifMise->value();
    s.blackPrice = form.tarifNoir->value();
    s.minimumGain = form.gainMini->value();
    s.costsPercent = form.pourcentFrais->value();
    s.prizeCount = form.nbPrix->value();
    s.fixedPrizes = form.radioFixe->isChecked();
    const auto boxes = prizeValueBoxes(form);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        s.prizeValues[i] = boxes[i]->value();
    s.crestPath = form.blasonPrint->text();
    s.roundToFive = form.cinqEuro->isChecked();
    s.clubName = form.nomClub->text().trimmed();
    return s;
}

std::optional<Settings> SettingsTab::unsaved() const
{
    const Settings settings = shown();
    if (settings == kept)
        return std::nullopt;
    return settings;
}

void SettingsTab::load()
{
    // The form starts with a single prize in use.
    showPrizeRows(form, 1);
    setPrizeUnit(form, form.radioFixe->isChecked());

    const QByteArray bytes = readSettingsFile(settingsFileName);
    qCDebug(lcSettings) << bytes;
    form.nomClub->setText(readClubName(clubFileName()));
    const std::optional<Settings> stored = parseSettingsLine(bytes);
    if (!stored) {
        // The form's own values are no club's: a list computed from them
        // means nothing until the club's are set.
        kept = shown();
        form.TextGain->setPlaceholderText(
            QStringLiteral("Premier démarrage\u00a0: réglez les tarifs et les prix du club sur l'onglet "
                           "Configuration, puis cliquez sur Sauvegarder."));
        return;
    }
    applyLine(*stored);
    kept = shown();
}

void SettingsTab::apply(const Settings &stored)
{
    applyLine(stored);
    form.nomClub->setText(stored.clubName);
}

void SettingsTab::applyLine(const Settings &stored)
{
    form.tarifMise->setValue(stored.betPrice);
    form.tarifNoir->setValue(stored.blackPrice);
    form.gainMini->setValue(stored.minimumGain);
    form.pourcentFrais->setValue(stored.costsPercent);
    // Shows the rows in use through on_nbPrix_valueChanged, if the count changes.
    form.nbPrix->setValue(stored.prizeCount);

    // Checking a button emits no clicked signal, so the handlers are run here.
    if (stored.fixedPrizes) {
        form.radioFixe->setChecked(true);
        form.radioPourcent->setChecked(false);
    } else {
        form.radioFixe->setChecked(false);
        form.radioPourcent->setChecked(true);
    }
    choosePrizeType(stored.fixedPrizes);

    const auto boxes = prizeValueBoxes(form);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setValue(stored.prizeValues[i]);
    form.blasonPrint->setText(stored.crestPath);

    if (stored.roundToFive) {
        form.cinqEuro->setChecked(true);
        form.unEuro->setChecked(false);
    } else {
        form.unEuro->setChecked(true);
        form.cinqEuro->setChecked(false);
    }
    chooseRounding(stored.roundToFive);
}

bool SettingsTab::save()
{
    const Settings settings = shown();
    if (!isStorableCrestPath(settings.crestPath)) {
        warn(window, QStringLiteral("Le chemin du blason ne doit pas contenir de point-virgule\u00a0!"),
             settings.crestPath);
        return false;
    }
    QString error;
    if (!replaceWhole(settingsFileName, settingsLine(settings), &error)) {
        warnAboutFile(window, QStringLiteral("Erreur lors de la sauvegarde du fichier !"), settingsFileName, error);
        return false;
    }
    // Beside save.ini, whose 13 fields stay as they are; no file for no name.
    const bool clubFile = !settings.clubName.isEmpty() || QFileInfo::exists(clubFileName());
    if (clubFile && !replaceWhole(clubFileName(), clubFileBytes(settings.clubName), &error)) {
        warnAboutFile(window, QStringLiteral("Erreur lors de la sauvegarde du fichier !"), clubFileName(), error);
        return false;
    }
    kept = settings;
    form.TextGain->setPlaceholderText(QString());
    emit changed();
    return true;
}

void SettingsTab::showPrizeCount(int count)
{
    setPrizeUnit(form, form.radioFixe->isChecked());
    showPrizeRows(form, count);
}

void SettingsTab::choosePrizeType(bool fixedAmounts)
{
    (fixedAmounts ? form.radioPourcent : form.radioFixe)->setChecked(false);
    setPrizeUnit(form, fixedAmounts);
}

void SettingsTab::chooseRounding(bool toFive)
{
    form.unEuro->setChecked(!toFive);
    form.cinqEuro->setChecked(toFive);
}
