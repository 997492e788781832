#pragma once

#include "journal/journal.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class FileReplacement;

// A category shot more than once a day: each shoot has its sheet and its
// journal row. The sheet of the documented name, prixGeneral_<catégorie>.pdf,
// is always the latest printed; each shoot's is also kept under a name of
// its own, which its row's "Feuille" gives.

// "prixGeneral_arc_classique_2026-12-10_tir2.pdf": relative, no spaces.
QString shootFileName(const QString &category, const QDate &day, int number);

// The shoot number in such a name; 1 for the documented name, which an
// older version gave the day's one shoot of a category; 0 for any other.
int shootNumber(const QString &category, const QDate &day, const QString &sheet);

// The number the next shoot of `category` on `day` takes, given the
// journal's rows: past every shoot already there.
int nextShoot(const QList<journal::Entry> &entries, const QString &category, const QDate &day);

// One "Imprimer", once its sheet is laid out as `pdf` and its row is
// `entry` (its "Feuille" is set here): the shoot's sheet, the sheet of the
// documented name and the journal's row, written under the journal's lock
// so that two copies never take one number. `replacing`: the shoot it
// corrects (its sheet and row are replaced), or none for a new shoot.
struct ShootPrint
{
    bool printed = false;  // the sheets are whole on disk; else neither changed
    QString failedFile;    // which file could not be written, and why
    QString printError;
    bool recorded = false; // the journal holds the row; else it is as it was
    QString journalError;
    QString sheet;         // the shoot's own sheet (the documented name when the journal was not read)
};

// Writers of the files, for tests that stand in a disk that fills: by
// default the real files.
using Replacement = std::function<std::unique_ptr<FileReplacement>(const QString &fileName)>;

ShootPrint printShoot(const QByteArray &pdf, journal::Entry entry, const std::optional<journal::Shoot> &replacing,
                      const QString &journalName, const Replacement &replacement = {});
