#include "form/pricebox.h"

QString PriceBox::withLocalePoint(QString text) const
{
    // A tariff never reaches a thousand: no separator here ever groups digits.
    const QString point = locale().decimalPoint();
    if (point.size() != 1)
        return text;
    for (QChar &c : text) {
        if (c == QLatin1Char('.') || c == QLatin1Char(','))
            c = point.front();
    }
    return text;
}

QValidator::State PriceBox::validate(QString &input, int &pos) const
{
    input = withLocalePoint(input);
    return QDoubleSpinBox::validate(input, pos);
}

double PriceBox::valueFromText(const QString &text) const
{
    return QDoubleSpinBox::valueFromText(withLocalePoint(text));
}
