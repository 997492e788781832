#include "report/sheet.h"

QString sheetFileName(const QString &category)
{
    return QStringLiteral("prixGeneral_") + QString(category).replace(QLatin1Char(' '), QLatin1Char('_'))
        + QStringLiteral(".pdf");
}

QString sheetHtml(const SheetContent &content)
{
    // The header's body and html are left open on purpose: the prize list is a
    // whole exported document and the importer copes with it following directly.
    // The crest path is escaped so that a quote or "&" in it cannot cut the
    // attribute short; the importer decodes it back to the real path.
    return QStringLiteral("<html><body><center><img src=\"") + content.crestPath.toHtmlEscaped()
        + QStringLiteral("\" height=") + QString::number(crestHeight) + QStringLiteral("><BR><H1>Prix général ") + content.category
        + QStringLiteral("</H1><H2>Montant des prix</H2></center><BR>Somme à distribuer : ")
        + content.poolText + QStringLiteral("<BR>") + QString::number(content.bets)
        + QStringLiteral(" mises effectuées<BR>") + QString::number(content.blacksPaid)
        + QStringLiteral(" noirs payés<BR>") + content.prizeListHtml;
}
