#pragma once

#include <QDoubleSpinBox>

// A tariff field that reads a point and a comma alike as the decimal
// separator: on a French system Qt takes "4.00" for 400 with a grouping
// point, and the number pad's decimal key types a point on many keyboards.
class PriceBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QValidator::State validate(QString &input, int &pos) const override;
    double valueFromText(const QString &text) const override;

private:
    QString withLocalePoint(QString text) const;
};
