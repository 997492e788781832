#pragma once

#include <QList>
#include <QString>

// Sharing the prize pool: the main prizes, then the minimum gain for as many
// further places as the rest allows, and the prize list shown in "Gain".

namespace prizes {

enum class PrizeMode { Percentage, Fixed };

// Main prizes at most: the prize rows of the settings tab.
constexpr int maxPrizes = 5;

// "1er", "2ème", … as the prize list and its trace name a place.
QString ordinal(qsizetype place);

// The pool as "Somme des prix distribués" shows it: the integer before the
// first space, 0 when there is none (an empty field before any count).
int poolFromText(const QString &text);

struct MainPrize
{
    int value = 0;  // the setting: a percentage, or whole euros in fixed mode
    int amount = 0; // what the place is paid, whole euros
};

struct Distribution
{
    PrizeMode mode = PrizeMode::Percentage;
    float pool = 0;
    QList<MainPrize> prizes; // places 1 to k
    int total = 0;           // sum of the main prizes
    float remainder = 0;     // pool less total
    int minimumGain = 0;
    int count = 0;           // places paid the minimum gain; negative on overshoot
    int firstPlace = 1;      // k + 1
    int lastPlace = 0;       // firstPlace + count - 1
    float leftover = 0;      // remainder less the minimum gains paid
};

// The HTML appended to "Gain".
QString prizeListHtml(const Distribution &distribution);

} // namespace prizes
