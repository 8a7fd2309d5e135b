#pragma once
// A work directory with the alias TESTDB on a small SQLite database of people.
#include "platform/FormatSettings.h"
#include "platform/db/Session.h"
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Runs statements on a database file through a connection of its own.
inline void RunSql(const QString& path, const QStringList& statements)
{
    const QString conn = QStringLiteral("test.setup");
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

class DbTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        FormatSettings() = TFormatSettings::English();
        dbPath = dir.filePath(QStringLiteral("test.sqlite"));
        RunSql(dbPath, {
            QStringLiteral("CREATE TABLE People (Id INTEGER PRIMARY KEY, Name VARCHAR(30), City TEXT, Age INTEGER, "
                           "Salary REAL, Born DATE, Joined DATETIME, Active BOOLEAN, \"Zip Code\" TEXT, Notes MEMO, "
                           "Photo IMAGE)"),
            QStringLiteral("INSERT INTO People VALUES (1, 'Smith', 'Berlin', 34, 4200.5, '1990-03-01', "
                           "'2020-01-15 09:30:00', 1, '10115', 'likes SQL', NULL)"),
            QStringLiteral("INSERT INTO People VALUES (2, 'smithers', 'Bern', 51, 5100, '1973-07-20', "
                           "'2019-06-01 00:00:00', 0, '3011', NULL, NULL)"),
            QStringLiteral("INSERT INTO People VALUES (3, 'O''Hara', 'Dublin', 28, 3900.25, '1996-11-11', "
                           "'2021-03-10 14:00:00', 1, 'D02', NULL, NULL)"),
            QStringLiteral("INSERT INTO People VALUES (4, 'Müller', 'München', 45, NULL, '1979-02-28', "
                           "'2018-12-31 23:59:59', 1, '80331', NULL, x'89504E47')"),
            QStringLiteral("INSERT INTO People VALUES (5, 'Jones', 'London', NULL, 2800, NULL, NULL, 0, NULL, NULL, NULL)"),
            QStringLiteral("INSERT INTO People VALUES (6, 'Brown', 'berlin', 39, 4700, '1985-05-05', "
                           "'2022-07-01 08:00:00', 1, '10117', NULL, NULL)"),
        });
        QFile ini(dir.filePath(QStringLiteral("Kivo.aliases")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[TESTDB]\nDriver=SQLITE\nPath=test.sqlite\n");
        ini.close();
        Session().SetWorkDir(dir.path());
    }
    void TearDown() override { Session().CloseDatabases(); }

    // Statements on the test database while the session keeps its own connection.
    void Sql(const QStringList& statements)
    {
        QSqlQuery q(Session().Database(QStringLiteral("TESTDB")));
        for (const QString& s : statements)
            ASSERT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QVariant Scalar(const QString& sql)
    {
        QSqlQuery q(Session().Database(QStringLiteral("TESTDB")));
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }

    QTemporaryDir dir;
    QString dbPath;
};
