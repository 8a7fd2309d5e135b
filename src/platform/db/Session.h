#pragma once
// TSession: the process-wide registry of database aliases and their connections.
//
// Aliases live in the INI file "Kivo.aliases" in the work directory, one group per alias:
//   [SALES]                      [CENTRAL]
//   Driver=SQLITE                Driver=POSTGRES
//   Path=data/sales.sqlite       Host=db.example.org
//                                Port=5432
//                                Database=central
//                                User=report
// SQLite paths are relative to the work directory. PostgreSQL passwords are never stored: the
// driver takes them from its usual sources (PGPASSWORD, ~/.pgpass). The alias DEMO always exists:
// the SQLite database KivoDemo.sqlite in the work directory, generated on first use.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

class TSession {
public:
    TSession() = default;
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    // Closes every connection and reads the aliases of the new directory.
    void SetWorkDir(const QString& dir);
    QString WorkDir() const;
    QString AliasFileName() const;
    QString DemoDatabasePath() const;

    void GetAliasNames(QStringList& list) const;
    QStringList AliasNames() const;
    bool IsAlias(const QString& name) const;
    // "SQLITE" or "POSTGRES"; empty for an unknown alias.
    QString GetAliasDriverName(const QString& alias) const;
    // The alias settings as NAME=value lines (PATH, or HOST, PORT, DATABASE, USER).
    bool GetAliasParams(const QString& alias, QStringList& params) const;
    bool GetTableNames(const QString& alias, QStringList& list);

    // Adds an alias for this session; SaveConfigFile writes the aliases to Kivo.aliases.
    // params are NAME=value lines as GetAliasParams gives them.
    bool AddAlias(const QString& name, const QString& driver, const QStringList& params);
    bool AddStandardAlias(const QString& name, const QString& path, const QString& driver = QStringLiteral("SQLITE"));
    bool DeleteAlias(const QString& name);
    bool SaveConfigFile();
    bool SaveConfig() { return SaveConfigFile(); }

    // The open connection of an alias (one per alias, reused). A connection that could not be
    // opened is returned closed, with the reason in LastError.
    QSqlDatabase Database(const QString& alias);
    void CloseDatabases();
    const QString& LastError() const { return lastError_; }

private:
    struct Alias {
        QString Name;
        QString Driver; // SQLITE or POSTGRES
        QString Path;
        QString Host;
        int Port = 0;
        QString DatabaseName;
        QString User;
    };
    void EnsureLoaded() const;
    void LoadAliases();
    const Alias* Find(const QString& name) const;
    static bool IsDemo(const QString& name);
    bool Fail(const QString& message);
    QString ConnectionName(const Alias& a) const;

    QString workDir_;
    bool loaded_ = false;
    std::vector<Alias> aliases_;
    QStringList connections_;
    QString lastError_;
};

// The session every dataset uses.
TSession& Session();
