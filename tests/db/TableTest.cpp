#include "DbFixture.h"
#include "platform/db/Table.h"

namespace {
QStringList Values(TDataSet& ds, const char* field)
{
    QStringList values;
    for (ds.First(); !ds.Eof(); ds.Next())
        values << ds.FieldByName(QLatin1String(field))->AsString();
    return values;
}

QStringList DefsText(const TTable& t)
{
    QStringList out;
    for (const TIndexDef& d : t.IndexDefs())
        out << QStringLiteral("%1|%2|%3").arg(d.Name, d.Fields).arg(d.Options.toInt());
    return out;
}
} // namespace

class Table : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        table.SetDatabaseName(QStringLiteral("TESTDB"));
        table.SetTableName(QStringLiteral("People"));
    }
    TTable table;
};

TEST_F(Table, IndexesAreListedCreatedAndDeleted)
{
    Sql({QStringLiteral("CREATE INDEX ByAge ON People (Age DESC)"),
         QStringLiteral("CREATE UNIQUE INDEX ByZip ON People (\"Zip Code\" COLLATE NOCASE)"),
         QStringLiteral("CREATE INDEX Calc ON People (Age + 1)")});
    ASSERT_TRUE(table.UpdateIndexDefs()) << table.LastError().toStdString();
    EXPECT_TRUE(table.SupportsIndexes());
    EXPECT_EQ(DefsText(table), (QStringList{QStringLiteral("|Id|3"), QStringLiteral("ByAge|Age|4"),
                                            QStringLiteral("ByZip|Zip Code|10")}));

    ASSERT_TRUE(table.AddIndex(QStringLiteral("NAME;CITY"), QStringLiteral("Name;City"))) << table.LastError().toStdString();
    ASSERT_TRUE(table.AddIndex(QStringLiteral("it\"s"), QStringLiteral("City"), ixDescending | ixCaseInsensitive));
    QStringList names;
    table.GetIndexNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("ByAge"), QStringLiteral("ByZip"), QStringLiteral("NAME;CITY"),
                                  QStringLiteral("it\"s")}));
    EXPECT_EQ(table.IndexDefs()[3].Fields, QStringLiteral("Name;City"));
    EXPECT_EQ(table.IndexDefs()[4].Options, ixDescending | ixCaseInsensitive);

    EXPECT_FALSE(table.AddIndex(QStringLiteral("ByAge"), QStringLiteral("City")));  // name taken
    EXPECT_FALSE(table.AddIndex(QStringLiteral("Bad"), QStringLiteral("NoSuchField")));
    EXPECT_FALSE(table.AddIndex(QString(), QStringLiteral("City")));
    EXPECT_FALSE(table.AddIndex(QStringLiteral("Pk"), QStringLiteral("City"), ixPrimary));
    EXPECT_EQ(table.IndexDefs().size(), 5u);

    // Indexes stay with the table.
    TTable other;
    other.SetDatabaseName(QStringLiteral("TESTDB"));
    other.SetTableName(QStringLiteral("People"));
    ASSERT_TRUE(other.Open());
    EXPECT_EQ(other.IndexDefs().size(), 5u);

    ASSERT_TRUE(table.DeleteIndex(QStringLiteral("name;city"))) << table.LastError().toStdString();
    EXPECT_FALSE(table.DeleteIndex(QStringLiteral("NAME;CITY")));
    EXPECT_FALSE(table.DeleteIndex(QString())); // the primary index
    EXPECT_EQ(table.IndexDefs().size(), 4u);
}

TEST_F(Table, OrderFollowsTheCurrentIndex)
{
    ASSERT_TRUE(table.AddIndex(QStringLiteral("ByCity"), QStringLiteral("City;Name")));
    ASSERT_TRUE(table.AddIndex(QStringLiteral("CityNoCase"), QStringLiteral("City"), ixCaseInsensitive | ixDescending));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(Values(table, "Id"), QString("1 2 3 4 5 6").split(u' '));

    ASSERT_TRUE(table.SetIndexName(QStringLiteral("bycity")));
    EXPECT_EQ(table.IndexName(), QStringLiteral("ByCity"));
    EXPECT_EQ(Values(table, "City"), QString("Berlin Bern Dublin London München berlin").split(u' '));
    ASSERT_TRUE(table.SetIndexName(QStringLiteral("CityNoCase")));
    EXPECT_EQ(Values(table, "City").mid(0, 3), QString("München London Dublin").split(u' '));

    EXPECT_FALSE(table.SetIndexName(QStringLiteral("Nope")));
    EXPECT_EQ(table.LastError(), QStringLiteral("Index 'Nope' not found"));
    EXPECT_EQ(table.IndexName(), QStringLiteral("CityNoCase"));
    EXPECT_FALSE(table.DeleteIndex(QStringLiteral("CityNoCase"))); // in use

    ASSERT_TRUE(table.SetIndexFieldNames(QStringLiteral("Salary;Name")));
    EXPECT_EQ(table.IndexName(), QString());
    EXPECT_EQ(Values(table, "Name").first(), QStringLiteral("Müller")); // null salary first
    EXPECT_EQ(Values(table, "Name").last(), QStringLiteral("smithers"));
    EXPECT_FALSE(table.SetIndexFieldNames(QStringLiteral("Nope")));
    EXPECT_EQ(table.IndexFieldNames(), QStringLiteral("Salary;Name"));

    ASSERT_TRUE(table.SetIndexName(QString()));
    EXPECT_EQ(Values(table, "Id").first(), QStringLiteral("1"));

    // Set while closed, used at the next open.
    table.Close();
    ASSERT_TRUE(table.SetIndexName(QStringLiteral("ByCity")));
    EXPECT_FALSE(table.SetIndexName(QStringLiteral("Gone")));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.FieldByName(QStringLiteral("City"))->AsString(), QStringLiteral("Berlin"));
    table.Close();
    ASSERT_TRUE(table.DeleteIndex(QStringLiteral("ByCity")));
    EXPECT_EQ(table.IndexName(), QString());
    ASSERT_TRUE(table.Open());
}

TEST_F(Table, ClosedOnlySettingsAndMissingTables)
{
    ASSERT_TRUE(table.SetExclusive(true));
    ASSERT_TRUE(table.Open()) << table.LastError().toStdString(); // the engine has no exclusive mode; it opens
    EXPECT_TRUE(table.Exclusive());
    EXPECT_FALSE(table.SetExclusive(false));
    EXPECT_FALSE(table.SetTableName(QStringLiteral("Other")));
    EXPECT_FALSE(table.SetDatabaseName(QStringLiteral("DEMO")));
    table.Close();
    ASSERT_TRUE(table.SetExclusive(false));

    ASSERT_TRUE(table.SetTableName(QStringLiteral("Missing")));
    EXPECT_FALSE(table.Open());
    EXPECT_EQ(table.LastError(), QStringLiteral("Table 'Missing' does not exist"));
    EXPECT_FALSE(table.UpdateIndexDefs());

    // A view can be read but not changed.
    Sql({QStringLiteral("CREATE VIEW Adults AS SELECT Name, Age FROM People WHERE Age >= 40")});
    ASSERT_TRUE(table.SetTableName(QStringLiteral("Adults")));
    ASSERT_TRUE(table.Open()) << table.LastError().toStdString();
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_FALSE(table.CanModify());
    EXPECT_FALSE(table.Edit());
}
