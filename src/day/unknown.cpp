#include "day/unknown.h"

namespace day {

QString unknownPrizesText() { return QStringLiteral("prix inconnus (liste saisie à la main)"); }
QString unknownExpectedText() { return QStringLiteral("inconnue (prix d'une liste saisie à la main)"); }
QString unknownText() { return QStringLiteral("inconnu"); }
QString unknownOnPaperText() { return QStringLiteral("inconnu (prix inconnus, liste saisie à la main)"); }
QString unknownExpectedOnPaperText()
{
    return QStringLiteral("ne peut pas être calculé (prix inconnus, liste saisie à la main)");
}

QString noCountText() { return QStringLiteral("aucun comptage"); }

} // namespace day
