#include "DbFixture.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include <QImage>

namespace {
QStringList Column(TDataSet& ds, const char* field)
{
    QStringList values;
    for (ds.First(); !ds.Eof(); ds.Next())
        values << ds.FieldByName(QLatin1String(field))->AsString();
    return values;
}

struct CountingLink : TDataLink {
    int active = 0, changed = 0, scrolled = 0, record = 0, layout = 0, editing = 0;
    int lastDistance = 0;
    TField* lastField = nullptr;
    void ActiveChanged() override { ++active; }
    void DataSetChanged() override { ++changed; }
    void DataSetScrolled(int d) override
    {
        ++scrolled;
        lastDistance = d;
    }
    void RecordChanged(TField* f) override
    {
        ++record;
        lastField = f;
    }
    void LayoutChanged() override { ++layout; }
    void EditingChanged() override { ++editing; }
    int Total() const { return active + changed + scrolled + record + layout + editing; }
    void Reset()
    {
        active = changed = scrolled = record = layout = editing = lastDistance = 0;
        lastField = nullptr;
    }
};
} // namespace

using DataSet = DbTest;

TEST_F(DataSet, CursorMovesAndCounts)
{
    TTable t;
    t.SetDatabaseName(QStringLiteral("TESTDB"));
    t.SetTableName(QStringLiteral("People"));
    ASSERT_TRUE(t.Open()) << t.LastError().toStdString();
    EXPECT_EQ(t.State(), dsBrowse);
    EXPECT_EQ(t.RecordCount(), 6);
    EXPECT_EQ(t.FieldCount(), 11);
    EXPECT_TRUE(t.Bof());
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.RecNo(), 1);

    int walked = 0;
    for (t.First(); !t.Eof(); t.Next())
        ++walked;
    EXPECT_EQ(walked, 6);
    EXPECT_EQ(t.RecNo(), 6); // Eof stays on the last record

    t.Last();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Brown"));
    t.Prior();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.RecNo(), 5);
    EXPECT_EQ(t.MoveBy(-10), -4);
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 1);
    t.Prior();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.MoveBy(2), 2);
    EXPECT_FALSE(t.Bof());
    EXPECT_EQ(t.FieldByName(QStringLiteral("id"))->AsInteger(), 3);
    EXPECT_TRUE(t.SetRecNo(6));
    EXPECT_FALSE(t.SetRecNo(7));
    EXPECT_EQ(t.RecNo(), 6);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Nope")), nullptr);
    EXPECT_EQ(t.LastError(), QStringLiteral("Field 'Nope' not found"));
    EXPECT_EQ(t.FieldNames().first(), QStringLiteral("Id"));

    t.Close();
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.FieldCount(), 0);
    EXPECT_TRUE(t.Open());
    EXPECT_EQ(t.RecordCount(), 6);
}

TEST_F(DataSet, EmptyResultHasBofAndEof)
{
    TQuery q;
    q.SetDatabaseName(QStringLiteral("TESTDB"));
    q.SetSQL({QStringLiteral("SELECT * FROM People WHERE Id > 100")});
    ASSERT_TRUE(q.Open()) << q.LastError().toStdString();
    EXPECT_TRUE(q.Bof());
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.RecNo(), 0);
    q.Next();
    q.Last();
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.FieldCount(), 11);
    EXPECT_TRUE(q.FieldByName(QStringLiteral("Name"))->IsNull());
    EXPECT_EQ(q.FieldByName(QStringLiteral("Name"))->AsString(), QString());
}

TEST_F(DataSet, FieldsGiveTypedValuesAndTexts)
{
    TTable t;
    t.SetDatabaseName(QStringLiteral("TESTDB"));
    t.SetTableName(QStringLiteral("People"));
    ASSERT_TRUE(t.Open());
    struct Expect {
        const char* Field;
        TFieldType Type;
    };
    for (const Expect& e : {Expect{"Id", ftAutoInc}, {"Name", ftString}, {"City", ftString}, {"Age", ftInteger},
                            {"Salary", ftFloat}, {"Born", ftDate}, {"Joined", ftDateTime}, {"Active", ftBoolean},
                            {"Zip Code", ftString}, {"Notes", ftMemo}, {"Photo", ftGraphic}})
        EXPECT_EQ(t.FieldByName(QLatin1String(e.Field))->DataType(), e.Type) << e.Field;
    EXPECT_EQ(t.FieldByName(QStringLiteral("Name"))->Size(), 30);

    TField* born = t.FieldByName(QStringLiteral("Born"));
    TField* joined = t.FieldByName(QStringLiteral("Joined"));
    TField* salary = t.FieldByName(QStringLiteral("Salary"));
    EXPECT_EQ(born->AsString(), QStringLiteral("01.03.1990"));
    EXPECT_EQ(born->Value(), QVariant(QDate(1990, 3, 1)));
    EXPECT_EQ(joined->AsString(), QStringLiteral("15.01.2020 09:30:00"));
    EXPECT_EQ(DateTimeToQDateTime(joined->AsDateTime()), QDateTime(QDate(2020, 1, 15), QTime(9, 30)));
    EXPECT_EQ(salary->AsString(), QStringLiteral("4200.5"));
    EXPECT_DOUBLE_EQ(salary->AsFloat(), 4200.5);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Active"))->AsString(), QStringLiteral("True"));
    EXPECT_TRUE(t.FieldByName(QStringLiteral("Active"))->AsBoolean());
    EXPECT_EQ(t.FieldByName(QStringLiteral("Notes"))->AsString(), QStringLiteral("likes SQL"));
    EXPECT_EQ(t.FieldByName(QStringLiteral("Notes"))->DisplayText(), QStringLiteral("(MEMO)"));
    EXPECT_EQ(t.FieldByName(QStringLiteral("Photo"))->DisplayText(), QStringLiteral("(graphic)"));

    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ShortDateFormat = QStringLiteral("yyyy/MM/dd");
    EXPECT_EQ(salary->AsString(), QStringLiteral("4200,5"));
    EXPECT_EQ(born->AsString(), QStringLiteral("1990/03/01"));
    FormatSettings() = TFormatSettings::English();

    t.SetRecNo(2);
    EXPECT_EQ(joined->AsString(), QStringLiteral("01.06.2019")); // midnight shows no time
    EXPECT_EQ(t.FieldByName(QStringLiteral("Notes"))->DisplayText(), QStringLiteral("(memo)"));
    t.SetRecNo(4);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Müller"));
    EXPECT_TRUE(salary->IsNull());
    EXPECT_FALSE(salary->Value().isValid());
    EXPECT_EQ(t.FieldByName(QStringLiteral("Photo"))->AsBytes(), QByteArray("\x89PNG"));
    // Any record without moving.
    EXPECT_EQ(t.ValueAt(3, t.FieldByName(QStringLiteral("Name"))->Index()), QVariant(QStringLiteral("O'Hara")));
    EXPECT_EQ(t.DisplayTextAt(1, born->Index()), QStringLiteral("01.03.1990"));
    EXPECT_EQ(t.RecNo(), 4);
}

// SQLite keeps any value in any column: values that do not fit the declared type change the
// column's type instead of being lost.
TEST_F(DataSet, ValuesThatDoNotFitTheDeclaredTypeAreKept)
{
    Sql({QStringLiteral("CREATE TABLE Mixed (K INTEGER PRIMARY KEY, A INTEGER, B INTEGER, D DATETIME, E DATE)"),
         QStringLiteral("INSERT INTO Mixed VALUES (1, 1, 7, '2020-01-01 10:00:00', '')"),
         QStringLiteral("INSERT INTO Mixed VALUES (2, 'abc', 2.5, 'someday', '2021-02-03')")});
    TTable t;
    t.SetDatabaseName(QStringLiteral("TESTDB"));
    t.SetTableName(QStringLiteral("Mixed"));
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.FieldByName(QStringLiteral("A"))->DataType(), ftString);
    EXPECT_EQ(Column(t, "A"), (QStringList{QStringLiteral("1"), QStringLiteral("abc")}));
    EXPECT_EQ(t.FieldByName(QStringLiteral("B"))->DataType(), ftFloat);
    EXPECT_EQ(Column(t, "B"), (QStringList{QStringLiteral("7"), QStringLiteral("2.5")}));
    EXPECT_EQ(t.FieldByName(QStringLiteral("D"))->DataType(), ftString);
    EXPECT_EQ(Column(t, "D"), (QStringList{QStringLiteral("2020-01-01 10:00:00"), QStringLiteral("someday")}));
    EXPECT_EQ(t.FieldByName(QStringLiteral("E"))->DataType(), ftDate);
    EXPECT_EQ(Column(t, "E"), (QStringList{QString(), QStringLiteral("03.02.2021")}));
}

TEST_F(DataSet, QueryWithBadSqlStaysClosedAndUsable)
{
    TQuery q;
    q.SetDatabaseName(QStringLiteral("TESTDB"));
    q.SetSQL({QStringLiteral("SELEC * FROM People")});
    EXPECT_FALSE(q.Open());
    EXPECT_FALSE(q.Active());
    EXPECT_TRUE(q.LastError().contains(QStringLiteral("syntax error"))) << q.LastError().toStdString();
    EXPECT_FALSE(q.Prepare());

    q.SetSQL({QStringLiteral("SELECT * FROM NoSuchTable")});
    EXPECT_FALSE(q.Open());
    EXPECT_TRUE(q.LastError().contains(QStringLiteral("no such table"))) << q.LastError().toStdString();

    // A statement that returns no rows is not run by Open.
    q.SetSQL({QStringLiteral("DELETE FROM People")});
    EXPECT_FALSE(q.Open());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM People")).toInt(), 6);

    q.SetSQL({QStringLiteral("SELECT Name, City"), QStringLiteral("FROM People"), QStringLiteral("WHERE Age > :age")});
    q.SetParamValue(QStringLiteral("age"), 40);
    ASSERT_TRUE(q.Prepare()) << q.LastError().toStdString();
    ASSERT_TRUE(q.Open()) << q.LastError().toStdString();
    EXPECT_EQ(q.RecordCount(), 2);
    q.Close();

    TQuery none;
    none.SetSQL({QStringLiteral("SELECT 1")});
    EXPECT_FALSE(none.Open());
    EXPECT_EQ(none.LastError(), QStringLiteral("No database (alias) is set"));
    none.SetDatabaseName(QStringLiteral("NOSUCHALIAS"));
    EXPECT_FALSE(none.Open());
    EXPECT_TRUE(none.LastError().contains(QStringLiteral("NOSUCHALIAS")));
}

TEST_F(DataSet, ExecSqlRunsStatements)
{
    TQuery q;
    q.SetDatabaseName(QStringLiteral("TESTDB"));
    q.SetSQL({QStringLiteral("UPDATE People SET Age = Age + 1 WHERE City = :city")});
    q.SetParamValue(QStringLiteral(":city"), QStringLiteral("Bern'; DROP TABLE People; --"));
    ASSERT_TRUE(q.ExecSQL()) << q.LastError().toStdString();
    EXPECT_EQ(q.RowsAffected(), 0);
    q.SetParamValue(QStringLiteral("city"), QStringLiteral("Bern"));
    ASSERT_TRUE(q.ExecSQL());
    EXPECT_EQ(q.RowsAffected(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Age FROM People WHERE Id = 2")).toInt(), 52);
    q.SetSQL({QStringLiteral("UPDATE Nowhere SET X = 1")});
    EXPECT_FALSE(q.ExecSQL());
    EXPECT_FALSE(q.LastError().isEmpty());
}

TEST_F(DataSet, QueryCanModifyOnlyWhenItMapsToOneKeyedTable)
{
    Sql({QStringLiteral("CREATE TABLE Visits (VisitNo INTEGER PRIMARY KEY, PersonId INTEGER, VisitDate DATETIME)"),
         QStringLiteral("INSERT INTO Visits VALUES (1, 1, '2023-05-01 10:00:00')"),
         QStringLiteral("CREATE TABLE Loose (A TEXT, B INTEGER)"), QStringLiteral("INSERT INTO Loose VALUES ('x', 1)")});
    struct Case {
        const char* Sql;
        bool CanModify;
    };
    const Case cases[] = {
        {"SELECT * FROM People", true},
        {"select Id, Name AS N from \"People\" p where Age > 30 order by Name", true},
        {"SELECT Name, City FROM People", false}, // no key
        {"SELECT Id, Age + 1 FROM People", false},
        {"SELECT DISTINCT Id, Name FROM People", false},
        {"SELECT p.Id, v.VisitDate FROM People p JOIN Visits v ON v.PersonId = p.Id", false},
        {"SELECT Id, Name FROM People, Visits", false},
        {"SELECT City, COUNT(*) FROM People GROUP BY City", false},
        {"SELECT * FROM Loose", false},
    };
    for (const Case& c : cases) {
        TQuery q;
        q.SetDatabaseName(QStringLiteral("TESTDB"));
        q.SetSQL({QLatin1String(c.Sql)});
        ASSERT_TRUE(q.Open()) << c.Sql << ": " << q.LastError().toStdString();
        EXPECT_EQ(q.CanModify(), c.CanModify) << c.Sql;
        EXPECT_EQ(q.Edit(), c.CanModify) << c.Sql;
    }
    // Declared types reach query fields through joins and aliases.
    TQuery q;
    q.SetDatabaseName(QStringLiteral("TESTDB"));
    q.SetSQL({QStringLiteral("SELECT p.Name, v.VisitDate AS Seen, p.Born FROM People p JOIN Visits v ON v.PersonId = p.Id")});
    ASSERT_TRUE(q.Open());
    EXPECT_EQ(q.FieldByName(QStringLiteral("Seen"))->DataType(), ftDateTime);
    EXPECT_EQ(q.FieldByName(QStringLiteral("Born"))->DataType(), ftDate);
    EXPECT_EQ(q.FieldByName(QStringLiteral("Seen"))->AsString(), QStringLiteral("01.05.2023 10:00:00"));
}

TEST_F(DataSet, EditPostWritesBack)
{
    TTable t;
    t.SetDatabaseName(QStringLiteral("TESTDB"));
    t.SetTableName(QStringLiteral("People"));
    ASSERT_TRUE(t.Open());
    ASSERT_TRUE(t.CanModify());
    TField* name = t.FieldByName(QStringLiteral("Name"));
    TField* age = t.FieldByName(QStringLiteral("Age"));
    TField* born = t.FieldByName(QStringLiteral("Born"));

    EXPECT_FALSE(name->SetAsString(QStringLiteral("x"))); // not in edit state
    EXPECT_EQ(t.LastError(), QStringLiteral("Dataset not in edit or insert mode"));

    t.SetRecNo(3);
    ASSERT_TRUE(t.Edit());
    EXPECT_EQ(t.State(), dsEdit);
    EXPECT_TRUE(name->SetAsString(QStringLiteral("it's me")));
    EXPECT_FALSE(age->SetAsString(QStringLiteral("old")));
    EXPECT_FALSE(age->SetValue(2.5));
    EXPECT_FALSE(born->SetAsString(QStringLiteral("31.02.2000")));
    EXPECT_EQ(age->AsInteger(), 28); // refused values change nothing
    EXPECT_TRUE(born->SetAsString(QStringLiteral("02.01.1997")));
    EXPECT_EQ(name->AsString(), QStringLiteral("it's me"));
    ASSERT_TRUE(t.Post()) << t.LastError().toStdString();
    EXPECT_EQ(t.State(), dsBrowse);
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Name FROM People WHERE Id = 3")).toString(), QStringLiteral("it's me"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Born FROM People WHERE Id = 3")).toString(), QStringLiteral("1997-01-02"));
    EXPECT_EQ(born->AsString(), QStringLiteral("02.01.1997"));

    // Cancel forgets the changes.
    ASSERT_TRUE(t.Edit());
    age->SetAsInteger(99);
    t.Cancel();
    EXPECT_EQ(age->AsInteger(), 28);
    ASSERT_TRUE(t.Edit());
    ASSERT_TRUE(age->Clear());
    ASSERT_TRUE(t.Post());
    EXPECT_TRUE(age->IsNull());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Age IS NULL FROM People WHERE Id = 3")).toInt(), 1);

    // Append: the engine gives the key, and the new record becomes current.
    ASSERT_TRUE(t.Append());
    EXPECT_EQ(t.State(), dsInsert);
    EXPECT_TRUE(name->IsNull());
    name->SetAsString(QStringLiteral("Newman"));
    t.FieldByName(QStringLiteral("Active"))->SetAsBoolean(true);
    t.FieldByName(QStringLiteral("Joined"))->SetAsString(QStringLiteral("05.06.2024 07:08:09"));
    ASSERT_TRUE(t.Post()) << t.LastError().toStdString();
    EXPECT_EQ(t.RecordCount(), 7);
    EXPECT_EQ(t.RecNo(), 7);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Id"))->AsInteger(), 7);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Joined FROM People WHERE Name = 'Newman'")).toString(),
              QStringLiteral("2024-06-05 07:08:09"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Active FROM People WHERE Name = 'Newman'")).toInt(), 1);

    // Moving posts an edit; a failed post keeps the record in edit state.
    ASSERT_TRUE(t.Edit());
    name->SetAsString(QStringLiteral("Newer"));
    t.First();
    EXPECT_EQ(t.State(), dsBrowse);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM People WHERE Name = 'Newer'")).toInt(), 1);

    ASSERT_TRUE(t.Edit());
    name->SetAsString(QStringLiteral("Ghost"));
    Sql({QStringLiteral("DELETE FROM People WHERE Id = 1")});
    EXPECT_FALSE(t.Post());
    EXPECT_EQ(t.State(), dsEdit);
    EXPECT_FALSE(t.LastError().isEmpty());
    t.Cancel();

    // Delete removes the record from the table and the cursor.
    t.Last();
    ASSERT_TRUE(t.Delete()) << t.LastError().toStdString();
    EXPECT_EQ(t.RecordCount(), 6);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM People WHERE Id = 7")).toInt(), 0);
    t.First();
    EXPECT_FALSE(t.Delete()); // Id 1 was deleted behind the table's back
    EXPECT_EQ(t.RecordCount(), 6);
}

TEST_F(DataSet, TableWithoutKeyWritesBackByRowId)
{
    Sql({QStringLiteral("CREATE TABLE Loose (A TEXT, B INTEGER)"),
         QStringLiteral("INSERT INTO Loose VALUES ('same', 1)"), QStringLiteral("INSERT INTO Loose VALUES ('same', 1)")});
    TTable t;
    t.SetDatabaseName(QStringLiteral("TESTDB"));
    t.SetTableName(QStringLiteral("Loose"));
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.FieldCount(), 2);
    t.Last();
    ASSERT_TRUE(t.Edit());
    t.FieldByName(QStringLiteral("B"))->SetAsInteger(2);
    ASSERT_TRUE(t.Post()) << t.LastError().toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT SUM(B) FROM Loose")).toInt(), 3);
    ASSERT_TRUE(t.Append());
    t.FieldByName(QStringLiteral("A"))->SetAsString(QStringLiteral("third"));
    ASSERT_TRUE(t.Post());
    ASSERT_TRUE(t.Edit());
    t.FieldByName(QStringLiteral("B"))->SetAsInteger(30);
    ASSERT_TRUE(t.Post());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT B FROM Loose WHERE A = 'third'")).toInt(), 30);
}

TEST_F(DataSet, QueryEditsWriteToItsTable)
{
    TQuery q;
    q.SetDatabaseName(QStringLiteral("TESTDB"));
    q.SetSQL({QStringLiteral("SELECT Id, Name AS Person, City FROM People WHERE City LIKE 'B%' ORDER BY Id")});
    ASSERT_TRUE(q.Open());
    ASSERT_TRUE(q.CanModify());
    q.Next();
    ASSERT_TRUE(q.Edit());
    q.FieldByName(QStringLiteral("Person"))->SetAsString(QStringLiteral("Smithers"));
    ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Name FROM People WHERE Id = 2")).toString(), QStringLiteral("Smithers"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("Person"))->AsString(), QStringLiteral("Smithers"));
}

TEST_F(DataSet, RefreshFetchesAgainAndStaysOnTheRecord)
{
    TTable t;
    t.SetDatabaseName(QStringLiteral("TESTDB"));
    t.SetTableName(QStringLiteral("People"));
    ASSERT_TRUE(t.Open());
    t.SetRecNo(4);
    TField* name = t.FieldByName(QStringLiteral("Name"));
    Sql({QStringLiteral("DELETE FROM People WHERE Id = 1"), QStringLiteral("UPDATE People SET Name = 'Miller' WHERE Id = 4")});
    ASSERT_TRUE(t.Refresh());
    EXPECT_EQ(t.RecordCount(), 5);
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Name")), name); // same field objects
    EXPECT_EQ(name->AsString(), QStringLiteral("Miller"));
}

TEST_F(DataSet, DataSourcesNotifyTheirLinks)
{
    auto t = std::make_unique<TTable>();
    t->SetDatabaseName(QStringLiteral("TESTDB"));
    t->SetTableName(QStringLiteral("People"));
    TDataSource source;
    source.SetDataSet(t.get());
    CountingLink link;
    link.SetDataSource(&source);
    EXPECT_EQ(source.LinkCount(), 1);
    EXPECT_FALSE(link.Active());

    ASSERT_TRUE(t->Open());
    EXPECT_EQ(link.active, 1);
    EXPECT_TRUE(link.Active());
    t->Next();
    EXPECT_EQ(link.scrolled, 1);
    EXPECT_EQ(link.lastDistance, 1);
    t->Last();
    EXPECT_EQ(link.lastDistance, 4);
    const int before = link.Total();
    t->Next(); // already at the end: no move, no event
    EXPECT_EQ(link.Total(), before);

    // Disabled controls hear nothing until EnableControls sends one change.
    link.Reset();
    t->DisableControls();
    t->DisableControls();
    EXPECT_TRUE(t->ControlsDisabled());
    t->First();
    t->Next();
    t->SetFilter(QStringLiteral("Age > 30"));
    t->SetFiltered(true);
    t->EnableControls();
    EXPECT_EQ(link.Total(), 0);
    t->EnableControls();
    EXPECT_EQ(link.changed, 1);
    EXPECT_EQ(link.Total(), 1);

    link.changed = 0;
    t->SetFiltered(false);
    EXPECT_EQ(link.changed, 1);
    EXPECT_TRUE(t->Refresh());
    EXPECT_EQ(link.changed, 2);

    // Editing through the data source.
    link.Reset();
    source.SetAutoEdit(false);
    EXPECT_FALSE(source.Edit());
    source.SetAutoEdit(true);
    ASSERT_TRUE(source.Edit());
    EXPECT_TRUE(link.Editing());
    EXPECT_EQ(link.editing, 1);
    TField* city = t->FieldByName(QStringLiteral("City"));
    city->SetAsString(QStringLiteral("Paris"));
    EXPECT_EQ(link.record, 1);
    EXPECT_EQ(link.lastField, city);
    ASSERT_TRUE(t->Post());
    EXPECT_EQ(link.editing, 2);
    EXPECT_EQ(link.changed, 1);

    // A disabled data source passes nothing on and shows the dataset inactive.
    link.Reset();
    source.SetEnabled(false);
    EXPECT_EQ(link.active, 1);
    EXPECT_EQ(source.State(), dsInactive);
    t->Next();
    EXPECT_EQ(link.scrolled, 0);
    source.SetEnabled(true);
    EXPECT_EQ(link.active, 2);

    t->Close();
    EXPECT_EQ(link.active, 3);
    // The dataset goes first: the source forgets it.
    t.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
}

TEST_F(DataSet, LinksOutliveTheirDataSource)
{
    TTable t;
    t.SetDatabaseName(QStringLiteral("TESTDB"));
    t.SetTableName(QStringLiteral("People"));
    CountingLink link;
    {
        TDataSource source;
        source.SetDataSet(&t);
        link.SetDataSource(&source);
    }
    EXPECT_EQ(link.DataSource(), nullptr);
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(link.active, 1); // only the detach
}
