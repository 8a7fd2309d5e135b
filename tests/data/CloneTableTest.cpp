// The dataset wrapper: SQL splitting, order texts, sorting tables through indexes, groups,
// filters, query ordering and record movement, against a real SQLite database.
#include "DataFixture.h"
#include "objects/DYNPanel.h"
#include "shell/Texts.h"

namespace {

// ---- SQL splitting (no database needed) ----

struct SplitCase {
    const char* what;
    QStringList sql;
    bool ok;
    QStringList head;
    QStringList sort;
    QStringList tail;
    QString order;
};

TEST(SqlSplitting, HeadSortListTailAndOrderText)
{
    const SplitCase cases[] = {
        {"the documented example", {"SELECT * FROM ORDERS ORDER BY NAME DESC, CITY"}, true,
         {"SELECT * FROM ORDERS "}, {"NAME-", "CITY"}, {}, "NAME  DESC, CITY  ASC"},
        {"ORDER inside a table name", {"SELECT * FROM BORDER WHERE X=1"}, true,
         {"SELECT * FROM BORDER WHERE X=1"}, {}, {}, ""},
        {"ORDER BY inside quoted text", {"SELECT 'ORDER BY X' AS T FROM A"}, true,
         {"SELECT 'ORDER BY X' AS T FROM A"}, {}, {}, ""},
        {"names that begin like direction words", {"SELECT * FROM T ORDER BY DESCRIPTION, ASCII DESC"}, true,
         {"SELECT * FROM T "}, {"DESCRIPTION", "ASCII-"}, {}, "DESCRIPTION  ASC, ASCII  DESC"},
        {"a direction word without a name", {"SELECT * FROM T ORDER BY DESC"}, false, {}, {}, {}, ""},
        {"lines, lower case and a tail", {"SELECT *", "FROM T", "order\tby name asc", "LIMIT 5"}, true,
         {"SELECT *", "FROM T"}, {"name+"}, {"LIMIT 5"}, "NAME  ASC"},
        {"a clause after the list on the same line", {"SELECT * FROM T ORDER BY A LIMIT 10"}, true,
         {"SELECT * FROM T "}, {"A"}, {"LIMIT 10"}, "A  ASC"},
        {"a subquery with its own ORDER BY", {"SELECT * FROM (SELECT * FROM T ORDER BY A) ORDER BY B DESC"}, true,
         {"SELECT * FROM (SELECT * FROM T ORDER BY A) "}, {"B-"}, {}, "B  DESC"},
        {"a quoted name with a blank", {"SELECT * FROM T ORDER BY \"Zip Code\" DESC, x"}, true,
         {"SELECT * FROM T "}, {"\"Zip Code\"-", "x"}, {}, "\"ZIP CODE\"  DESC, X  ASC"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TCloneDataSource> w(TCloneDataSource::CreateOwnQuery(nullptr));
        ASSERT_EQ(w->SetSql(c.sql), c.ok);
        if (!c.ok)
            continue;
        EXPECT_EQ(w->SqlHead.ToQStringList(), c.head);
        EXPECT_EQ(SortListOf(*w), c.sort);
        EXPECT_EQ(w->SqlTail.ToQStringList(), c.tail);
        EXPECT_EQ(w->FOrderText, c.order);
    }
}

TEST(SqlSplitting, ComposeAndFailedParseLeaveTheSqlAlone)
{
    std::unique_ptr<TCloneDataSource> w(TCloneDataSource::CreateOwnQuery(nullptr));
    ASSERT_TRUE(w->SetSql({"SELECT * FROM T", "WHERE A > 1"}));
    QStringList lines{"SELECT * FROM T", "WHERE A > 1"};
    w->ComposeSql(QString(), lines);
    EXPECT_EQ(lines, (QStringList{"SELECT * FROM T", "WHERE A > 1"}));
    w->ComposeSql(QStringLiteral("B  DESC"), lines);
    EXPECT_EQ(lines, (QStringList{"SELECT * FROM T", "WHERE A > 1", "ORDER BY B  DESC"}));

    ASSERT_TRUE(w->SetSql({"SELECT * FROM T ORDER BY A DESC LIMIT 3"}));
    EXPECT_FALSE(w->SetSql({"SELECT * FROM U ORDER BY ASC"}));
    EXPECT_EQ(w->BaseSql.ToQStringList(), QStringList{"SELECT * FROM T ORDER BY A DESC LIMIT 3"});
    EXPECT_EQ(w->SqlHead.ToQStringList(), QStringList{"SELECT * FROM T "});
    EXPECT_EQ(SortListOf(*w), QStringList{"A-"});
    EXPECT_EQ(w->SqlTail.ToQStringList(), QStringList{"LIMIT 3"});
    EXPECT_EQ(w->FOrderText, QStringLiteral("A  DESC"));
}

TEST(SortList, OrderTextsAndNameEntries)
{
    std::unique_ptr<TCloneDataSource> w(TCloneDataSource::CreateOwnQuery(nullptr));
    w->SortFields.Add(QStringLiteral("NAME"), &w->AscendingMarker);
    w->SortFields.Add(QStringLiteral("city"), &w->DescendingMarker);
    EXPECT_EQ(w->OrderText(), QStringLiteral("NAME  ASC, CITY  DESC"));
    w->AddSortFieldName(QStringLiteral("city"));
    w->AddSortFieldName(QStringLiteral("City"));
    EXPECT_EQ(SortListOf(*w), (QStringList{"NAME+", "city-", "City"}));
    w->Kind = HostTable;
    EXPECT_EQ(w->OrderText(), QStringLiteral("NAME;city;City"));
    EXPECT_EQ(TCloneSource::QuoteText(QStringLiteral("O'Hara's")), QStringLiteral("O''Hara''s"));
}

// ---- queries ----

TEST_F(DataTest, FieldListingAndDirections)
{
    auto w = MakeOwnQuery({"SELECT * FROM PEOPLE ORDER BY NAME, CITY DESC"});
    TSortGridCells grid;
    w->ListFields(grid);
    // ID (the row id) and NOTES (a memo) cannot be sorted and are not listed.
    ASSERT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(grid.Row(0), (QStringList{"0", "NAME", " ab", ""}));
    EXPECT_EQ(grid.Row(1), (QStringList{"1", "CITY", "auf", ""}));
    EXPECT_EQ(grid.Row(2), (QStringList{"   ", "SOLD", "   ", ""}));
    EXPECT_EQ(grid.Cell(1, 4), QStringLiteral("AMOUNT"));
    EXPECT_EQ(grid.Cell(1, 5), QString());
    EXPECT_EQ(grid.CellObject(1), w->DataSet->FindField(QStringLiteral("CITY")));

    TField* name = w->DataSet->FindField(QStringLiteral("NAME"));
    TField* city = w->DataSet->FindField(QStringLiteral("CITY"));
    w->ToggleSortDirection(name); // no direction word: ascending, so it turns descending
    w->ToggleSortDirection(city);
    EXPECT_EQ(SortListOf(*w), (QStringList{"NAME-", "CITY+"}));
    EXPECT_TRUE(w->AddSortField(w->DataSet->FindField(QStringLiteral("AMOUNT"))));
    EXPECT_FALSE(w->AddSortField(name));
    EXPECT_EQ(w->OrderText(), QStringLiteral("NAME  DESC, CITY  ASC, AMOUNT  DESC"));
    EXPECT_EQ(w->SortIndexOf(city), 1);
    EXPECT_TRUE(w->RemoveSortField(city));
    EXPECT_FALSE(w->RemoveSortField(city));
    EXPECT_EQ(w->SortIndexOf(city), -1);
}

TEST_F(DataTest, QueryOrderIsAppliedAndAFailedOneRestored)
{
    auto w = MakeOwnQuery({"SELECT ID, NAME, CITY, NOTES FROM PEOPLE"});
    EXPECT_TRUE(w->ApplyQueryOrder(QStringLiteral("CITY  DESC, ID  ASC")));
    EXPECT_EQ(w->Query->SQL(), (QStringList{"SELECT ID, NAME, CITY, NOTES FROM PEOPLE", "ORDER BY CITY  DESC, ID  ASC"}));
    EXPECT_EQ(Column(w->DataSet, "CITY"), (QStringList{"berlin", "Bern", "Berlin", "Amsterdam", "Amsterdam"}));

    const QStringList before = w->Query->SQL();
    EXPECT_FALSE(w->ApplyQueryOrder(QStringLiteral("NOSUCHFIELD")));
    EXPECT_TRUE(w->Query->Active());
    EXPECT_EQ(w->Query->SQL(), before);
    EXPECT_TRUE(ScriptedDialogs()->Texts().isEmpty());

    w->SortByField(w->DataSet->FindField(QStringLiteral("NOTES")));
    EXPECT_EQ(ScriptedDialogs()->LastText(), Texts(408));
    w->SortByField(w->DataSet->FindField(QStringLiteral("NAME")));
    EXPECT_EQ(Column(w->DataSet, "NAME"), (QStringList{"Adams", "Jones", "O'Hara", "Smith", "Smith"}));
    EXPECT_EQ(w->CountRecords(), 5);
}

TEST_F(DataTest, BadSqlLeavesTheQueryClosedAndUsable)
{
    for (const char* sql : {"SELEC * FROM PEOPLE", "SELECT * FROM NOSUCHTABLE"}) {
        SCOPED_TRACE(sql);
        std::unique_ptr<TCloneDataSource> w(TCloneDataSource::CreateOwnQuery(nullptr));
        w->Query->SetDatabaseName(QStringLiteral("TESTDB"));
        w->Query->SetSQL({sql});
        EXPECT_FALSE(w->ReopenQuery());
        EXPECT_FALSE(w->Query->Active());
        EXPECT_FALSE(w->SetFilterText(QStringLiteral("ID = 1")));
        w->Query->SetSQL({"SELECT * FROM PEOPLE"});
        EXPECT_TRUE(w->ReopenQuery());
        EXPECT_EQ(w->CountRecords(), 5);
    }
}

// ---- tables ----

TEST_F(DataTest, TableSortCreatesAndChoosesIndexes)
{
    auto people = WrappedTable(QStringLiteral("PEOPLE"));
    ASSERT_TRUE(people->Table->Active());
    EXPECT_TRUE(people->Sortable);
    EXPECT_EQ(people->DriverName, QStringLiteral("SQLITE"));
    EXPECT_EQ(people->IndexNames.ToQStringList(), QStringList{"ID"});

    people->AddSortFieldName(QStringLiteral("NAME"));
    people->AddSortFieldName(QStringLiteral("CITY"));
    EXPECT_TRUE(people->ApplyTableSort());
    EXPECT_EQ(people->IndexNames.ToQStringList(), (QStringList{"ID", "NAMECITY"}));
    EXPECT_EQ(people->Table->IndexName(), QStringLiteral("NAMECITY"));
    EXPECT_EQ(people->FOrderText, QStringLiteral("NAME;CITY"));
    EXPECT_FALSE(people->Table->Exclusive());
    EXPECT_EQ(Column(people->DataSet, "CITY"), (QStringList{"Amsterdam", "berlin", "Bern", "Amsterdam", "Berlin"}));

    // The index is chosen again, not created twice.
    people->SortByField(people->DataSet->FindField(QStringLiteral("CITY")));
    EXPECT_EQ(people->Table->IndexName(), QStringLiteral("CITY"));
    people->SortFields.Clear();
    people->AddSortFieldName(QStringLiteral("NAME"));
    people->AddSortFieldName(QStringLiteral("CITY"));
    EXPECT_TRUE(people->ApplyTableSort());
    EXPECT_EQ(people->IndexNames.ToQStringList(), (QStringList{"ID", "NAMECITY", "CITY"}));

    // Index names belong to the whole database: another table gets its own name.
    auto shops = WrappedTable(QStringLiteral("Shops"));
    shops->AddSortFieldName(QStringLiteral("NAME"));
    shops->AddSortFieldName(QStringLiteral("CITY"));
    EXPECT_TRUE(shops->ApplyTableSort());
    EXPECT_EQ(shops->Table->IndexName(), QStringLiteral("Shops_NAMECITY"));

    // Deleting the index in use goes back to the first index first.
    people->SortByField(people->DataSet->FindField(QStringLiteral("NAME")));
    people->SortFields.Clear();
    people->AddSortFieldName(QStringLiteral("NAME"));
    people->AddSortFieldName(QStringLiteral("CITY"));
    ASSERT_TRUE(people->ApplyTableSort());
    EXPECT_TRUE(people->DeleteSortIndex(QStringLiteral("NAMECITY")));
    EXPECT_EQ(people->Table->IndexName(), QString());
    EXPECT_TRUE(people->Table->Active());
    EXPECT_FALSE(people->IndexNames.ToQStringList().contains("NAMECITY"));
    EXPECT_EQ(Column(people->DataSet, "ID"), (QStringList{"1", "2", "3", "4", "5"}));

    // An index the engine does not know: one message, the table open as before.
    EXPECT_FALSE(people->DeleteSortIndex(QStringLiteral("NOSUCHINDEX")));
    EXPECT_EQ(ScriptedDialogs()->Texts().size(), 1);
    EXPECT_TRUE(people->Table->Active());
}

TEST_F(DataTest, TableExtensionAndSortListOfTables)
{
    auto legacy = WrappedTable(QStringLiteral("legacy.db"));
    EXPECT_EQ(legacy->TableExt, QStringLiteral(".DB"));
    EXPECT_TRUE(legacy->IsParadox);
    auto people = WrappedTable(QStringLiteral("PEOPLE"));
    EXPECT_EQ(people->TableExt, QString());
    EXPECT_FALSE(people->IsParadox || people->IsDBase);

    // A table sorts by one entry at a time.
    EXPECT_TRUE(people->AddSortField(people->DataSet->FindField(QStringLiteral("NAME"))));
    EXPECT_TRUE(people->AddSortField(people->DataSet->FindField(QStringLiteral("CITY"))));
    EXPECT_EQ(SortListOf(*people), QStringList{"CITY*"});
    EXPECT_TRUE(people->IsSortableField(QStringLiteral("CITY")));
    EXPECT_FALSE(people->IsSortableField(QStringLiteral("NOTES")));
    EXPECT_FALSE(people->IsSortableField(QStringLiteral("NOSUCHFIELD")));
}

// ---- groups ----

TEST_F(DataTest, GroupsByTextValues)
{
    auto people = WrappedTable(QStringLiteral("PEOPLE"));
    SGruppenFilter d;
    d.Field = people->DataSet->FindField(QStringLiteral("CITY"));
    people->DataSet->Next();
    people->BuildGroups(d);
    EXPECT_EQ(people->Groups.ToQStringList(), (QStringList{"Amsterdam", "Berlin", "Bern"}));
    EXPECT_EQ(people->Group(1)->Value, QStringLiteral("Berlin"));
    EXPECT_EQ(people->DataSet->RecNo(), 1);
    EXPECT_FALSE(people->DataSet->ControlsDisabled());

    // A date field without time is grouped by its text; found by name when no field is given.
    d.Field = nullptr;
    d.FieldName = QStringLiteral("BORN");
    people->BuildGroups(d);
    EXPECT_EQ(people->Groups.ToQStringList(), (QStringList{"", "01.03.1990", "05.05.1985"}));
    people->ClearGroups();
    EXPECT_EQ(people->Groups.Count(), 0);
}

TEST_F(DataTest, GroupsByDatePeriodsIncludeTheLastPeriod)
{
    auto people = WrappedTable(QStringLiteral("PEOPLE"));
    const QString j02 = QStringLiteral("SOLD >=  '03.01.2002' AND SOLD <   '05.02.2002'");
    const QString f02 = QStringLiteral("SOLD >=  '05.02.2002' AND SOLD <   '09.03.2002'");
    const QString m02 = QStringLiteral("SOLD >=  '09.03.2002' AND SOLD <   '15.01.2003'");
    const QString j03 = QStringLiteral("SOLD >=  '15.01.2003' AND SOLD <   '16.01.2003'");
    struct LevelCase {
        int level;
        QStringList captions;
    } levels[] = {
        {0, {"03.01.2002", "20.01.2002", "05.02.2002", "09.03.2002", "15.01.2003"}},
        {1, {"2002", "2003"}},
        {2, {"1 Quarter 2002", "1 Quarter 2003"}},
        {3, {"January 2002", "February 2002", "March 2002", "January 2003"}},
        {4, {"1 Week 2002", "3 Week 2002", "6 Week 2002", "10 Week 2002", "3 Week 2003"}},
        {5, {"5 Tag 1 Woche", "1 Tag 3 Woche", "3 Tag 6 Woche", "7 Tag 10 Woche", "4 Tag 3 Woche"}},
    };
    SGruppenFilter d;
    d.Field = people->DataSet->FindField(QStringLiteral("SOLD"));
    for (const LevelCase& c : levels) {
        SCOPED_TRACE(c.level);
        d.DateLevel = static_cast<quint8>(c.level);
        people->BuildGroups(d);
        EXPECT_EQ(people->Groups.ToQStringList(), c.captions);
        // Every record lies in exactly one group.
        int total = 0;
        for (int i = 0; i < people->Groups.Count(); ++i) {
            ASSERT_TRUE(people->SetFilterText(people->Group(i)->Value)) << people->Group(i)->Value.toStdString();
            total += people->DataSet->RecordCount();
        }
        EXPECT_EQ(total, 5);
        people->SetFilterText(QString());
    }
    d.DateLevel = 3;
    people->BuildGroups(d);
    ASSERT_EQ(people->Groups.Count(), 4);
    EXPECT_EQ(people->Group(0)->Value, j02);
    EXPECT_EQ(people->Group(1)->Value, f02);
    EXPECT_EQ(people->Group(2)->Value, m02);
    EXPECT_EQ(people->Group(3)->Value, j03);
    EXPECT_TRUE(ScriptedDialogs()->Texts().isEmpty());
}

// ---- filters ----

TEST_F(DataTest, FilterTextsAreAppliedOnceAndBadOnesRefused)
{
    auto people = WrappedTable(QStringLiteral("PEOPLE"));
    const QString oHara = QStringLiteral("[NAME] ='") + TCloneSource::QuoteText(QStringLiteral("O'Hara")) + u'\'';
    EXPECT_EQ(oHara, QStringLiteral("[NAME] ='O''Hara'"));
    EXPECT_TRUE(people->SetFilterText(oHara));
    EXPECT_EQ(people->DataSet->RecordCount(), 1);
    EXPECT_FALSE(people->SetFilterText(oHara));

    EXPECT_FALSE(people->SetFilterText(QStringLiteral("NAME = = 1")));
    EXPECT_EQ(ScriptedDialogs()->Texts(), QStringList{Texts(376)});
    EXPECT_EQ(people->DataSet->Filter(), oHara);
    EXPECT_TRUE(people->DataSet->Filtered());
    EXPECT_EQ(people->DataSet->RecordCount(), 1);
    EXPECT_FALSE(people->SetFilterText(QStringLiteral("NOSUCHFIELD = 1")));
    EXPECT_EQ(people->DataSet->RecordCount(), 1);

    EXPECT_TRUE(people->SetFilterText(QStringLiteral("[AMOUNT] =40")));
    EXPECT_EQ(Column(people->DataSet, "NAME"), QStringList{"Adams"});
    people->DataSet->Close();
    EXPECT_FALSE(people->SetFilterText(QStringLiteral("[AMOUNT] =10")));
}

// ---- bound objects and record movement ----

class TEventRecorder : public TDynPanel {
public:
    using TDynPanel::TDynPanel;
    std::vector<std::pair<int, qint64>> Events;
    void DataEvent(int event, qint64 info) override { Events.emplace_back(event, info); }
};

TEST_F(DataTest, MovementNotifiesBoundObjectsAndSortsRebindThem)
{
    auto people = WrappedTable(QStringLiteral("PEOPLE"));
    DrawRect = TDrawRect{0, 0, 0, 0, 10, 10, 100, 40};
    auto object = std::make_unique<TEventRecorder>(nullptr, window.get());
    object->BindDataSource(people.get());
    object->BindField(people->DataSet->FindField(QStringLiteral("NAME")));
    ASSERT_TRUE(people->IsLinked(object.get()));

    people->MoveNext();
    people->MoveNext(object.get()); // the caller moves nothing but the counter
    EXPECT_EQ(people->DataSet->RecNo(), 2);
    EXPECT_EQ(people->Position, 2);
    people->StepNext();
    people->MoveLast();
    EXPECT_EQ(people->Position, 5);
    people->MovePrior();
    people->MoveFirst();
    EXPECT_EQ(people->Position, 0);
    EXPECT_EQ(object->Events, (std::vector<std::pair<int, qint64>>{{3, 10}, {3, 10}, {5, 10}, {4, 10}, {2, 10}}));

    // Sorting reopens the table: the object finds its field among the new field objects.
    people->SortByField(people->DataSet->FindField(QStringLiteral("CITY")));
    EXPECT_EQ(object->DataField, people->DataSet->FindField(QStringLiteral("NAME")));
    EXPECT_EQ(object->FieldValue.toString(), QStringLiteral("Adams"));

    // A wrapper that goes leaves no pointer to itself behind.
    people.reset();
    EXPECT_EQ(object->DataSource, nullptr);
    EXPECT_EQ(object->DataField, nullptr);
    EXPECT_EQ(object->FieldName, QStringLiteral("NAME"));
}

} // namespace
