#include "recovery/work.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <climits>
#include <cmath>

namespace recovery {

namespace {

// Read by whoever opens the file in the folder: it says what the file is.
// Format 2 adds the shoot a sheet of the list was printed as, and the
// club's name to the settings; a file of format 1, left by an earlier
// version, is read as it stands.
const char firstLine[] = "Prix général, travail en cours, format 2\n";
const char firstLineOfFormat1[] = "Prix général, travail en cours, format 1\n";

QByteArray lastLine(qsizetype jsonSize) { return "fin, " + QByteArray::number(jsonSize) + " octets\n"; }

QString modeName(prizes::PrizeMode mode)
{
    return mode == prizes::PrizeMode::Fixed ? QStringLiteral("fixed") : QStringLiteral("percentage");
}

QJsonArray intArray(const int *values, qsizetype count)
{
    QJsonArray array;
    for (qsizetype i = 0; i < count; ++i)
        array.append(values[i]);
    return array;
}

QJsonValue figuresJson(const std::optional<prizes::PrizeFigures> &figures)
{
    if (!figures)
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("pool"), figures->pool},
        {QStringLiteral("mode"), modeName(figures->mode)},
        {QStringLiteral("values"), intArray(figures->values.constData(), figures->values.size())},
        {QStringLiteral("minimumGain"), figures->minimumGain},
        {QStringLiteral("roundToFive"), figures->roundToFive},
        {QStringLiteral("category"), figures->category},
    };
}

// Field by field rather than the save.ini line: that line reads prices back
// in single precision and cannot hold a ";" in the crest path.
QJsonValue settingsJson(const std::optional<Settings> &s)
{
    if (!s)
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("betPrice"), s->betPrice},
        {QStringLiteral("blackPrice"), s->blackPrice},
        {QStringLiteral("minimumGain"), s->minimumGain},
        {QStringLiteral("costsPercent"), s->costsPercent},
        {QStringLiteral("prizeCount"), s->prizeCount},
        {QStringLiteral("fixedPrizes"), s->fixedPrizes},
        {QStringLiteral("prizeValues"), intArray(s->prizeValues.data(), qsizetype(s->prizeValues.size()))},
        {QStringLiteral("crestPath"), s->crestPath},
        {QStringLiteral("roundToFive"), s->roundToFive},
        {QStringLiteral("clubName"), s->clubName},
    };
}

QJsonValue countJson(const std::optional<day::CountOfDay> &c)
{
    if (!c)
        return QJsonValue::Null;
    QJsonArray pieces;
    for (int n : c->count.pieces)
        pieces.append(n);
    return QJsonObject{
        {QStringLiteral("day"), c->day.toString(Qt::ISODate)},
        {QStringLiteral("openingFloat"), double(c->count.openingFloat)},
        {QStringLiteral("unclaimedPrizes"), double(c->count.unclaimedPrizes)},
        {QStringLiteral("pieces"), pieces},
        {QStringLiteral("deposit"), double(c->count.deposit)},
        {QStringLiteral("reason"), c->count.reason},
        {QStringLiteral("countedBy"), c->count.countedBy},
    };
}

QJsonValue shootJson(const std::optional<journal::Shoot> &shoot)
{
    if (!shoot)
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("day"), shoot->day.toString(Qt::ISODate)},
        {QStringLiteral("category"), shoot->category},
        {QStringLiteral("sheet"), shoot->sheet},
    };
}

// Reading: every getter fails the whole file on a missing or mistyped field.
class Reader
{
public:
    explicit Reader(const QJsonObject &object, QStringList keys) : object(object)
    {
        keys.sort();
        ok = object.keys() == keys; // JSON objects come back sorted
    }

    bool ok;

    QString string(const char *key)
    {
        const QJsonValue v = value(key);
        ok = ok && v.isString();
        return v.toString();
    }
    bool boolean(const char *key)
    {
        const QJsonValue v = value(key);
        ok = ok && v.isBool();
        return v.toBool();
    }
    double number(const char *key)
    {
        const QJsonValue v = value(key);
        ok = ok && v.isDouble();
        return v.toDouble();
    }
    int integer(const char *key) { return integerOf(value(key)); }
    QJsonArray array(const char *key)
    {
        const QJsonValue v = value(key);
        ok = ok && v.isArray();
        return v.toArray();
    }
    int integerOf(const QJsonValue &v) { return int(wholeOf(v, INT_MIN, INT_MAX)); }
    // Cents: any whole number a double holds exactly.
    qint64 cents(const char *key) { return wholeOf(value(key), -exactLimit, exactLimit); }

private:
    static constexpr double exactLimit = 9007199254740992.0; // 2^53

    qint64 wholeOf(const QJsonValue &v, double least, double most)
    {
        const double d = v.toDouble();
        ok = ok && v.isDouble() && d == std::trunc(d) && d >= least && d <= most;
        return ok ? qint64(d) : 0;
    }
    QJsonValue value(const char *key) const { return object.value(QLatin1String(key)); }
    QJsonObject object;
};

std::optional<prizes::PrizeFigures> readFigures(const QJsonObject &object, bool *ok)
{
    Reader r(object, {"pool", "mode", "values", "minimumGain", "roundToFive", "category"});
    prizes::PrizeFigures f;
    f.pool = r.integer("pool");
    const QString mode = r.string("mode");
    r.ok = r.ok && (mode == modeName(prizes::PrizeMode::Fixed) || mode == modeName(prizes::PrizeMode::Percentage));
    f.mode = mode == modeName(prizes::PrizeMode::Fixed) ? prizes::PrizeMode::Fixed : prizes::PrizeMode::Percentage;
    const QJsonArray values = r.array("values");
    r.ok = r.ok && values.size() <= prizes::maxPrizes;
    for (const QJsonValue &v : values)
        f.values.append(r.integerOf(v));
    f.minimumGain = r.integer("minimumGain");
    f.roundToFive = r.boolean("roundToFive");
    f.category = r.string("category");
    *ok = *ok && r.ok;
    return f;
}

// Format 1 has no club's name.
std::optional<Settings> readSettings(const QJsonObject &object, bool *ok, bool format1)
{
    QStringList keys{"betPrice", "blackPrice", "minimumGain", "costsPercent", "prizeCount", "fixedPrizes",
                     "prizeValues", "crestPath", "roundToFive"};
    if (!format1)
        keys << "clubName";
    Reader r(object, keys);
    Settings s;
    s.betPrice = r.number("betPrice");
    s.blackPrice = r.number("blackPrice");
    s.minimumGain = r.integer("minimumGain");
    s.costsPercent = r.integer("costsPercent");
    s.prizeCount = r.integer("prizeCount");
    s.fixedPrizes = r.boolean("fixedPrizes");
    const QJsonArray values = r.array("prizeValues");
    r.ok = r.ok && values.size() == qsizetype(s.prizeValues.size());
    for (qsizetype i = 0; r.ok && i < values.size(); ++i)
        s.prizeValues[std::size_t(i)] = r.integerOf(values[i]);
    s.crestPath = r.string("crestPath");
    s.roundToFive = r.boolean("roundToFive");
    if (!format1)
        s.clubName = r.string("clubName");
    *ok = *ok && r.ok;
    return s;
}

std::optional<day::CountOfDay> readCount(const QJsonObject &object, bool *ok)
{
    Reader r(object, {"day", "openingFloat", "unclaimedPrizes", "pieces", "deposit", "reason", "countedBy"});
    day::CountOfDay c;
    c.day = QDate::fromString(r.string("day"), Qt::ISODate);
    r.ok = r.ok && c.day.isValid();
    c.count.openingFloat = r.cents("openingFloat");
    c.count.unclaimedPrizes = r.cents("unclaimedPrizes");
    const QJsonArray pieces = r.array("pieces");
    r.ok = r.ok && pieces.size() == qsizetype(c.count.pieces.size());
    for (qsizetype i = 0; r.ok && i < pieces.size(); ++i)
        c.count.pieces[std::size_t(i)] = r.integerOf(pieces[i]);
    c.count.deposit = r.cents("deposit");
    c.count.reason = r.string("reason");
    c.count.countedBy = r.string("countedBy");
    *ok = *ok && r.ok;
    return c;
}

std::optional<journal::Shoot> readShoot(const QJsonObject &object, bool *ok)
{
    Reader r(object, {"day", "category", "sheet"});
    journal::Shoot shoot;
    shoot.day = QDate::fromString(r.string("day"), Qt::ISODate);
    r.ok = r.ok && shoot.day.isValid();
    shoot.category = r.string("category");
    shoot.sheet = r.string("sheet");
    *ok = *ok && r.ok;
    return shoot;
}

// Null, or an object read by `read`.
template <typename T>
std::optional<T> readOptional(const QJsonValue &value, bool *ok,
                              std::optional<T> (*read)(const QJsonObject &, bool *))
{
    if (value.isNull())
        return std::nullopt;
    *ok = *ok && value.isObject();
    return read(value.toObject(), ok);
}

} // namespace

QByteArray toBytes(const Work &work)
{
    // With its offset, so the time shown at the next start is the one the
    // treasurer saw, whatever the time zone does meanwhile.
    const QDateTime kept = work.keptAt.toOffsetFromUtc(work.keptAt.offsetFromUtc());
    const QJsonObject object{
        {QStringLiteral("category"), work.category},
        {QStringLiteral("bets"), work.bets},
        {QStringLiteral("blacksPaid"), work.blacksPaid},
        {QStringLiteral("list"), work.list},
        {QStringLiteral("listComputedFor"), figuresJson(work.listComputedFor)},
        {QStringLiteral("listTyped"), work.listTyped},
        {QStringLiteral("listTypingPrinted"), work.listTypingPrinted},
        {QStringLiteral("listPrintedAs"), shootJson(work.listPrintedAs)},
        {QStringLiteral("unsavedSettings"), settingsJson(work.unsavedSettings)},
        {QStringLiteral("unprintedCount"), countJson(work.unprintedCount)},
        {QStringLiteral("keptAt"), work.keptAt.isValid() ? kept.toString(Qt::ISODateWithMs) : QString()},
    };
    const QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Indented);
    return firstLine + json + lastLine(json.size());
}

std::optional<Work> fromBytes(const QByteArray &bytes)
{
    const bool format1 = bytes.startsWith(firstLineOfFormat1);
    if (!(format1 || bytes.startsWith(firstLine)) || !bytes.endsWith('\n'))
        return std::nullopt;
    const qsizetype jsonStart = qsizetype(sizeof firstLine) - 1;
    const qsizetype lastStart = bytes.lastIndexOf('\n', bytes.size() - 2) + 1;
    if (lastStart <= jsonStart)
        return std::nullopt;
    const QByteArray json = bytes.mid(jsonStart, lastStart - jsonStart);
    if (bytes.mid(lastStart) != lastLine(json.size()))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;

    QStringList keys{"category",          "bets",          "blacksPaid",      "list",          "listComputedFor",
                     "listTyped",         "listTypingPrinted", "unsavedSettings", "unprintedCount", "keptAt"};
    if (!format1)
        keys << "listPrintedAs";
    Reader r(document.object(), keys);
    Work work;
    work.category = r.string("category");
    work.bets = r.integer("bets");
    work.blacksPaid = r.integer("blacksPaid");
    work.list = r.string("list");
    work.listComputedFor = readOptional(document.object().value(QLatin1String("listComputedFor")), &r.ok, readFigures);
    work.listTyped = r.boolean("listTyped");
    work.listTypingPrinted = r.boolean("listTypingPrinted");
    if (!format1)
        work.listPrintedAs = readOptional(document.object().value(QLatin1String("listPrintedAs")), &r.ok, readShoot);
    const QJsonValue settings = document.object().value(QLatin1String("unsavedSettings"));
    if (!settings.isNull()) {
        r.ok = r.ok && settings.isObject();
        work.unsavedSettings = readSettings(settings.toObject(), &r.ok, format1);
    }
    work.unprintedCount = readOptional(document.object().value(QLatin1String("unprintedCount")), &r.ok, readCount);
    const QString kept = r.string("keptAt");
    work.keptAt = QDateTime::fromString(kept, Qt::ISODateWithMs);
    if (!r.ok || (!kept.isEmpty() && !work.keptAt.isValid()))
        return std::nullopt;
    return work;
}

} // namespace recovery
