#pragma once

// Helpers for every test, on Qt Core alone: whole files, and the debug
// messages of one logging category.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace testhelpers {

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QStringList dirEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The sum of the main prizes, of the minimum gains and the leftover of the
// prize list in a sheet's text (as pdftotext reads it); empty without one.
inline QList<double> sheetListAmounts(const QString &text)
{
    const auto number = [&text](const QString &pattern, int group = 1) {
        return QRegularExpression(pattern).match(text).captured(group).toDouble();
    };
    if (!text.contains(QStringLiteral("Fraction honteux")))
        return {};
    const QString gains = QStringLiteral("du (-?\\d+)ème au (-?\\d+)ème : (\\d+) €");
    double prizes = 0;
    const QRegularExpression prize(QStringLiteral("\\d+(?:er|ème) \\([^)]*\\) : (-?[\\d.e+]+) €"));
    for (auto it = prize.globalMatch(text); it.hasNext();)
        prizes += it.next().captured(1).toDouble();
    return {prizes, (number(gains, 2) - number(gains, 1) + 1) * number(gains, 3),
            number(QStringLiteral("Fraction honteux : (-?[\\d.e+]+) €"))};
}

// Empty when the list of a sheet's text adds up to its "Somme à
// distribuer"; else that text.
inline QString sheetImbalance(const QString &text)
{
    const QList<double> list = sheetListAmounts(text);
    const QRegularExpression poolText(QStringLiteral("Somme à distribuer : (-?\\d+) €"));
    const double pool = poolText.match(text).captured(1).toDouble();
    return !list.isEmpty() && list[0] + list[1] + list[2] == pool ? QString() : text;
}

// Where a French text breaks its typography: a breakable space (or none)
// before « : ; ! ? » or after «, a curly apostrophe or quote. Colons
// without a space after them (C:/, qrc:/, 12:30) are not punctuation.
inline QStringList typographyFaults(const QString &text)
{
    static const QRegularExpression fault(
        QStringLiteral("\\S{0,12}(?: [:;!?\u00bb]|\\p{L}[;!?\u00bb]|\\p{L}:(?=\\s|$)|\u00ab(?!\u00a0)|[\u2019\u201c\u201d])\\S{0,12}"));
    QStringList found;
    for (const QRegularExpressionMatch &match : fault.globalMatch(text))
        found << match.captured(0);
    return found;
}

// Collects the debug messages of `category` for as long as it lives.
class LogCollector
{
public:
    explicit LogCollector(const char *category) : category(category), previous(qInstallMessageHandler(collect))
    {
        current = this;
    }
    ~LogCollector()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    LogCollector(const LogCollector &) = delete;
    LogCollector &operator=(const LogCollector &) = delete;

    QStringList messages;

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (current && type == QtDebugMsg && qstrcmp(context.category, current->category) == 0)
            current->messages << message;
    }

    inline static LogCollector *current = nullptr;
    const char *category;
    QtMessageHandler previous;
};

} // namespace testhelpers
