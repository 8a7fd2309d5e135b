#include "platform/db/FieldType.h"
#include "platform/FormatSettings.h"
#include <QLocale>
#include <QStringList>
#include <cmath>

namespace {
const char* const kTypeNames[] = {
    "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency", "BCD",
    "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic",
    "FmtMemo", "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString",
    "Largeint", "ADT", "Array", "Reference", "DataSet", "OraBlob", "OraClob", "Variant",
    "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd"};

bool IsOneOf(const QString& s, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (s == QLatin1String(n))
            return true;
    return false;
}
} // namespace

TDeclaredType FieldTypeFromDeclared(const QString& declared, bool rowidAlias)
{
    TDeclaredType result;
    const QString decl = declared.simplified().toUpper();
    if (rowidAlias) {
        result.DataType = ftAutoInc;
        return result;
    }
    if (decl.isEmpty())
        return result;

    // "VARCHAR(30)" -> base "VARCHAR", arguments {30}; "NUMERIC(10, 2)" -> {10, 2}.
    QString base = decl;
    QStringList args;
    const int open = decl.indexOf('(');
    if (open >= 0) {
        base = decl.left(open).trimmed();
        const int close = decl.indexOf(')', open);
        args = decl.mid(open + 1, close < 0 ? -1 : close - open - 1).split(',');
        for (QString& a : args)
            a = a.trimmed();
    }
    const int firstArg = args.isEmpty() ? 0 : args.first().toInt();
    const QString firstWord = base.section(' ', 0, 0);
    auto set = [&](TFieldType t, int size = 0) {
        result.DataType = t;
        result.Size = size;
        return result;
    };

    if (base.contains(QLatin1String("BIGINT")) || base.contains(QLatin1String("BIG INT")) ||
        IsOneOf(base, {"INT8", "LARGEINT", "BIGSERIAL", "SERIAL8"}))
        return set(ftLargeint);
    if (IsOneOf(base, {"SMALLINT", "INT2", "TINYINT", "SMALLSERIAL", "SERIAL2"}))
        return set(ftSmallint);
    if (base == QLatin1String("WORD"))
        return set(ftWord);
    if (IsOneOf(base, {"SERIAL", "SERIAL4", "AUTOINC", "AUTOINCREMENT"}))
        return set(ftAutoInc);
    if (IsOneOf(base, {"BOOLEAN", "BOOL", "LOGICAL"}))
        return set(ftBoolean);
    if (base.contains(QLatin1String("DATETIME")) || firstWord == QLatin1String("TIMESTAMP") ||
        firstWord == QLatin1String("TIMESTAMPTZ"))
        return set(ftDateTime);
    if (base == QLatin1String("DATE"))
        return set(ftDate);
    if (firstWord == QLatin1String("TIME") || firstWord == QLatin1String("TIMETZ"))
        return set(ftTime);
    if (base.contains(QLatin1String("MEMO")) || base.contains(QLatin1String("CLOB")))
        return set(ftMemo);
    if (IsOneOf(base, {"IMAGE", "PICTURE", "GRAPHIC", "PHOTO"}))
        return set(ftGraphic);
    if (base == QLatin1String("BYTEA"))
        return set(ftBlob);
    if (IsOneOf(base, {"CURRENCY", "MONEY", "SMALLMONEY"}))
        return set(ftCurrency);
    if (IsOneOf(base, {"NUMERIC", "DECIMAL", "DEC"}))
        return set(ftBCD, args.size() > 1 ? args.at(1).toInt() : 0);
    if (IsOneOf(base, {"UUID", "GUID", "UNIQUEIDENTIFIER"}))
        return set(ftGuid);
    if (base.startsWith(QLatin1String("NATIONAL")) || base.startsWith(QLatin1String("NATIVE")) ||
        IsOneOf(base, {"NCHAR", "NVARCHAR", "NVARCHAR2"}))
        return set(ftWideString, firstArg);
    if (IsOneOf(base, {"CHAR", "CHARACTER", "BPCHAR"}))
        return set(ftFixedChar, firstArg);

    // The engine's affinity rules, in its order.
    if (base.contains(QLatin1String("INT")))
        return set(ftInteger);
    if (base.contains(QLatin1String("CHAR")) || base.contains(QLatin1String("TEXT")))
        return set(ftString, firstArg);
    if (base.contains(QLatin1String("BLOB")))
        return set(ftBlob);
    if (base.contains(QLatin1String("REAL")) || base.contains(QLatin1String("FLOA")) ||
        base.contains(QLatin1String("DOUB")))
        return set(ftFloat);
    return set(ftFloat); // numeric affinity
}

QString PostgresTypeName(int oid)
{
    switch (oid) {
    case 16: return QStringLiteral("BOOLEAN");
    case 17: return QStringLiteral("BYTEA");
    case 18: case 1042: return QStringLiteral("CHAR");
    case 19: case 25: case 114: case 142: case 3802: return QStringLiteral("TEXT");
    case 20: return QStringLiteral("BIGINT");
    case 21: return QStringLiteral("SMALLINT");
    case 23: case 26: return QStringLiteral("INTEGER");
    case 700: case 701: return QStringLiteral("DOUBLE");
    case 790: return QStringLiteral("MONEY");
    case 1043: return QStringLiteral("VARCHAR");
    case 1082: return QStringLiteral("DATE");
    case 1083: case 1266: return QStringLiteral("TIME");
    case 1114: case 1184: return QStringLiteral("TIMESTAMP");
    case 1700: return QStringLiteral("NUMERIC");
    case 2950: return QStringLiteral("UUID");
    default: return {};
    }
}

QString FieldTypeName(TFieldType type)
{
    const int i = static_cast<int>(type);
    if (i < 0 || i >= static_cast<int>(std::size(kTypeNames)))
        return QStringLiteral("Unknown");
    return QLatin1String(kTypeNames[i]);
}

TValueKind ValueKindOf(TFieldType type)
{
    switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftBoolean: case ftAutoInc: case ftLargeint:
        return TValueKind::Integer;
    case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
        return TValueKind::Float;
    case ftBytes: case ftVarBytes: case ftBlob: case ftGraphic: case ftParadoxOle: case ftDBaseOle:
    case ftTypedBinary: case ftOraBlob:
        return TValueKind::Blob;
    default:
        return TValueKind::Text;
    }
}

bool IsDateType(TFieldType type)
{
    return type == ftDate || type == ftTime || type == ftDateTime || type == ftTimeStamp;
}

bool IsNumericType(TFieldType type)
{
    switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
    case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
        return true;
    default:
        return false;
    }
}

bool IsTextType(TFieldType type)
{
    return ValueKindOf(type) == TValueKind::Text;
}

bool IsBlobType(TFieldType type)
{
    switch (type) {
    case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle:
    case ftTypedBinary: case ftOraBlob: case ftOraClob:
        return true;
    default:
        return false;
    }
}


namespace {
int Digits(QStringView s, qsizetype pos, int count, bool& ok)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = s.at(pos + i).unicode();
        if (c < '0' || c > '9') {
            ok = false;
            return 0;
        }
        v = v * 10 + (c - '0');
    }
    return v;
}

// "HH:MM[:SS[.fff]]" from pos to the end; milliseconds since midnight.
bool ParseTimePart(QStringView s, qsizetype pos, double& ms)
{
    const qsizetype n = s.size() - pos;
    if (n < 5 || s.at(pos + 2) != u':')
        return false;
    bool ok = true;
    const int h = Digits(s, pos, 2, ok);
    const int m = Digits(s, pos + 3, 2, ok);
    int sec = 0;
    double frac = 0;
    qsizetype p = pos + 5;
    if (ok && p < s.size()) {
        if (s.at(p) != u':' || p + 3 > s.size())
            return false;
        sec = Digits(s, p + 1, 2, ok);
        p += 3;
        if (ok && p < s.size()) {
            if (s.at(p) != u'.')
                return false;
            double scale = 0.1;
            for (++p; p < s.size(); ++p, scale /= 10) {
                const char16_t c = s.at(p).unicode();
                if (c < '0' || c > '9')
                    return false;
                frac += (c - '0') * scale;
            }
        }
    }
    if (!ok || h > 23 || m > 59 || sec > 59)
        return false;
    ms = ((h * 60.0 + m) * 60.0 + sec + frac) * 1000.0;
    return true;
}
} // namespace

bool ParseIsoDateTime(QStringView s, TFieldType type, TDateTime& value)
{
    if (type == ftTime) {
        double ms = 0;
        if (!ParseTimePart(s, 0, ms))
            return false;
        value = ms / 86400000.0;
        return true;
    }
    if (s.size() < 10 || s.at(4) != u'-' || s.at(7) != u'-')
        return false;
    bool ok = true;
    const int y = Digits(s, 0, 4, ok);
    const int mo = Digits(s, 5, 2, ok);
    const int d = Digits(s, 8, 2, ok);
    if (!ok || y == 0 || mo < 1 || mo > 12 || d < 1)
        return false;
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > kMonthDays[mo - 1] + (mo == 2 && leap))
        return false;
    double ms = 0;
    if (s.size() > 10) {
        const QChar sep = s.at(10);
        if ((sep != u' ' && sep != u'T') || !ParseTimePart(s, 11, ms))
            return false;
    }
    // Days since 1 March of year 0, then moved to the epoch of TDateTime (30 December 1899).
    const int yy = y - (mo <= 2);
    const int era = yy / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const double days = static_cast<double>(era * 146097LL + doe - 719468 + 25569);
    value = days >= 0 ? days + ms / 86400000.0 : days - ms / 86400000.0;
    return true;
}

// Date and time of day of a value, without the time-zone work of a QDateTime.
namespace {
void SplitDateTime(TDateTime value, QDate& date, QTime& time)
{
    const double whole = std::trunc(value);
    qint64 ms = std::llround(std::fabs(value - whole) * 86400000.0);
    date = DateTimeEpoch().addDays(static_cast<qint64>(whole));
    if (ms >= 86400000) {
        ms -= 86400000;
        date = date.addDays(1);
    }
    time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}
} // namespace

QString IsoDateTimeText(TDateTime value, TFieldType type)
{
    QDate date;
    QTime tm;
    SplitDateTime(value, date, tm);
    if (type == ftDate)
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    const QString time = tm.toString(tm.msec() ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
    if (type == ftTime)
        return time;
    return date.toString(QStringLiteral("yyyy-MM-dd")) + u' ' + time;
}

bool TryStrToFieldDate(const QString& text, TFieldType type, TDateTime& value)
{
    const QString t = text.simplified();
    if (t.isEmpty())
        return false;
    if (ParseIsoDateTime(t, type, value))
        return true;
    const TFormatSettings& fs = FormatSettings();
    if (type == ftTime) {
        for (const QString& f : {fs.LongTimeFormat, QStringLiteral("h:mm:ss"), QStringLiteral("h:mm")}) {
            const QTime tm = QTime::fromString(t, f);
            if (tm.isValid()) {
                value = tm.msecsSinceStartOfDay() / 86400000.0;
                return true;
            }
        }
        return false;
    }
    // The short date format as written, and leniently with one-digit days and months.
    QString lenient = fs.ShortDateFormat;
    lenient.replace(QLatin1String("dd"), QLatin1String("d")).replace(QLatin1String("MM"), QLatin1String("M"));
    for (const QString& df : {fs.ShortDateFormat, lenient}) {
        const QDate d = QDate::fromString(t, df);
        if (d.isValid()) {
            value = DateToDateTime(d);
            return true;
        }
        for (const QString& tf : {fs.LongTimeFormat, QStringLiteral("h:mm:ss"), QStringLiteral("h:mm")}) {
            const QDateTime dt = QDateTime::fromString(t, df + u' ' + tf);
            if (dt.isValid()) {
                value = QDateTimeToDateTime(dt);
                return true;
            }
        }
    }
    return false;
}

QString FieldDateToStr(TDateTime value, TFieldType type)
{
    const TFormatSettings& fs = FormatSettings();
    QDate date;
    QTime time;
    SplitDateTime(value, date, time);
    if (type == ftTime)
        return time.toString(fs.LongTimeFormat);
    QString s = date.toString(fs.ShortDateFormat);
    if (type != ftDate && time.msecsSinceStartOfDay() != 0)
        s += u' ' + time.toString(fs.LongTimeFormat);
    return s;
}

bool TryStrToNumber(const QString& text, double& value)
{
    if (TryStrToFloat(text, value))
        return true;
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}
