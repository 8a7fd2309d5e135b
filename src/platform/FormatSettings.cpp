#include "platform/FormatSettings.h"
#include <QLocale>
#include <cmath>

namespace {
QStringList MonthNames(const QLocale& loc, QLocale::FormatType type)
{
    QStringList names;
    for (int m = 1; m <= 12; ++m)
        names << loc.monthName(m, type);
    return names;
}

QStringList DayNames(const QLocale& loc)
{
    QStringList names;
    names << loc.dayName(7, QLocale::LongFormat);
    for (int d = 1; d <= 6; ++d)
        names << loc.dayName(d, QLocale::LongFormat);
    return names;
}

TFormatSettings FromLocale(const QLocale& loc)
{
    TFormatSettings s;
    s.DecimalSeparator = loc.decimalPoint().isEmpty() ? QChar('.') : loc.decimalPoint().at(0);
    s.ThousandSeparator = loc.groupSeparator().isEmpty() ? QChar(',') : loc.groupSeparator().at(0);
    s.ShortDateFormat = loc.dateFormat(QLocale::ShortFormat);
    // Reports show four-digit years.
    if (!s.ShortDateFormat.contains(QStringLiteral("yyyy")))
        s.ShortDateFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    for (QChar c : s.ShortDateFormat) {
        if (!c.isLetter()) {
            s.DateSeparator = c;
            break;
        }
    }
    s.LongTimeFormat = loc.timeFormat(QLocale::LongFormat);
    s.LongMonthNames = MonthNames(loc, QLocale::LongFormat);
    s.ShortMonthNames = MonthNames(loc, QLocale::ShortFormat);
    s.LongDayNames = DayNames(loc);
    return s;
}
} // namespace

TFormatSettings TFormatSettings::FromSystem()
{
    return FromLocale(QLocale::system());
}

TFormatSettings TFormatSettings::English()
{
    TFormatSettings s = FromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    s.DecimalSeparator = '.';
    s.ThousandSeparator = ',';
    s.DateSeparator = '.';
    s.ShortDateFormat = QStringLiteral("dd.MM.yyyy");
    s.LongTimeFormat = QStringLiteral("hh:mm:ss");
    return s;
}

TFormatSettings& FormatSettings()
{
    static TFormatSettings settings = TFormatSettings::FromSystem();
    return settings;
}

bool TryStrToFloat(const QString& text, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar sep = FormatSettings().DecimalSeparator;
    if (sep != '.') {
        if (t.contains('.'))
            return false;
        t.replace(sep, '.');
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString FloatToStr(double value)
{
    QString s = QString::number(value, 'g', 15);
    if (FormatSettings().DecimalSeparator != '.')
        s.replace('.', FormatSettings().DecimalSeparator);
    return s;
}
