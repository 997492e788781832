#include "settings/settingsline.h"

#include "prizes/rounding.h"

#include <QList>

#include <cmath>

namespace {

constexpr char separator = ';';
constexpr int fieldCount = 13;

// Non-finite values are no price anyone saves, and a spin box cannot hold them.
float parseFloat(const QByteArray &field)
{
    bool ok = false;
    const float value = field.toFloat(&ok);
    return ok && std::isfinite(value) ? value : 0.0f;
}

int parseInt(const QByteArray &field)
{
    bool ok = false;
    const int value = field.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

QByteArray settingsLine(const Settings &s)
{
    QString line;
    line += QString::number(s.betPrice, 'g', 6) + QLatin1Char(separator);
    line += QString::number(s.blackPrice, 'g', 6) + QLatin1Char(separator);
    line += QString::number(s.minimumGain) + QLatin1Char(separator);
    line += QString::number(s.costsPercent) + QLatin1Char(separator);
    line += QString::number(s.prizeCount) + QLatin1Char(separator);
    line += s.fixedPrizes ? QStringLiteral("fixe;") : QStringLiteral("pourcent;");
    for (int value : s.prizeValues)
        line += QString::number(value) + QLatin1Char(separator);
    line += s.crestPath + QLatin1Char(separator);
    line += s.roundToFive ? QStringLiteral("5") : QStringLiteral("1");
    return line.toUtf8();
}

std::optional<Settings> parseSettingsLine(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split(separator);
    if (fields.size() != fieldCount)
        return std::nullopt;

    Settings s;
    s.betPrice = double(parseFloat(fields[0]));
    s.blackPrice = double(parseFloat(fields[1]));
    s.minimumGain = prizes::truncateToInt(double(parseFloat(fields[2])));
    s.costsPercent = parseInt(fields[3]);
    s.prizeCount = parseInt(fields[4]);
    s.fixedPrizes = fields[5] == "fixe";
    for (int i = 0; i < 5; ++i)
        s.prizeValues[std::size_t(i)] = parseInt(fields[6 + i]);
    s.crestPath = QString::fromUtf8(fields[11]);
    s.roundToFive = fields[12] == "5";
    return s;
}

bool isStorableCrestPath(const QString &path)
{
    return !path.contains(QLatin1Char(separator));
}
