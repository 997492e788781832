#pragma once

#include "day/cashcount.h"
#include "journal/journal.h"
#include "prizes/prizefigures.h"
#include "settings/settingsline.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// The work a crash would lose: what the window holds beyond how it started,
// as plain values, and the bytes of the recovery file that keep it.

namespace recovery {

struct Work
{
    QString category;  // comboBox
    int bets = 0;      // nbMises
    int blacksPaid = 0; // nbNoirsPayes
    // TextGain as the window gives it (HTML or plain text), never looked into.
    QString list;
    // The figures "Calculer" made the list for; none before the first one.
    std::optional<prizes::PrizeFigures> listComputedFor;
    bool listTyped = false;         // typed into since the last "Calculer"
    bool listTypingPrinted = false; // that typing is on a printed sheet
    // The shoot whose sheet shows the list: printed again, it is corrected.
    std::optional<journal::Shoot> listPrintedAs;
    // The configuration fields when they differ from save.ini; the crest
    // path may hold a ";" here, which save.ini refuses.
    std::optional<Settings> unsavedSettings;
    std::optional<day::CountOfDay> unprintedCount; // typed on "Journée", not printed
    QDateTime keptAt; // when it was last kept, to the millisecond

    friend bool operator==(const Work &a, const Work &b)
    {
        return a.category == b.category && a.bets == b.bets && a.blacksPaid == b.blacksPaid && a.list == b.list
            && a.listComputedFor == b.listComputedFor && a.listTyped == b.listTyped
            && a.listTypingPrinted == b.listTypingPrinted && a.listPrintedAs == b.listPrintedAs
            && a.unsavedSettings == b.unsavedSettings
            && a.unprintedCount == b.unprintedCount && a.keptAt == b.keptAt;
    }
    friend bool operator!=(const Work &a, const Work &b) { return !(a == b); }
};

// A recovery file is read up to the first size, and the program writes
// none past the second: any list the window holds, a pasted list of
// thousands of names among them, is kept, and never one it would refuse.
constexpr qint64 maxWorkFileSize = qint64(128) << 20;
constexpr qint64 maxWorkWriteSize = qint64(64) << 20;

// The recovery file: a first line naming the program and the format, the
// work as indented JSON (every string escaped, so any character is kept),
// and a last line with the JSON's size, so a file cut anywhere is refused.
// UTF-8. Prices must be finite, as a spin box's are.
QByteArray toBytes(const Work &work);

// Nothing unless `bytes` are a whole file of this format, every field
// present with its type; then the work exactly as it was given.
std::optional<Work> fromBytes(const QByteArray &bytes);

} // namespace recovery
