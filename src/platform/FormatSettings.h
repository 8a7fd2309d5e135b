#pragma once
// Locale settings used for number and date texts. Taken from the system locale at start;
// tests pin them to fixed values.
#include <QChar>
#include <QString>
#include <QStringList>

struct TFormatSettings {
    QChar DecimalSeparator = '.';
    QChar ThousandSeparator = ',';
    QChar DateSeparator = '.';
    QString ShortDateFormat = QStringLiteral("dd.MM.yyyy"); // Qt date format pattern
    QString LongTimeFormat = QStringLiteral("hh:mm:ss");
    QStringList LongMonthNames;
    QStringList ShortMonthNames;
    QStringList LongDayNames; // Sunday first

    static TFormatSettings FromSystem();
    static TFormatSettings English(); // fixed settings: '.', "dd.MM.yyyy", English names
};

// The process-wide settings.
TFormatSettings& FormatSettings();

// Text to number with the current decimal separator only (blanks around are allowed,
// an exponent too). Returns false and leaves value alone when the text is no number.
bool TryStrToFloat(const QString& text, double& value);
// Shortest text that reads back as the same number, with the current decimal separator.
QString FloatToStr(double value);
