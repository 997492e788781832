#include "report/paper.h"

namespace paper {

QString plainText(const Document &document)
{
    QStringList lines{document.club, document.title, document.subtitle};
    for (const Block &block : document.blocks) {
        if (block.kind == Block::Signatures)
            lines << QStringLiteral("Le trésorier") << QStringLiteral("Le vérificateur aux comptes");
        else
            lines << block.text;
        for (const Table &table : block.tables) {
            lines << table.caption << table.header.join(QLatin1Char(' '));
            for (const QStringList &row : table.rows)
                lines << row.join(QLatin1Char(' '));
        }
    }
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

} // namespace paper
