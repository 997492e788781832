#pragma once

// Hostile "save.ini" contents for the robustness tests: random bytes, random
// field counts of awkward numbers, and damaged copies of a good line.

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

inline const QByteArray &goodSettingsLine()
{
    static const QByteArray line = "3.5;1;3;10;3;pourcent;50;30;20;0;0;C:/club/blason.png;5";
    return line;
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
    switch (rng.bounded(3)) {
    case 0: { // random bytes, with separators more frequent than chance
        const int size = rng.bounded(120);
        for (int i = 0; i < size; ++i)
            line += rng.bounded(8) == 0 ? ';' : char(rng.bounded(256));
        break;
    }
    case 1: { // a random number of awkward fields, often 13
        const int count = rng.bounded(2) ? 13 : rng.bounded(1, 16);
        QList<QByteArray> fields;
        for (int i = 0; i < count; ++i)
            fields << piece();
        line = fields.join(';');
        break;
    }
    default: { // a good line with a few bytes changed, dropped or added
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
    }
    return line;
}
