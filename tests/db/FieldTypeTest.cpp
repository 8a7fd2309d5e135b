#include "platform/db/FieldType.h"
#include "platform/FormatSettings.h"
#include <gtest/gtest.h>

TEST(FieldType, DeclaredTypesMapToFieldTypes)
{
    struct Case {
        const char* Declared;
        bool RowidAlias;
        TFieldType Type;
        int Size;
    };
    const Case cases[] = {
        {"INTEGER", true, ftAutoInc, 0},
        {"INTEGER", false, ftInteger, 0},
        {"int", false, ftInteger, 0},
        {"MEDIUMINT", false, ftInteger, 0},
        {"BIGINT", false, ftLargeint, 0},
        {"UNSIGNED BIG INT", false, ftLargeint, 0},
        {"INT8", false, ftLargeint, 0},
        {"SMALLINT", false, ftSmallint, 0},
        {"TINYINT", false, ftSmallint, 0},
        {"VARCHAR(30)", false, ftString, 30},
        {"varchar ( 12 )", false, ftString, 12},
        {"CHARACTER VARYING(20)", false, ftString, 20},
        {"TEXT", false, ftString, 0},
        {"CHAR(2)", false, ftFixedChar, 2},
        {"NVARCHAR(8)", false, ftWideString, 8},
        {"MEMO", false, ftMemo, 0},
        {"CLOB", false, ftMemo, 0},
        {"BLOB", false, ftBlob, 0},
        {"IMAGE", false, ftGraphic, 0},
        {"PICTURE", false, ftGraphic, 0},
        {"GRAPHIC", false, ftGraphic, 0},
        {"DATETIME", false, ftDateTime, 0},
        {"TIMESTAMP", false, ftDateTime, 0},
        {"TIMESTAMP WITH TIME ZONE", false, ftDateTime, 0},
        {"DATE", false, ftDate, 0},
        {"TIME", false, ftTime, 0},
        {"BOOLEAN", false, ftBoolean, 0},
        {"REAL", false, ftFloat, 0},
        {"DOUBLE PRECISION", false, ftFloat, 0},
        {"FLOAT", false, ftFloat, 0},
        {"NUMERIC(10,2)", false, ftBCD, 2},
        {"DECIMAL", false, ftBCD, 0},
        {"CURRENCY", false, ftCurrency, 0},
        {"MONEY", false, ftCurrency, 0},
        {"UUID", false, ftGuid, 0},
        {"", false, ftUnknown, 0},
        {"POINT", false, ftInteger, 0},       // contains INT: integer affinity
        {"VARYING STUFF", false, ftFloat, 0}, // no rule applies: numeric affinity
    };
    for (const Case& c : cases) {
        const TDeclaredType t = FieldTypeFromDeclared(QString::fromUtf8(c.Declared), c.RowidAlias);
        EXPECT_EQ(t.DataType, c.Type) << c.Declared << " gave " << FieldTypeName(t.DataType).toStdString();
        EXPECT_EQ(t.Size, c.Size) << c.Declared;
    }
    EXPECT_EQ(FieldTypeFromDeclared(PostgresTypeName(1114)).DataType, ftDateTime);
    EXPECT_EQ(FieldTypeFromDeclared(PostgresTypeName(17)).DataType, ftBlob);
    EXPECT_EQ(FieldTypeFromDeclared(PostgresTypeName(1700)).DataType, ftBCD);
}

TEST(FieldType, DateTextsReadAndWritten)
{
    FormatSettings() = TFormatSettings::English();
    TDateTime d = 0;
    ASSERT_TRUE(ParseIsoDateTime(u"2020-01-15 09:30:00", ftDateTime, d));
    EXPECT_EQ(IsoDateTimeText(d, ftDateTime), QStringLiteral("2020-01-15 09:30:00"));
    EXPECT_EQ(FieldDateToStr(d, ftDateTime), QStringLiteral("15.01.2020 09:30:00"));
    EXPECT_EQ(FieldDateToStr(d, ftDate), QStringLiteral("15.01.2020"));
    ASSERT_TRUE(ParseIsoDateTime(u"2020-01-15T09:30:00.250", ftDateTime, d));
    EXPECT_EQ(IsoDateTimeText(d, ftDateTime), QStringLiteral("2020-01-15 09:30:00.250"));
    ASSERT_TRUE(ParseIsoDateTime(u"1899-12-30", ftDate, d));
    EXPECT_EQ(d, 0.0);
    for (const char16_t* bad : {u"2020-02-30", u"2020-1-5", u"15.01.2020", u"2020-01-15 25:00", u"2020-01-15x"})
        EXPECT_FALSE(ParseIsoDateTime(bad, ftDateTime, d)) << QString::fromUtf16(bad).toStdString();

    ASSERT_TRUE(TryStrToFieldDate(QStringLiteral("1.3.1990"), ftDate, d));
    EXPECT_EQ(DateTimeToDate(d), QDate(1990, 3, 1));
    ASSERT_TRUE(TryStrToFieldDate(QStringLiteral("01.03.1990 10:15"), ftDateTime, d));
    EXPECT_EQ(DateTimeToQDateTime(d), QDateTime(QDate(1990, 3, 1), QTime(10, 15)));
    EXPECT_FALSE(TryStrToFieldDate(QStringLiteral("31.02.1990"), ftDate, d));
    ASSERT_TRUE(TryStrToFieldDate(QStringLiteral("14:05:30"), ftTime, d));
    EXPECT_EQ(IsoDateTimeText(d, ftTime), QStringLiteral("14:05:30"));
}
