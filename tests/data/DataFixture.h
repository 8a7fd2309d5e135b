#pragma once
// A work directory with the alias TESTDB on a small SQLite database, host tables over it and a
// window for projects.
#include "data/CloneTable.h"
#include "data/HostData.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "platform/db/DataSet.h"
#include "platform/db/Query.h"
#include "platform/db/Session.h"
#include "platform/db/Table.h"
#include "shell/Variable.h"
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

inline void RunStatements(const QString& path, const QStringList& statements)
{
    const QString conn = QStringLiteral("data.test.setup");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& s : statements)
            ASSERT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase(conn);
}

// The sort list as "NAME-" (descending marker), "NAME+" (ascending marker), "NAME" (no direction
// word) and "NAME*" (a field as tag).
inline QStringList SortListOf(const TCloneSource& w)
{
    QStringList out;
    for (int i = 0; i < w.SortFields.Count(); ++i) {
        QString e = w.SortFields.Strings(i);
        switch (w.SortTag(i)) {
        case TCloneSource::TSortTag::Ascending: e += u'+'; break;
        case TCloneSource::TSortTag::Descending: e += u'-'; break;
        case TCloneSource::TSortTag::Field: e += u'*'; break;
        case TCloneSource::TSortTag::None: break;
        }
        out << e;
    }
    return out;
}

class DataTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitVariables(dir.path());
        FillTextDefaults();
        DesignerVersion = {QStringLiteral("beta"), 0.1, DateToDateTime(QDate(2002, 9, 20))};
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        TakePrinterMetrics();
        ScriptedDialogs()->Reset();
        FormatSettings() = TFormatSettings::English();
        RunStatements(dir.filePath(QStringLiteral("data.sqlite")), {
            QStringLiteral("CREATE TABLE PEOPLE (ID INTEGER PRIMARY KEY, NAME VARCHAR(30), CITY VARCHAR(30), "
                           "SOLD DATETIME, BORN DATE, AMOUNT FLOAT, NOTES MEMO)"),
            QStringLiteral("INSERT INTO PEOPLE VALUES (1, 'Smith', 'Berlin', '2002-01-03 10:00:00', '1990-03-01', 10, 'a')"),
            QStringLiteral("INSERT INTO PEOPLE VALUES (2, 'Jones', 'berlin', '2002-01-20 09:00:00', '1990-03-01', 20, NULL)"),
            QStringLiteral("INSERT INTO PEOPLE VALUES (3, 'O''Hara', 'Bern', '2002-02-05 08:00:00', '1985-05-05', 30, NULL)"),
            QStringLiteral("INSERT INTO PEOPLE VALUES (4, 'Adams', 'Amsterdam', '2002-03-09 12:00:00', NULL, 40, NULL)"),
            QStringLiteral("INSERT INTO PEOPLE VALUES (5, 'Smith', 'Amsterdam', '2003-01-15 00:00:00', '1990-03-01', 50, NULL)"),
            QStringLiteral("CREATE TABLE Shops (ID INTEGER PRIMARY KEY, NAME VARCHAR(20), CITY VARCHAR(20))"),
            QStringLiteral("INSERT INTO Shops VALUES (1, 'North', 'Bern')"),
            QStringLiteral("CREATE TABLE \"legacy.db\" (ID INTEGER PRIMARY KEY, LABEL VARCHAR(20))"),
        });
        QFile ini(dir.filePath(QStringLiteral("Kivo.aliases")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[TESTDB]\nDriver=SQLITE\nPath=data.sqlite\n[BROKEN]\nDriver=SQLITE\nPath=missing/none.sqlite\n");
        ini.close();
        Session().SetWorkDir(dir.path());
        window = std::make_unique<QWidget>();
        window->resize(1000, 700);
    }
    void TearDown() override
    {
        window.reset();
        HostData().Close();
        tables.clear();
        TScreen::ClearOverride();
        Session().CloseDatabases();
    }

    // A host table with its data source, as the host application offers it.
    TDataSource* HostTableSource(const QString& tableName)
    {
        auto e = std::make_unique<HostEntry>();
        e->Table.Name = tableName;
        e->Table.SetDatabaseName(QStringLiteral("TESTDB"));
        e->Table.SetTableName(tableName);
        e->Source.SetDataSet(&e->Table);
        tables.push_back(std::move(e));
        return &tables.back()->Source;
    }
    std::unique_ptr<TCloneDataSource> WrappedTable(const QString& tableName)
    {
        return std::unique_ptr<TCloneDataSource>(TCloneDataSource::WrapTable(nullptr, HostTableSource(tableName)));
    }
    // An own query on TESTDB, opened.
    std::unique_ptr<TCloneDataSource> MakeOwnQuery(const QStringList& sql)
    {
        std::unique_ptr<TCloneDataSource> w(TCloneDataSource::CreateOwnQuery(nullptr));
        w->Query->SetDatabaseName(QStringLiteral("TESTDB"));
        w->Query->SetSQL(sql);
        w->QuerySql.Assign(sql);
        EXPECT_TRUE(w->SetSql(sql));
        EXPECT_TRUE(w->ReopenQuery()) << w->Query->LastError().toStdString();
        return w;
    }
    static QStringList Column(TDataSet* ds, const QString& field)
    {
        QStringList out;
        ds->First();
        while (!ds->Eof()) {
            out << ds->FindField(field)->AsString();
            ds->Next();
        }
        ds->First();
        return out;
    }

    struct HostEntry {
        TTable Table;
        TDataSource Source; // goes before its table
    };
    QTemporaryDir dir;
    std::unique_ptr<QWidget> window;
    std::vector<std::unique_ptr<HostEntry>> tables;
};
