#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// A warning or a question of the program: its words, what it concerns, and
// the program's name as the title. Left empty, the title would show the
// executable's name, "prixgeneral", which Qt puts in its place.
void setUpWarning(QMessageBox &box, const QString &text, const QString &details);

// A warning over `parent`: `text` as it always reads, `details` saying
// what it concerns and why.
void warn(QWidget *parent, const QString &text, const QString &details);
// The file `fileName` of the working folder, its whole path as the system
// writes it (C:\… on Windows).
QString shownPath(const QString &fileName);
// A warning about that file: its path, then `reason`.
void warnAboutFile(QWidget *parent, const QString &text, const QString &fileName, const QString &reason);

// Asks over `parent` before `action` throws typing away: true only when the
// treasurer chose `action`. "Annuler" is the default and Esc, so no key
// pressed too fast loses anything.
bool confirmLoss(QWidget *parent, const QString &text, const QString &details, const QString &action);
// The same question before `action` goes ahead on what looks wrong (a
// count that does not add up): a question's icon, the action not destructive.
bool confirmAnyway(QWidget *parent, const QString &text, const QString &details, const QString &action);

// The title of every box the program shows.
QString messageTitle();
