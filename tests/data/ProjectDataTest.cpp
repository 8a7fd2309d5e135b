// The wrappers in projects: the host's data sources, the wrapper's file record, saving and
// reading a project with a table wrapper and an own query, objects bound again by name, and the
// sample project with data.
#include "DataFixture.h"
#include "content/DynLabel.h"
#include "data/DataSample.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/ObjectList.h"
#include "platform/MemoryStream.h"

namespace {

TCloneDataSource* SourceNamed(TDYNProject& p, const QString& name)
{
    for (TComponent* c : p.DataSources.All())
        if (auto* w = dynamic_cast<TCloneDataSource*>(c); w && w->Name == name)
            return w;
    return nullptr;
}

TDynLabel* FieldLabel(TDynDBForm* form, TCloneDataSource* source, const QString& field)
{
    DrawRect = TDrawRect{0, 0, 0, 0, 40, 40, 240, 70};
    auto* label = new TDynLabel(form, form);
    form->Children->Add(label);
    label->SetText(field);
    label->BindDataSource(source);
    label->BindField(source->DataSet->FindField(field));
    return label;
}

std::vector<TDynLabel*> LabelsOf(TDynDBForm* form)
{
    std::vector<TDynLabel*> out;
    for (TComponent* c : form->Children->All())
        if (auto* l = dynamic_cast<TDynLabel*>(c))
            out.push_back(l);
    return out;
}

TEST_F(DataTest, HostAliasOffersItsTablesAndProjectsWrapThem)
{
    OpenHostAlias(QStringLiteral("TESTDB"));
    ASSERT_EQ(HostDataSources().size(), 3u);
    EXPECT_EQ(HostData().SourceOf(QStringLiteral("people"))->DataSet()->Name, QStringLiteral("PEOPLE"));

    // A database that cannot be opened: one message, and what was offered stays.
    OpenHostAlias(QStringLiteral("BROKEN"));
    ASSERT_EQ(ScriptedDialogs()->Texts().size(), 1);
    EXPECT_TRUE(ScriptedDialogs()->LastText().contains(QStringLiteral("BROKEN")));
    EXPECT_EQ(HostData().Alias(), QStringLiteral("TESTDB"));
    EXPECT_EQ(HostDataSources().size(), 3u);

    TDYNProject p(nullptr, window.get());
    p.CollectHostDataSources();
    p.CollectHostDataSources();
    ASSERT_EQ(p.DataSources.Count(), 3);
    TCloneDataSource* people = SourceNamed(p, QStringLiteral("PEOPLE"));
    ASSERT_NE(people, nullptr);
    EXPECT_EQ(people->Kind, HostTable);
    EXPECT_TRUE(people->DataSet->Active());
    EXPECT_EQ(people->DataSource, HostData().SourceOf(QStringLiteral("PEOPLE")));
}

TEST_F(DataTest, RecordHeadAndABrokenRecordLeavesTheWrapperAlone)
{
    TObjectList list;
    auto* people = TCloneDataSource::WrapTable(nullptr, HostTableSource(QStringLiteral("PEOPLE")));
    list.Add(people);
    people->SavedFilters.Add(QStringLiteral("[CITY] ='Bern'"));
    people->AddSortFieldName(QStringLiteral("NAME"));
    TMemoryStream written;
    list.SaveToStream(written);
    const QByteArray bytes = written.Data();

    // Count, descriptor, then kind and name before the start and end positions.
    TMemoryStream head(bytes);
    head.SetPosition(4 + TKindInfo::Size);
    EXPECT_EQ(head.ReadByte(), HostTable);
    EXPECT_EQ(ReadText(head), QStringLiteral("PEOPLE"));
    const qint64 start = head.Position();
    EXPECT_EQ(head.ReadInt32(), start);
    EXPECT_EQ(head.ReadInt32(), bytes.size());

    people->SavedFilters.Clear();
    people->SavedFilters.Add(QStringLiteral("kept"));
    TMemoryStream cut(bytes.left(bytes.size() - 2));
    EXPECT_THROW(list.LoadFromStream(cut), EStreamError);
    EXPECT_EQ(people->SavedFilters.ToQStringList(), QStringList{"kept"});
    EXPECT_EQ(people->SortFields.ToQStringList(), QStringList{"NAME"});

    TMemoryStream whole(bytes);
    list.LoadFromStream(whole);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(people->SavedFilters.ToQStringList(), QStringList{"[CITY] ='Bern'"});
    EXPECT_EQ(whole.Remaining(), 0);
}

TEST_F(DataTest, ProjectKeepsWrappersAndRebindsObjectsByName)
{
    const QString file = dir.filePath(QStringLiteral("data.KvR"));
    const QStringList sql{"SELECT ID, NAME, CITY FROM PEOPLE", "ORDER BY NAME DESC, CITY"};
    OpenHostAlias(QStringLiteral("TESTDB"));
    {
        TDYNProject p(nullptr, window.get());
        p.CollectHostDataSources();
        TCloneDataSource* people = SourceNamed(p, QStringLiteral("PEOPLE"));
        people->AddSortFieldName(QStringLiteral("NAME"));
        people->AddSortFieldName(QStringLiteral("CITY"));
        ASSERT_TRUE(people->ApplyTableSort());
        people->SavedFilters.Add(QStringLiteral("[CITY] ='Bern'"));

        TCloneDataSource* sales = TCloneDataSource::CreateOwnQuery(&p);
        p.DataSources.Add(sales);
        sales->Name = QStringLiteral("Sales");
        sales->Query->SetDatabaseName(QStringLiteral("TESTDB"));
        sales->Query->SetSQL(sql);
        ASSERT_TRUE(sales->SetSql(sql));
        ASSERT_TRUE(sales->ReopenQuery());
        sales->SavedFilters.Add(QStringLiteral("ID > 2"));
        sales->SavedFilters.Add(QStringLiteral("CITY = 'Bern'"));

        TDynDBForm* form = p.NewForm();
        form->BindDataSource(people);
        FieldLabel(form, sales, QStringLiteral("CITY"));
        FieldLabel(form, people, QStringLiteral("NAME"));
        ASSERT_TRUE(p.SaveProject(file));
    }
    // The host table starts in its own order again; reading the project sorts it.
    HostData().SourceOf(QStringLiteral("PEOPLE"))->DataSet()->Close();
    ASSERT_TRUE(static_cast<TTable*>(HostData().SourceOf(QStringLiteral("PEOPLE"))->DataSet())->SetIndexName(QString()));

    TDYNProject q(nullptr, window.get());
    q.CollectHostDataSources();
    ASSERT_TRUE(q.LoadProject(file));
    EXPECT_TRUE(ScriptedDialogs()->Texts().isEmpty()) << ScriptedDialogs()->Texts().join(' ').toStdString();
    ASSERT_EQ(q.DataSources.Count(), 4);

    TCloneDataSource* people = SourceNamed(q, QStringLiteral("PEOPLE"));
    EXPECT_EQ(people->SortFields.ToQStringList(), (QStringList{"NAME", "CITY"}));
    EXPECT_EQ(people->Table->IndexName(), QStringLiteral("NAMECITY"));
    EXPECT_EQ(people->SavedFilters.ToQStringList(), QStringList{"[CITY] ='Bern'"});
    EXPECT_EQ(people->FOrderText, QStringLiteral("NAME;CITY"));

    TCloneDataSource* sales = SourceNamed(q, QStringLiteral("Sales"));
    ASSERT_NE(sales, nullptr);
    EXPECT_EQ(sales->Kind, OwnQuery);
    EXPECT_TRUE(sales->Query->Active());
    EXPECT_EQ(sales->Query->DatabaseName(), QStringLiteral("TESTDB"));
    EXPECT_EQ(sales->Query->SQL(), sql);
    EXPECT_EQ(sales->BaseSql.ToQStringList(), sql);
    EXPECT_EQ(sales->SqlHead.ToQStringList(), QStringList{"SELECT ID, NAME, CITY FROM PEOPLE"});
    // The entry without a direction word is still ascending after the round trip.
    EXPECT_EQ(SortListOf(*sales), (QStringList{"NAME-", "CITY+"}));
    EXPECT_EQ(sales->FOrderText, QStringLiteral("NAME  DESC, CITY  ASC"));
    EXPECT_EQ(sales->SavedFilters.ToQStringList(), (QStringList{"ID > 2", "CITY = 'Bern'"}));

    ASSERT_EQ(q.FormCount(), 1);
    TDynDBForm* form = q.Form(0);
    EXPECT_EQ(form->DataSource, people);
    const std::vector<TDynLabel*> labels = LabelsOf(form);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0]->DataSource, sales);
    EXPECT_EQ(labels[0]->DataField, sales->DataSet->FindField(QStringLiteral("CITY")));
    EXPECT_TRUE(sales->IsLinked(labels[0]));
    EXPECT_EQ(labels[1]->DataSource, people);
    EXPECT_EQ(labels[1]->DataField, people->DataSet->FindField(QStringLiteral("NAME")));
    EXPECT_TRUE(people->IsLinked(labels[1]));
}

TEST_F(DataTest, UnknownDataSourceAfterLoadingGivesNil)
{
    const QString file = dir.filePath(QStringLiteral("host.KvR"));
    OpenHostAlias(QStringLiteral("TESTDB"));
    {
        TDYNProject p(nullptr, window.get());
        p.CollectHostDataSources();
        TDynDBForm* form = p.NewForm();
        FieldLabel(form, SourceNamed(p, QStringLiteral("PEOPLE")), QStringLiteral("NAME"));
        ASSERT_TRUE(p.SaveProject(file));
    }
    HostData().Close();

    // A host without that table: its record is passed over and the object keeps its field name.
    TDYNProject q(nullptr, window.get());
    q.CollectHostDataSources();
    ASSERT_TRUE(q.LoadProject(file));
    EXPECT_EQ(q.DataSources.Count(), 0);
    const std::vector<TDynLabel*> labels = LabelsOf(q.Form(0));
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->DataSource, nullptr);
    EXPECT_EQ(labels[0]->DataSourceName, QStringLiteral("nil"));
    EXPECT_EQ(labels[0]->FieldName, QStringLiteral("NAME"));
}

TEST_F(DataTest, OwnQueryThatCannotBeOpenedIsReadWithOneMessage)
{
    const QString file = dir.filePath(QStringLiteral("query.KvR"));
    {
        TDYNProject p(nullptr, window.get());
        TCloneDataSource* q = TCloneDataSource::CreateOwnQuery(&p);
        p.DataSources.Add(q);
        q->Name = QStringLiteral("Gone");
        q->Query->SetDatabaseName(QStringLiteral("TESTDB"));
        q->Query->SetSQL({"SELECT * FROM Shops ORDER BY NAME"});
        ASSERT_TRUE(q->SetSql(q->Query->SQL()));
        p.NewForm();
        ASSERT_TRUE(p.SaveProject(file));
    }
    RunStatements(dir.filePath(QStringLiteral("data.sqlite")), {"DROP TABLE Shops"});
    Session().CloseDatabases();

    TDYNProject q(nullptr, window.get());
    ASSERT_TRUE(q.LoadProject(file));
    ASSERT_EQ(ScriptedDialogs()->Texts().size(), 1);
    EXPECT_TRUE(ScriptedDialogs()->LastText().contains(QStringLiteral("Gone")));
    TCloneDataSource* gone = SourceNamed(q, QStringLiteral("Gone"));
    ASSERT_NE(gone, nullptr);
    EXPECT_FALSE(gone->Query->Active());
    EXPECT_EQ(SortListOf(*gone), QStringList{"NAME+"});
}

TEST_F(DataTest, SampleProjectWithDataReadsBack)
{
    const QString samples = dir.filePath(QStringLiteral("samples"));
    QString file, error;
    ASSERT_TRUE(WriteDataSample(samples, file, error)) << error.toStdString();
    EXPECT_EQ(Session().WorkDir(), QDir(dir.path()).absolutePath());

    Session().SetWorkDir(samples);
    OpenHostAlias(QStringLiteral("DEMO"));
    TDYNProject p(nullptr, window.get());
    p.CollectHostDataSources();
    ASSERT_TRUE(p.LoadProject(file));
    EXPECT_TRUE(ScriptedDialogs()->Texts().isEmpty()) << ScriptedDialogs()->Texts().join(' ').toStdString();
    TCloneDataSource* orders = SourceNamed(p, QStringLiteral("OpenOrders"));
    ASSERT_NE(orders, nullptr);
    EXPECT_TRUE(orders->Query->Active());
    EXPECT_EQ(SortListOf(*orders), (QStringList{"OrderDate-", "OrderNo+"}));
    EXPECT_EQ(orders->SavedFilters.Count(), 2);
    for (int i = 0; i < orders->SavedFilters.Count(); ++i)
        EXPECT_TRUE(orders->SetFilterText(orders->SavedFilters.Strings(i))) << i;
    TCloneDataSource* customers = SourceNamed(p, QStringLiteral("Customers"));
    ASSERT_EQ(p.FormCount(), 1);
    EXPECT_EQ(p.Form(0)->DataSource, customers);
    int bound = 0;
    for (TDynLabel* l : LabelsOf(p.Form(0)))
        bound += l->DataField != nullptr;
    EXPECT_EQ(bound, 3);
}

} // namespace
