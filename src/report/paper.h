#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A statement as the paper shows it: what is written, top to bottom, as
// plain values. The printer lays it out on A4 pages (src/report/ui), so the
// text is built and tested apart from the drawing.

namespace paper {

enum class Align { Left, Right };

// A table whose header row comes again at the top of each page it runs
// onto. A cell never breaks inside an amount: only cells of a column that
// `wraps` break, between words, and a header between its words.
struct Table
{
    QStringList header;
    QList<Align> align;       // by column; Left where missing
    QList<bool> wraps;        // by column; false where missing
    QList<QStringList> rows;
    QList<int> strongRows;    // rows in bold (totals)
    QString caption;          // above the table, in bold; may be empty

    void addRow(const QStringList &cells, bool strong = false)
    {
        if (strong)
            strongRows << int(rows.size());
        rows << cells;
    }
};

struct Block
{
    enum Kind {
        Heading,    // a section's title
        Text,       // a paragraph, words wrapped
        Tables,     // one table across the page, or several side by side
        Signatures, // two places to sign, kept together
    };
    Kind kind = Text;
    QString text;
    bool strong = false;
    QList<paper::Table> tables;
};

struct Document
{
    QString crestPath; // drawn beside the title when it names a readable picture
    QString club;      // heads the page; none when empty
    QString title;     // on one line
    QString subtitle;
    bool landscape = false;
    QList<Block> blocks;

    void heading(const QString &text) { blocks << Block{Block::Heading, text, true, {}}; }
    void text(const QString &text, bool strong = false) { blocks << Block{Block::Text, text, strong, {}}; }
    void tables(const QList<Table> &tables) { blocks << Block{Block::Tables, {}, false, tables}; }
    void signatures() { blocks << Block{Block::Signatures, {}, false, {}}; }
};

// Every text of the paper in reading order, one a line: what a reader of the
// PDF finds, for tests and for a quick look.
QString plainText(const Document &document);

} // namespace paper
