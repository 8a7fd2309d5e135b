#pragma once
// Field types of the database layer and their mapping from the column types that the
// engines declare.
#include "platform/DateTime.h"
#include <QString>
#include <QStringView>

enum TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
    ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd
};

// How the values of a type are held in memory.
enum class TValueKind : unsigned char {
    Integer, // 64-bit integers, Booleans as 0/1
    Float,   // doubles; dates and times as TDateTime
    Text,    // UTF-8 text
    Blob     // bytes
};

struct TDeclaredType {
    TFieldType DataType = ftUnknown;
    int Size = 0; // characters of a sized text type, decimals of NUMERIC(p, s), else 0
};

// Maps a declared column type ("VARCHAR(30)", "DATETIME", "UNSIGNED BIG INT", ...) to a field type.
// Known type names come first; anything else follows SQLite's affinity rules. An empty declaration
// gives ftUnknown (the values decide). rowidAlias marks an INTEGER PRIMARY KEY column.
TDeclaredType FieldTypeFromDeclared(const QString& declared, bool rowidAlias = false);
// The engine-neutral type name of a PostgreSQL type oid ("INTEGER", "TIMESTAMP", ...), empty if unknown.
QString PostgresTypeName(int oid);

// "String", "Integer", ... as the classic type names read.
QString FieldTypeName(TFieldType type);
TValueKind ValueKindOf(TFieldType type);
bool IsDateType(TFieldType type); // ftDate, ftTime, ftDateTime, ftTimeStamp
bool IsNumericType(TFieldType type);
bool IsTextType(TFieldType type);
bool IsBlobType(TFieldType type);

// Date and time values of fields (TDateTime: days since 30 December 1899).

// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]" (also with 'T') or, for a time type,
// "HH:MM[:SS[.fff]]": the forms the engines store. Fast; no other forms.
bool ParseIsoDateTime(QStringView text, TFieldType type, TDateTime& value);
// The stored form of a date value for the engines: "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS[.zzz]", "HH:MM:SS".
QString IsoDateTimeText(TDateTime value, TFieldType type);
// Reads a date the user wrote: the short date format (optionally with a time), the stored forms,
// or for a time type a time of day.
bool TryStrToFieldDate(const QString& text, TFieldType type, TDateTime& value);
// Display text: the short date format; a date-time adds the long time format when it has a time
// of day; a time shows the long time format.
QString FieldDateToStr(TDateTime value, TFieldType type);
// Reads a number written with the current decimal separator or with a point.
bool TryStrToNumber(const QString& text, double& value);
