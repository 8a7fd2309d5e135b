#pragma once
// TQuery: the rows of an SQL statement on an alias. The SQL runs as written; parameters (:name)
// are bound by value. A plain SELECT of columns from one table with a primary key can be edited.
#include "platform/db/DataSet.h"
#include <QStringList>
#include <QVariant>
#include <vector>

class TQuery : public TDataSet {
public:
    explicit TQuery(TComponent* owner = nullptr);

    const QStringList& SQL() const { return sql_; }
    // Closes the query and forgets an earlier Prepare.
    void SetSQL(const QStringList& lines);
    QString SQLText() const { return sql_.join(u'\n'); }

    // Lets the engine check the statement; false with the engine's message when it does not compile.
    bool Prepare();
    void UnPrepare() { prepared_ = false; }
    bool Prepared() const { return prepared_; }
    // Runs the statement without keeping rows (for INSERT, UPDATE, DDL, ...).
    bool ExecSQL();
    int RowsAffected() const { return rowsAffected_; }

    // Parameters by name (without the colon).
    void SetParamValue(const QString& name, const QVariant& value);
    QVariant ParamValue(const QString& name) const;
    QStringList ParamNames() const;
    void ClearParams() { params_.clear(); }

    // Whether the statement's first word is one that returns rows (SELECT, WITH, VALUES, PRAGMA, ...).
    static bool ReturnsRows(const QString& sql);

protected:
    bool PrepareCursor(QSqlDatabase& db, TCursorPlan& plan) override;

private:
    bool Run(QSqlDatabase& db, class QSqlQuery& q);

    QStringList sql_;
    bool prepared_ = false;
    int rowsAffected_ = -1;
    std::vector<std::pair<QString, QVariant>> params_;
};
