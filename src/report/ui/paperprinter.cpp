#include "report/ui/paperprinter.h"

#include "report/ui/crest.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using paper::Align;
using paper::Block;
using paper::Table;

constexpr int dpi = 600;
constexpr qreal perMm = dpi / 25.4;
constexpr qreal basePoints = 9;
// Below this a table is too small to read: it is as small as it gets.
constexpr qreal smallestPoints = 6;
constexpr qreal cellPadding = 1.2 * perMm;
constexpr qreal rowPadding = 0.6 * perMm;
constexpr qreal blockGap = 3 * perMm;
constexpr qreal sideGap = 6 * perMm;
constexpr qreal crestHeight = 24 * perMm;

// What is drawn, once laid out: on which page, where, and how.
struct Item
{
    enum Kind { Text, Fill, Line, Picture };
    Kind kind = Text;
    QRectF rect;
    QString text;
    QFont font;
    int flags = 0;
    QImage image;
};

QFont fontOf(qreal points, bool bold = false)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Words of `text` over lines of at most `width`; only a plain space or a
// line end breaks, so an amount, written with no-break spaces, never does.
QStringList wrapped(const QString &text, const QFontMetricsF &metrics, qreal width)
{
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString &word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        lines << line;
    }
    return lines;
}

qreal widestWord(const QString &text, const QFontMetricsF &metrics)
{
    qreal widest = 0;
    for (const QString &word : QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).split(QLatin1Char(' ')))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

bool wrapsColumn(const Table &table, qsizetype column) { return table.wraps.value(column, false); }
Align alignOf(const Table &table, qsizetype column) { return table.align.value(column, Align::Left); }

// A table's columns at a font size: what each needs at the least, what it
// would take to keep every cell and header on one line, and the widths given.
struct Columns
{
    qreal points = basePoints;
    std::vector<qreal> need, want, width;

    qreal needed() const { return std::accumulate(need.begin(), need.end(), qreal(0)); }
    qreal wanted() const { return std::accumulate(want.begin(), want.end(), qreal(0)); }
};

Columns measure(const Table &table, qreal points, QPaintDevice *device)
{
    Columns columns;
    columns.points = points;
    const QFontMetricsF plain(fontOf(points), device), bold(fontOf(points, true), device);
    const qsizetype count = table.header.size();
    columns.need.assign(size_t(count), 0);
    columns.want.assign(size_t(count), 0);
    for (qsizetype c = 0; c < count; ++c) {
        qreal need = widestWord(table.header[c], bold), want = bold.horizontalAdvance(table.header[c]);
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const QString cell = table.rows[r].value(c);
            const QFontMetricsF &metrics = table.strongRows.contains(int(r)) ? bold : plain;
            const qreal whole = metrics.horizontalAdvance(cell);
            need = std::max(need, wrapsColumn(table, c) ? widestWord(cell, metrics) : whole);
            want = std::max(want, whole);
        }
        columns.need[size_t(c)] = need + 2 * cellPadding;
        columns.want[size_t(c)] = std::max(want, need) + 2 * cellPadding;
    }
    return columns;
}

// The largest size at which the table fits `width`, and its columns' widths:
// first what each column needs, then up to what it wants, then evenly.
Columns fitted(const Table &table, qreal width, QPaintDevice *device)
{
    Columns columns;
    for (qreal points = basePoints; points >= smallestPoints - 0.01; points -= 0.5) {
        columns = measure(table, points, device);
        if (columns.needed() <= width)
            break;
    }
    columns.width = columns.need;
    const qreal spare = width - columns.needed(), shortfall = columns.wanted() - columns.needed();
    for (size_t c = 0; c < columns.width.size() && spare > 0; ++c) {
        if (shortfall > spare)
            columns.width[c] += (columns.want[c] - columns.need[c]) * spare / shortfall;
        else
            columns.width[c] = columns.want[c] + (spare - shortfall) / qreal(columns.width.size());
    }
    return columns;
}

class Layout
{
public:
    explicit Layout(QPdfWriter &writer)
        : device(&writer)
        , area(QPointF(0, 0), writer.pageLayout().paintRectPixels(dpi).size())
    {
        pages.emplace_back();
    }

    void run(const paper::Document &document)
    {
        header(document);
        for (const Block &block : document.blocks) {
            switch (block.kind) {
            case Block::Heading:
                heading(block.text);
                break;
            case Block::Text:
                paragraph(block.text, block.strong);
                break;
            case Block::Tables:
                tables(block.tables);
                break;
            case Block::Signatures:
                signatures();
                break;
            }
        }
        const QString running = (document.club.isEmpty() ? QString() : document.club + QStringLiteral(" — "))
            + document.title;
        finish(running);
    }

    std::vector<std::vector<Item>> pages;

private:
    qreal bottom() const { return area.bottom() - 7 * perMm; } // room for the foot of the page
    qreal room() const { return bottom() - y; }

    void newPage()
    {
        pages.emplace_back();
        y = area.top() + 6 * perMm; // below the running head
    }
    void need(qreal height)
    {
        if (height > room() && y > area.top() + 6 * perMm + 1)
            newPage();
    }

    void text(const QRectF &rect, const QString &text, const QFont &font, int flags)
    {
        pages.back().push_back({Item::Text, rect, text, font, flags, {}});
    }
    void fill(const QRectF &rect) { pages.back().push_back({Item::Fill, rect, {}, {}, 0, {}}); }
    void line(const QRectF &from, const QRectF &to)
    {
        pages.back().push_back({Item::Line, QRectF(from.topLeft(), to.bottomRight()), {}, {}, 0, {}});
    }

    // The crest beside the club's name, the title on one line and the subtitle.
    void header(const paper::Document &document)
    {
        qreal left = area.left();
        const QImage crest = loadCrest(document.crestPath, int(crestHeight));
        if (!crest.isNull()) {
            const QSizeF size = QSizeF(crest.size()).scaled(QSizeF(crestHeight * 2, crestHeight), Qt::KeepAspectRatio);
            pages.back().push_back({Item::Picture, QRectF(area.topLeft(), size), {}, {}, 0, crest});
            left += size.width() + 4 * perMm;
        }
        const qreal width = area.right() - left;
        qreal top = area.top();
        const auto line = [&](const QString &words, qreal points, qreal least, bool bold) {
            if (words.isEmpty())
                return;
            // Smaller rather than broken: the title stays one line.
            QFont font = fontOf(points, bold);
            while (points > least && QFontMetricsF(font, device).horizontalAdvance(words) > width)
                font = fontOf(points -= 0.5, bold);
            const qreal height = QFontMetricsF(font, device).height();
            text(QRectF(left, top, width, height), words, font, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
            top += height * 1.15;
        };
        line(document.club, 12, 7, true);
        line(document.title, 16, 6, true);
        line(document.subtitle, 10, 6, false);
        y = std::max(top, crest.isNull() ? top : area.top() + crestHeight) + blockGap;
    }

    void heading(const QString &words)
    {
        const QFont font = fontOf(11, true);
        const qreal height = QFontMetricsF(font, device).height();
        // Never alone at the foot of a page: with room for a few lines after it.
        need(height * 5);
        y += height * 0.4;
        text(QRectF(area.left(), y, area.width(), height), words, font, Qt::AlignLeft | Qt::TextSingleLine);
        y += height * 1.25;
    }

    void paragraph(const QString &words, bool strong)
    {
        const QFont font = fontOf(basePoints, strong);
        const QFontMetricsF metrics(font, device);
        for (const QString &row : wrapped(words, metrics, area.width())) {
            need(metrics.height());
            text(QRectF(area.left(), y, area.width(), metrics.height()), row, font, Qt::AlignLeft | Qt::TextSingleLine);
            y += metrics.height();
        }
        y += blockGap / 2;
    }

    struct Laid
    {
        const Table *table;
        Columns columns;
        qreal left;
        qreal width;
    };

    qreal lineHeight(const Columns &columns) const { return QFontMetricsF(fontOf(columns.points), device).height(); }

    // Lines of each cell of a row, and the row's height.
    std::vector<QStringList> cellLines(const Laid &laid, const QStringList &cells, bool header, bool strong,
                                       qreal *height) const
    {
        const QFontMetricsF metrics(fontOf(laid.columns.points, header || strong), device);
        std::vector<QStringList> lines;
        qsizetype most = 1;
        for (qsizetype c = 0; c < qsizetype(laid.columns.width.size()); ++c) {
            const QString cell = cells.value(c);
            const qreal inside = laid.columns.width[size_t(c)] - 2 * cellPadding;
            lines.push_back(header || wrapsColumn(*laid.table, c) ? wrapped(cell, metrics, inside) : QStringList{cell});
            most = std::max(most, lines.back().size());
        }
        *height = qreal(most) * metrics.height() + 2 * rowPadding;
        return lines;
    }

    void row(const Laid &laid, const QStringList &cells, bool header, bool strong)
    {
        qreal height = 0;
        const std::vector<QStringList> lines = cellLines(laid, cells, header, strong, &height);
        const QFont font = fontOf(laid.columns.points, header || strong);
        const qreal lineHeight = QFontMetricsF(font, device).height();
        if (header)
            fill(QRectF(laid.left, y, laid.width, height));
        qreal x = laid.left;
        for (size_t c = 0; c < lines.size(); ++c) {
            const qreal width = laid.columns.width[c];
            const int align = alignOf(*laid.table, qsizetype(c)) == Align::Right && !header ? Qt::AlignRight
                                                                                          : Qt::AlignLeft;
            qreal top = y + rowPadding;
            for (const QString &part : lines[c]) {
                text(QRectF(x + cellPadding, top, width - 2 * cellPadding, lineHeight), part, font,
                     align | Qt::AlignVCenter | Qt::TextSingleLine);
                top += lineHeight;
            }
            x += width;
        }
        y += height;
        line(QRectF(laid.left, y, 0, 0), QRectF(laid.left + laid.width, y, 0, 0));
    }

    void caption(const Laid &laid)
    {
        if (laid.table->caption.isEmpty())
            return;
        const QFont font = fontOf(basePoints + 0.5, true);
        const qreal height = QFontMetricsF(font, device).height();
        text(QRectF(laid.left, y, laid.width, height), laid.table->caption, font, Qt::AlignLeft | Qt::TextSingleLine);
        y += height * 1.1;
    }

    qreal heightOf(const Laid &laid) const
    {
        qreal total = 0, height = 0;
        if (!laid.table->caption.isEmpty())
            total += QFontMetricsF(fontOf(basePoints + 0.5, true), device).height() * 1.1;
        cellLines(laid, laid.table->header, true, false, &height);
        total += height;
        for (qsizetype r = 0; r < laid.table->rows.size(); ++r) {
            cellLines(laid, laid.table->rows[r], false, laid.table->strongRows.contains(int(r)), &height);
            total += height;
        }
        return total;
    }

    // One table down the page, its header again on every page it runs onto.
    void flow(const Laid &laid)
    {
        qreal headerHeight = 0;
        cellLines(laid, laid.table->header, true, false, &headerHeight);
        need(headerHeight * 3);
        caption(laid);
        row(laid, laid.table->header, true, false);
        for (qsizetype r = 0; r < laid.table->rows.size(); ++r) {
            const bool strong = laid.table->strongRows.contains(int(r));
            qreal height = 0;
            cellLines(laid, laid.table->rows[r], false, strong, &height);
            if (height > room()) {
                newPage();
                row(laid, laid.table->header, true, false);
            }
            row(laid, laid.table->rows[r], false, strong);
        }
    }

    void tables(const QList<Table> &tables)
    {
        // Side by side where the page is wide enough and long enough, each
        // its share of the width; else one under the other.
        std::vector<Laid> laid;
        qreal wanted = 0;
        for (const Table &table : tables) {
            laid.push_back({&table, measure(table, basePoints, device), 0, 0});
            wanted += laid.back().columns.needed();
        }
        const qreal width = area.width() - sideGap * qreal(tables.size() - 1);
        if (tables.size() > 1 && wanted <= width) {
            qreal left = area.left(), tallest = 0;
            for (Laid &each : laid) {
                each.width = width * each.columns.wanted()
                    / std::accumulate(laid.begin(), laid.end(), qreal(0),
                                      [](qreal sum, const Laid &l) { return sum + l.columns.wanted(); });
                each.columns = fitted(*each.table, each.width, device);
                each.left = left;
                left += each.width + sideGap;
                tallest = std::max(tallest, heightOf(each));
            }
            if (tallest <= bottom() - area.top() - 6 * perMm) {
                need(tallest);
                const qreal top = y;
                qreal lowest = y;
                for (const Laid &each : laid) {
                    y = top;
                    caption(each);
                    row(each, each.table->header, true, false);
                    for (qsizetype r = 0; r < each.table->rows.size(); ++r)
                        row(each, each.table->rows[r], false, each.table->strongRows.contains(int(r)));
                    lowest = std::max(lowest, y);
                }
                y = lowest + blockGap;
                return;
            }
        }
        for (Laid &each : laid) {
            each.columns = fitted(*each.table, area.width(), device);
            each.left = area.left();
            each.width = std::accumulate(each.columns.width.begin(), each.columns.width.end(), qreal(0));
            flow(each);
            y += blockGap;
        }
    }

    void signatures()
    {
        const QFont font = fontOf(basePoints, true);
        const qreal height = QFontMetricsF(font, device).height();
        need(height + 22 * perMm);
        y += blockGap;
        const qreal half = area.width() / 2;
        const QStringList who{QStringLiteral("Le trésorier"), QStringLiteral("Le vérificateur aux comptes")};
        for (int i = 0; i < 2; ++i) {
            const qreal left = area.left() + half * i;
            text(QRectF(left, y, half, height), who[i], font, Qt::AlignLeft | Qt::TextSingleLine);
            line(QRectF(left, y + height + 18 * perMm, 0, 0), QRectF(left + half - 10 * perMm, y + height + 18 * perMm, 0, 0));
        }
        y += height + 22 * perMm;
    }

    // A running head on the pages after the first, and "page i / n" on each
    // page of a paper of more than one.
    void finish(const QString &running)
    {
        const QFont font = fontOf(7.5);
        const qreal height = QFontMetricsF(font, device).height();
        const qsizetype count = qsizetype(pages.size());
        for (qsizetype i = 0; i < count && count > 1; ++i) {
            auto &items = pages[size_t(i)];
            if (i > 0)
                items.push_back({Item::Text, QRectF(area.left(), area.top(), area.width(), height), running, font,
                                 Qt::AlignLeft | Qt::TextSingleLine, {}});
            items.push_back({Item::Text, QRectF(area.left(), area.bottom() - height, area.width(), height),
                             QStringLiteral("page %1 / %2").arg(i + 1).arg(count), font,
                             Qt::AlignHCenter | Qt::TextSingleLine, {}});
        }
    }

    QPaintDevice *device;
    QRectF area;
    qreal y = 0;
};

} // namespace

QByteArray renderPaper(const paper::Document &document)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         document.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(14, 12, 14, 12), QPageLayout::Millimeter));
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("Prix général"));
        Layout layout(writer);
        layout.run(document);
        QPainter painter(&writer);
        const QPen grid(QColor(90, 90, 90), 0.15 * perMm);
        for (size_t page = 0; page < layout.pages.size(); ++page) {
            if (page > 0)
                writer.newPage();
            for (const Item &item : layout.pages[page]) {
                switch (item.kind) {
                case Item::Text:
                    painter.setFont(item.font);
                    painter.setPen(Qt::black);
                    painter.drawText(item.rect, item.flags, item.text);
                    break;
                case Item::Fill:
                    painter.fillRect(item.rect, QColor(232, 232, 232));
                    break;
                case Item::Line:
                    painter.setPen(grid);
                    painter.drawLine(item.rect.topLeft(), item.rect.bottomRight());
                    break;
                case Item::Picture:
                    painter.drawImage(item.rect, item.image);
                    break;
                }
            }
        }
    }
    return pdf;
}
