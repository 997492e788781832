#pragma once

#include "prizes/distribution.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// What "save.ini" keeps between runs, as plain values. The reader leaves
// range checks to the spin boxes that receive the values.
struct Settings
{
    double betPrice = 0;            // tarifMise
    double blackPrice = 0;          // tarifNoir
    int minimumGain = 0;            // gainMini
    int costsPercent = 0;           // pourcentFrais
    int prizeCount = 0;             // nbPrix
    bool fixedPrizes = false;       // radioFixe, else radioPourcent
    std::array<int, prizes::maxPrizes> prizeValues{}; // valeurPrix1 to valeurPrix5
    QString crestPath;              // blasonPrint
    bool roundToFive = false;       // cinqEuro, else unEuro
    // nomClub: kept beside save.ini, in a file of its own (clubFileName), so
    // that save.ini stays its 13 fields.
    QString clubName;

    friend bool operator==(const Settings &a, const Settings &b)
    {
        return a.betPrice == b.betPrice && a.blackPrice == b.blackPrice
            && a.minimumGain == b.minimumGain && a.costsPercent == b.costsPercent
            && a.prizeCount == b.prizeCount && a.fixedPrizes == b.fixedPrizes
            && a.prizeValues == b.prizeValues && a.crestPath == b.crestPath
            && a.roundToFive == b.roundToFive && a.clubName == b.clubName;
    }
};

// The one line of 13 ";"-separated fields, UTF-8, no line end. Numbers use
// "." whatever the locale.
QByteArray settingsLine(const Settings &settings);

// Nothing unless the bytes hold exactly 13 fields. Malformed numbers read as 0.
std::optional<Settings> parseSettingsLine(const QByteArray &line);

// A ";" in the path would split it into two fields and the whole line would
// be ignored at the next start.
bool isStorableCrestPath(const QString &path);
