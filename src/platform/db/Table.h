#pragma once
// TTable: every row of one table of an alias, ordered by the current index (or by the field names
// of IndexFieldNames, or else by the primary key), with the table's index definitions.
#include "platform/db/DataSet.h"
#include <QFlags>
#include <vector>

enum TIndexOption { ixPrimary = 1, ixUnique = 2, ixDescending = 4, ixCaseInsensitive = 8 };
Q_DECLARE_FLAGS(TIndexOptions, TIndexOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TIndexOptions)

struct TIndexDef {
    QString Name;   // empty for the primary key
    QString Fields; // "A;B"
    TIndexOptions Options;
};

class TTable : public TDataSet {
public:
    explicit TTable(TComponent* owner = nullptr);

    QString TableName() const { return tableName_; }
    bool SetTableName(const QString& name); // only while closed
    // Exclusive use is asked for where the engine offers it; SQLite tables open as usual.
    bool Exclusive() const { return exclusive_; }
    bool SetExclusive(bool value); // only while closed

    // The current index by name ("" = the primary key). Unknown names are refused.
    QString IndexName() const { return indexName_; }
    bool SetIndexName(const QString& name);
    // Ordering by fields without naming an index: "A;B".
    QString IndexFieldNames() const { return indexFieldNames_; }
    bool SetIndexFieldNames(const QString& fields);

    // The index definitions as last read from the engine: the primary key first (without a name),
    // then the indexes in the order they were created.
    const std::vector<TIndexDef>& IndexDefs() const { return indexDefs_; }
    bool UpdateIndexDefs();
    void GetIndexNames(QStringList& list);
    bool AddIndex(const QString& name, const QString& fields, TIndexOptions options = {});
    bool DeleteIndex(const QString& name);
    // Tables of this engine can be sorted by creating indexes.
    bool SupportsIndexes() const { return true; }

protected:
    bool PrepareCursor(QSqlDatabase& db, TCursorPlan& plan) override;

private:
    const TIndexDef* FindIndex(const QString& name) const;
    bool OrderBy(bool postgres, const TTableInfo& info, QString& order);

    QString tableName_;
    bool exclusive_ = false;
    QString indexName_;
    QString indexFieldNames_;
    std::vector<TIndexDef> indexDefs_;
};
