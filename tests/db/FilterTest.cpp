#include "DbFixture.h"
#include "platform/db/Table.h"

namespace {
struct FilterCase {
    const char* Expr;
    int Rows;
    TFilterOptions Options = {};
};
} // namespace

class Filter : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        table.SetDatabaseName(QStringLiteral("TESTDB"));
        table.SetTableName(QStringLiteral("People"));
        ASSERT_TRUE(table.Open()) << table.LastError().toStdString();
        ASSERT_TRUE(table.SetFiltered(true));
    }
    TTable table;
};

TEST_F(Filter, ExpressionsSelectRows)
{
    const TFilterOptions ci = foCaseInsensitive;
    const TFilterOptions exact = foNoPartialCompare;
    const FilterCase cases[] = {
        {"", 6},
        {"   ", 6},
        {"City = 'Berlin'", 1},
        {"[City] ='berlin'", 1},
        {"city='Berlin' or CITY = 'berlin'", 2},
        {"City = 'berlin'", 2, ci},
        {"City <> 'berlin'", 4, ci},
        {"City = 'Ber*'", 2},            // Berlin, Bern
        {"City = 'ber*'", 3, ci},        // and berlin
        {"City = 'Ber*'", 0, exact},     // '*' is a plain character then
        {"City <> 'Ber*'", 4},
        {"Name = 'Smith*'", 1},
        {"Name = 'SMITH*'", 2, ci},
        {"City = 'München'", 1},
        {"City = 'MÜNCHEN'", 1, ci},
        {"City < 'C'", 2},               // Berlin, Bern (lower case sorts after)
        {"City >= 'London' AND City <= 'München'", 2},
        {"Name = 'O''Hara'", 1},
        {"[Zip Code] = '10115'", 1},
        {"[Zip Code] > '1'", 5},
        {"Age > 40", 2},
        {"Age >= 34 AND Age <= 45", 3},
        {"Age < 30 OR Salary > 5000", 2},
        {"Age <> 34", 4},                // nulls never compare
        {"Age = NULL", 1},
        {"Age IS NULL", 1},
        {"Salary IS NOT NULL", 5},
        {"Salary = 4200.5", 1},
        {"Salary > 4000 and not (Age > 40)", 2},
        {"(City = 'London' or City = 'Dublin') and Age is null", 1},
        {"((Age > 30))", 4},
        {"Age > Id", 5},
        {"Active", 4},
        {"NOT Active", 2},
        {"Active = False", 2},
        {"[Active] =True", 4},
        {"Born < '01.01.1980'", 2},
        {"Born = 01.03.1990", 1},        // the designer writes non-text values bare
        {"Born = '1.3.1990'", 1},
        {"Joined >= '01.01.2020'", 3},
        {"Joined >=  '01.01.2019' AND Joined <   '01.01.2020'", 1},
        {"Joined = '15.01.2020 09:30:00'", 1},
        {"Joined > '2021-01-01'", 2},
        {"'a' = 'a'", 6},
    };
    for (const FilterCase& c : cases) {
        ASSERT_TRUE(table.SetFilterOptions(c.Options));
        ASSERT_TRUE(table.SetFilter(QString::fromUtf8(c.Expr))) << c.Expr << ": " << table.LastError().toStdString();
        EXPECT_EQ(table.RecordCount(), c.Rows) << c.Expr;
        int walked = 0;
        for (table.First(); !table.Eof(); table.Next())
            ++walked;
        EXPECT_EQ(walked, c.Rows) << c.Expr;
    }
}

TEST_F(Filter, NumbersFollowTheDecimalSeparator)
{
    FormatSettings().DecimalSeparator = ',';
    ASSERT_TRUE(table.SetFilter(QStringLiteral("[Salary] =4200,5")));
    EXPECT_EQ(table.RecordCount(), 1);
    ASSERT_TRUE(table.SetFilter(QStringLiteral("Salary < 3900.5")));
    EXPECT_EQ(table.RecordCount(), 2);
}

TEST_F(Filter, BadTextsAreRefusedAndThePreviousFilterStays)
{
    ASSERT_TRUE(table.SetFilter(QStringLiteral("City = 'Berlin'")));
    ASSERT_EQ(table.RecordCount(), 1);
    const char* const bad[] = {
        "City =",
        "City = 'Berlin",
        "Nope = 1",
        "[Nope] = 'x'",
        "Nope",
        "[City = 'x'",
        "(Age > 1",
        "Age > 1)",
        "Age > 'abc'",
        "Born > 'not a date'",
        "Active = maybe",
        "Age >",
        "AND Age > 1",
        "Age > 1 AND",
        "Age > 1 Age < 3",
        "Photo = 'x'",
        "Age > NULL",
        "City = Age",
        "Name",
        "Age ! 3",
    };
    for (const char* text : bad) {
        EXPECT_FALSE(table.SetFilter(QLatin1String(text))) << text;
        EXPECT_FALSE(table.LastError().isEmpty()) << text;
        EXPECT_EQ(table.Filter(), QStringLiteral("City = 'Berlin'")) << text;
        EXPECT_EQ(table.RecordCount(), 1) << text;
    }
    EXPECT_FALSE(table.SetFilter(QString(5000, u'(')));
    EXPECT_FALSE(table.SetFilter(QStringLiteral("Age > 1 AND ").repeated(3000) + QStringLiteral("Age > 1")));
}

TEST_F(Filter, SetWhileClosedAppliesOnOpen)
{
    table.Close();
    EXPECT_FALSE(table.SetFilter(QStringLiteral("City = ")));  // syntax is checked at once
    ASSERT_TRUE(table.SetFilter(QStringLiteral("Nope = 1")));  // names only when open
    EXPECT_FALSE(table.Open());
    EXPECT_EQ(table.LastError(), QStringLiteral("Field 'Nope' not found"));
    EXPECT_FALSE(table.Active());
    ASSERT_TRUE(table.SetFilter(QStringLiteral("Age > 40")));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.RecordCount(), 2);
    ASSERT_TRUE(table.SetFiltered(false));
    EXPECT_EQ(table.RecordCount(), 6);
    EXPECT_EQ(table.RecNo(), 1);
}

TEST_F(Filter, RowsAddedOrRemovedUnderAFilter)
{
    ASSERT_TRUE(table.SetFilter(QStringLiteral("Age > 40")));
    ASSERT_EQ(table.RecordCount(), 2);
    table.Last();
    ASSERT_TRUE(table.Delete());
    EXPECT_EQ(table.RecordCount(), 1);
    ASSERT_TRUE(table.SetFiltered(false));
    EXPECT_EQ(table.RecordCount(), 5);
}
