#pragma once

// Hostile "save.ini" contents: random bytes, random field counts of awkward
// numbers, and damaged copies of a good line.

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

inline QByteArray goodSettingsLine()
{
    return "3.5;1;3;10;3;pourcent;50;30;20;0;0;C:/club/blason.png;5";
}

inline QByteArray randomSettingsLine(QRandomGenerator &rng)
{
    static const QList<QByteArray> pieces = {
        "", "0", "-1", "3.5", "7.9", "3,5", "1e30", "-1e30", "1e39", "1e-50", "nan", "inf", "-inf",
        "2147483647", "2147483648", "-2147483649", "99999999999999999999", "fixe", "Fixe", "5", "5\n",
        QByteArray("\0", 1), QByteArray("a\0b", 3), "\xFF\xFE", "\xC3", "\xE2\x82", "C:/\xC3\xA9.png",
        "\r\n", " 12 ", "+4", "0x10", "\xEF\xBB\xBF" "3", "99.995", "-0",
    };
    auto piece = [&] { return pieces[rng.bounded(int(pieces.size()))]; };

    QByteArray line;
    const int kind = rng.bounded(3);
    if (kind == 0) { // separators more frequent than chance
        for (int size = rng.bounded(120); size > 0; --size)
            line += rng.bounded(8) == 0 ? ';' : char(rng.bounded(256));
    } else if (kind == 1) { // often 13 fields
        QList<QByteArray> fields;
        for (int count = rng.bounded(2) ? 13 : rng.bounded(1, 16); count > 0; --count)
            fields << piece();
        line = fields.join(';');
    } else {
        line = goodSettingsLine();
        for (int edits = rng.bounded(1, 4); edits > 0 && !line.isEmpty(); --edits) {
            const int at = rng.bounded(int(line.size()));
            switch (rng.bounded(3)) {
            case 0: line[at] = char(rng.bounded(256)); break;
            case 1: line.remove(at, 1); break;
            default: line.insert(at, piece()); break;
            }
        }
    }
    return line;
}
