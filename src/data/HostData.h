#pragma once
// The host application's data. The program's shell opens one alias (by default DEMO) and offers
// every table of it as a TTable with its TDataSource; a new project wraps them as its host data
// sources (TDYNProject::CollectHostDataSources), so that they are there to bind at once.
#include <QString>
#include <memory>
#include <vector>

class TDataSource;
class TTable;

class THostData {
public:
    THostData() = default;
    ~THostData();
    THostData(const THostData&) = delete;
    THostData& operator=(const THostData&) = delete;

    // Offers the tables of the alias; opening the same alias again changes nothing. False, with
    // one message shown, when the database cannot be opened: what was offered before stays.
    bool Open(const QString& alias);
    // Frees the tables and data sources; only when no project wraps them any more.
    void Close();
    const QString& Alias() const { return alias_; }
    // The data sources offered, one per table, in the order of the table names.
    const std::vector<TDataSource*>& Sources() const { return sources_; }
    // The data source of a table (its name compared without regard to case), or nil.
    TDataSource* SourceOf(const QString& tableName) const;

private:
    struct Entry {
        std::unique_ptr<TTable> Table;
        std::unique_ptr<TDataSource> Source; // goes before its table
    };
    std::vector<Entry> entries_;
    // Tables of an alias offered earlier: projects may still wrap them, so they live on.
    std::vector<Entry> retired_;
    std::vector<TDataSource*> sources_;
    QString alias_;
};

// The host data of the program.
THostData& HostData();
// Opens the host alias ("DEMO" unless the host names another one) and offers its tables.
void OpenHostAlias(const QString& alias);
// The data sources a new project walks.
const std::vector<TDataSource*>& HostDataSources();
