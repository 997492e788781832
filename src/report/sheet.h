#pragma once

#include <QString>

// What goes on a prize sheet, as the window shows it at the moment of printing.
struct SheetContent
{
    QString crestPath;     // image source: a file path or a ":/" resource
    QString category;      // bow category, e.g. "arc classique"
    QString poolText;      // the prize pool exactly as displayed
    int bets = 0;
    int blacksPaid = 0;
    QString prizeListHtml; // the prize list's own exported HTML document
};

// How high the sheet shows the crest, in the document's pixels.
constexpr int crestHeight = 300;

// "prixGeneral_arc_classique.pdf" for "arc classique": relative, no spaces.
QString sheetFileName(const QString &category);

// The sheet's HTML page.
QString sheetHtml(const SheetContent &content);
