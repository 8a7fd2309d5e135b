#include "DbFixture.h"
#include "demo/DemoDatabase.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include <QCryptographicHash>
#include <QFileInfo>
#include <QImage>
#include <QSqlRecord>

using SessionTest = DbTest;

TEST_F(SessionTest, AliasesComeFromTheAliasFile)
{
    QFile ini(dir.filePath(QStringLiteral("Kivo.aliases")));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[Sales]\ndriver=sqlite\npath=sub/sales.sqlite\n"
              "[Central]\nDriver=POSTGRES\nHost=db.example.org\nPort=5433\nDatabase=central\nUser=report\nPassword=secret\n"
              "[Odd]\nDriver=ORACLE\n");
    ini.close();
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    RunSql(dir.filePath(QStringLiteral("sub/sales.sqlite")),
           {QStringLiteral("CREATE TABLE Deals (No INTEGER PRIMARY KEY, Amount CURRENCY)"),
            QStringLiteral("INSERT INTO Deals VALUES (1, 99.5)")});
    Session().SetWorkDir(dir.path());

    EXPECT_EQ(Session().AliasNames(), (QStringList{QStringLiteral("Central"), QStringLiteral("DEMO"), QStringLiteral("Odd"),
                                                   QStringLiteral("Sales"), QStringLiteral("TESTDB")}));
    EXPECT_TRUE(Session().IsAlias(QStringLiteral("sales")));
    EXPECT_EQ(Session().GetAliasDriverName(QStringLiteral("Sales")), QStringLiteral("SQLITE"));
    EXPECT_EQ(Session().GetAliasDriverName(QStringLiteral("CENTRAL")), QStringLiteral("POSTGRES"));
    EXPECT_EQ(Session().GetAliasDriverName(QStringLiteral("nope")), QString());
    QStringList params;
    ASSERT_TRUE(Session().GetAliasParams(QStringLiteral("Central"), params));
    EXPECT_EQ(params, (QStringList{QStringLiteral("HOST=db.example.org"), QStringLiteral("PORT=5433"),
                                   QStringLiteral("DATABASE=central"), QStringLiteral("USER=report")}));

    QStringList tables;
    ASSERT_TRUE(Session().GetTableNames(QStringLiteral("Sales"), tables)) << Session().LastError().toStdString();
    EXPECT_EQ(tables, QStringList{QStringLiteral("Deals")});
    TTable t;
    t.SetDatabaseName(QStringLiteral("Sales"));
    t.SetTableName(QStringLiteral("Deals"));
    ASSERT_TRUE(t.Open()) << t.LastError().toStdString();
    EXPECT_EQ(t.FieldByName(QStringLiteral("Amount"))->DataType(), ftCurrency);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Amount"))->AsString(), QStringLiteral("99.5"));
    // One connection per alias, reused.
    EXPECT_EQ(Session().Database(QStringLiteral("SALES")).connectionName(),
              Session().Database(QStringLiteral("sales")).connectionName());

    EXPECT_FALSE(Session().Database(QStringLiteral("Odd")).isOpen());
    EXPECT_TRUE(Session().LastError().contains(QStringLiteral("ORACLE")));
    EXPECT_FALSE(Session().Database(QStringLiteral("Nope")).isOpen());
    EXPECT_EQ(Session().LastError(), QStringLiteral("Unknown alias 'Nope'"));
}

TEST_F(SessionTest, AddedAliasesAreSavedWithoutPasswords)
{
    EXPECT_FALSE(Session().AddStandardAlias(QStringLiteral("testdb"), QStringLiteral("x.sqlite")));
    EXPECT_FALSE(Session().AddAlias(QStringLiteral("Other"), QStringLiteral("DBASE"), {QStringLiteral("PATH=x")}));
    EXPECT_FALSE(Session().AddAlias(QStringLiteral("Other"), QStringLiteral("SQLITE"), {}));
    ASSERT_TRUE(Session().AddStandardAlias(QStringLiteral("Missing"), QStringLiteral("missing.sqlite")));
    ASSERT_TRUE(Session().AddAlias(QStringLiteral("Remote"), QStringLiteral("POSTGRES"),
                                   {QStringLiteral("HOST=localhost"), QStringLiteral("DATABASE=kivo"),
                                    QStringLiteral("USER=me"), QStringLiteral("PASSWORD=secret")}));
    // A missing SQLite file is reported, not created.
    EXPECT_FALSE(Session().Database(QStringLiteral("Missing")).isOpen());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("missing.sqlite"))));

    ASSERT_TRUE(Session().SaveConfigFile());
    QFile ini(Session().AliasFileName());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_FALSE(text.contains("secret"));
    EXPECT_FALSE(text.contains("DEMO"));
    Session().SetWorkDir(dir.path());
    EXPECT_EQ(Session().AliasNames(), (QStringList{QStringLiteral("DEMO"), QStringLiteral("Missing"),
                                                   QStringLiteral("Remote"), QStringLiteral("TESTDB")}));
    EXPECT_EQ(Session().GetAliasDriverName(QStringLiteral("Remote")), QStringLiteral("POSTGRES"));
    ASSERT_TRUE(Session().DeleteAlias(QStringLiteral("missing")));
    EXPECT_FALSE(Session().DeleteAlias(QStringLiteral("DEMO")));
    EXPECT_FALSE(Session().IsAlias(QStringLiteral("Missing")));
}

TEST_F(SessionTest, DemoDatabaseIsGeneratedOnFirstUse)
{
    const QString path = Session().DemoDatabasePath();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(Session().IsAlias(QStringLiteral("demo")));
    EXPECT_EQ(Session().GetAliasDriverName(QStringLiteral("DEMO")), QStringLiteral("SQLITE"));
    QStringList tables;
    ASSERT_TRUE(Session().GetTableNames(QStringLiteral("DEMO"), tables)) << Session().LastError().toStdString();
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(tables, (QStringList{QStringLiteral("Countries"), QStringLiteral("Customers"), QStringLiteral("OrderLines"),
                                   QStringLiteral("Orders"), QStringLiteral("Products")}));

    TQuery q;
    q.SetDatabaseName(QStringLiteral("DEMO"));
    q.SetSQL({QStringLiteral("SELECT COUNT(*) AS N, MIN(OrderDate) AS First, MAX(OrderDate) AS Last FROM Orders")});
    ASSERT_TRUE(q.Open()) << q.LastError().toStdString();
    EXPECT_GE(q.FieldByName(QStringLiteral("N"))->AsInteger(), 1000);
    EXPECT_TRUE(q.FieldByName(QStringLiteral("First"))->AsString().startsWith(QStringLiteral("2019")));
    EXPECT_TRUE(q.FieldByName(QStringLiteral("Last"))->AsString().startsWith(QStringLiteral("2024")));

    TTable lines;
    lines.SetDatabaseName(QStringLiteral("DEMO"));
    lines.SetTableName(QStringLiteral("OrderLines"));
    ASSERT_TRUE(lines.Open());
    EXPECT_GE(lines.RecordCount(), 2000);
    EXPECT_EQ(lines.IndexDefs().front().Fields, QStringLiteral("OrderNo;LineNo"));

    TTable products;
    products.SetDatabaseName(QStringLiteral("DEMO"));
    products.SetTableName(QStringLiteral("Products"));
    ASSERT_TRUE(products.Open());
    EXPECT_EQ(products.FieldByName(QStringLiteral("Picture"))->DataType(), ftGraphic);
    EXPECT_EQ(products.FieldByName(QStringLiteral("Description"))->DataType(), ftMemo);
    EXPECT_EQ(products.FieldByName(QStringLiteral("Price"))->DataType(), ftCurrency);
    QImage picture;
    ASSERT_TRUE(picture.loadFromData(products.FieldByName(QStringLiteral("Picture"))->AsBytes()));
    EXPECT_EQ(picture.size(), QSize(48, 48));

    TTable orders;
    orders.SetDatabaseName(QStringLiteral("DEMO"));
    orders.SetTableName(QStringLiteral("Orders"));
    ASSERT_TRUE(orders.Open());
    EXPECT_EQ(orders.FieldByName(QStringLiteral("OrderDate"))->DataType(), ftDateTime);
    ASSERT_TRUE(orders.SetFilter(QStringLiteral("OrderDate >= '01.01.2020' AND OrderDate < '01.01.2021'")));
    ASSERT_TRUE(orders.SetFiltered(true));
    EXPECT_GT(orders.RecordCount(), 100);
    EXPECT_LT(orders.RecordCount(), 500);
}

TEST_F(SessionTest, DemoDataIsTheSameEveryTime)
{
    auto digest = [](const QString& path) {
        const QString conn = QStringLiteral("test.digest");
        QCryptographicHash hash(QCryptographicHash::Sha1);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
            db.setDatabaseName(path);
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            for (const char* t : {"Countries", "Customers", "Products", "Orders", "OrderLines"}) {
                EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t))));
                while (q.next())
                    for (int i = 0; i < q.record().count(); ++i)
                        hash.addData(q.value(i).toByteArray());
            }
        }
        QSqlDatabase::removeDatabase(conn);
        return hash.result();
    };
    QString error;
    ASSERT_TRUE(CreateDemoDatabase(dir.filePath(QStringLiteral("a.sqlite")), &error)) << error.toStdString();
    ASSERT_TRUE(CreateDemoDatabase(dir.filePath(QStringLiteral("b.sqlite")), &error)) << error.toStdString();
    EXPECT_EQ(digest(dir.filePath(QStringLiteral("a.sqlite"))), digest(dir.filePath(QStringLiteral("b.sqlite"))));
    EXPECT_FALSE(CreateDemoDatabase(dir.filePath(QStringLiteral("no/such/dir/c.sqlite")), &error));
    EXPECT_FALSE(error.isEmpty());
}
