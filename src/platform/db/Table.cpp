#include "platform/db/Table.h"
#include <QSqlError>
#include <QSqlQuery>

namespace {
QString EngineError(const QSqlQuery& q)
{
    const QString text = q.lastError().databaseText().trimmed();
    return text.isEmpty() ? q.lastError().text().trimmed() : text;
}

QStringList SplitFields(const QString& fields)
{
    QStringList out;
    for (const QString& f : fields.split(u';'))
        if (!f.trimmed().isEmpty())
            out << f.trimmed();
    return out;
}
} // namespace

TTable::TTable(TComponent* owner) : TDataSet(owner) {}

bool TTable::SetTableName(const QString& name)
{
    if (name == tableName_)
        return true;
    if (Active())
        return Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    tableName_ = name;
    indexDefs_.clear();
    return true;
}

bool TTable::SetExclusive(bool value)
{
    if (value == exclusive_)
        return true;
    if (Active())
        return Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    exclusive_ = value;
    return true;
}

const TIndexDef* TTable::FindIndex(const QString& name) const
{
    for (const TIndexDef& d : indexDefs_)
        if (!d.Name.isEmpty() && d.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

bool TTable::UpdateIndexDefs()
{
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    TTableInfo info;
    QString error;
    if (!ReadTableInfo(db, tableName_, info, error))
        return Fail(error);
    std::vector<TIndexDef> defs;
    const QStringList keys = info.KeyColumns();
    if (!keys.isEmpty())
        defs.push_back({QString(), keys.join(u';'), ixPrimary | ixUnique});

    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (IsPostgres(db)) {
        q.prepare(QStringLiteral(
            "SELECT ic.relname, i.indisprimary, i.indisunique, "
            "(SELECT string_agg(a.attname, ';' ORDER BY k.ord) FROM unnest(i.indkey) WITH ORDINALITY AS k(attnum, ord) "
            " JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum), "
            "(SELECT bool_and((i.indoption[k.ord - 1] & 1) = 1) FROM unnest(i.indkey) WITH ORDINALITY AS k(attnum, ord)) "
            "FROM pg_index i JOIN pg_class ic ON ic.oid = i.indexrelid "
            "WHERE i.indrelid = to_regclass(?) AND NOT i.indisprimary ORDER BY ic.oid"));
        q.addBindValue(QuoteName(tableName_));
        if (!q.exec())
            return Fail(EngineError(q));
        while (q.next()) {
            const QString fields = q.value(3).toString();
            if (fields.isEmpty())
                continue; // an index over expressions
            TIndexOptions options;
            if (q.value(2).toBool())
                options |= ixUnique;
            if (q.value(4).toBool())
                options |= ixDescending;
            defs.push_back({q.value(0).toString(), fields, options});
        }
        indexDefs_ = std::move(defs);
        return true;
    }

    // Index names in creation order, with their kind from the engine's index list.
    q.prepare(QStringLiteral("SELECT m.name, l.\"unique\", l.origin FROM sqlite_master m "
                             "JOIN pragma_index_list(?) l ON l.name = m.name "
                             "WHERE m.type = 'index' ORDER BY m.rowid"));
    q.addBindValue(tableName_);
    if (!q.exec())
        return Fail(EngineError(q));
    struct Entry {
        QString Name;
        bool Unique;
    };
    std::vector<Entry> entries;
    while (q.next()) {
        if (q.value(2).toString() == QLatin1String("pk"))
            continue; // already listed as the primary index
        entries.push_back({q.value(0).toString(), q.value(1).toInt() != 0});
    }
    q.finish();
    for (const Entry& e : entries) {
        QSqlQuery c(db);
        c.setForwardOnly(true);
        c.prepare(QStringLiteral("SELECT name, \"desc\", coll FROM pragma_index_xinfo(?) WHERE key = 1 ORDER BY seqno"));
        c.addBindValue(e.Name);
        if (!c.exec())
            return Fail(EngineError(c));
        QStringList fields;
        bool allDesc = true, noCase = false, expression = false;
        while (c.next()) {
            if (c.value(0).isNull())
                expression = true;
            fields << c.value(0).toString();
            allDesc = allDesc && c.value(1).toInt() != 0;
            noCase = noCase || c.value(2).toString().compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0;
        }
        if (expression || fields.isEmpty())
            continue;
        TIndexOptions options;
        if (e.Unique)
            options |= ixUnique;
        if (allDesc)
            options |= ixDescending;
        if (noCase)
            options |= ixCaseInsensitive;
        defs.push_back({e.Name, fields.join(u';'), options});
    }
    indexDefs_ = std::move(defs);
    return true;
}

void TTable::GetIndexNames(QStringList& list)
{
    list.clear();
    UpdateIndexDefs();
    for (const TIndexDef& d : indexDefs_)
        if (!d.Name.isEmpty())
            list << d.Name;
}

bool TTable::AddIndex(const QString& name, const QString& fields, TIndexOptions options)
{
    const QString n = name.trimmed();
    const QStringList cols = SplitFields(fields);
    if (n.isEmpty())
        return Fail(QStringLiteral("An index needs a name"));
    if (cols.isEmpty())
        return Fail(QStringLiteral("The index '%1' needs at least one field").arg(n));
    if (options.testFlag(ixPrimary))
        return Fail(QStringLiteral("A primary index cannot be added to an existing table"));
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    TTableInfo info;
    QString error;
    if (!ReadTableInfo(db, tableName_, info, error))
        return Fail(error);
    const bool postgres = IsPostgres(db);
    QStringList parts;
    for (const QString& c : cols) {
        bool known = false;
        for (const TColumnInfo& col : info.Columns)
            known = known || col.Name.compare(c, Qt::CaseInsensitive) == 0;
        if (!known)
            return Fail(QStringLiteral("Field '%1' not found").arg(c));
        QString part = QuoteName(c);
        if (options.testFlag(ixCaseInsensitive) && !postgres)
            part += QStringLiteral(" COLLATE NOCASE");
        if (options.testFlag(ixDescending))
            part += QStringLiteral(" DESC");
        parts << part;
    }
    QSqlQuery q(db);
    const QString sql = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                            .arg(options.testFlag(ixUnique) ? QStringLiteral("UNIQUE ") : QString(), QuoteName(n),
                                 QuoteName(tableName_), parts.join(QStringLiteral(", ")));
    if (!q.exec(sql))
        return Fail(EngineError(q));
    return UpdateIndexDefs();
}

bool TTable::DeleteIndex(const QString& name)
{
    if (!UpdateIndexDefs())
        return false;
    const TIndexDef* def = FindIndex(name);
    if (!def) {
        if (name.trimmed().isEmpty())
            return Fail(QStringLiteral("The primary index cannot be deleted"));
        return Fail(QStringLiteral("Index '%1' not found").arg(name));
    }
    const bool current = def->Name.compare(indexName_, Qt::CaseInsensitive) == 0;
    if (current && Active())
        return Fail(QStringLiteral("Index '%1' is in use").arg(def->Name));
    QSqlDatabase db = Database();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("DROP INDEX %1").arg(QuoteName(def->Name))))
        return Fail(EngineError(q));
    if (current)
        indexName_.clear();
    return UpdateIndexDefs();
}

bool TTable::SetIndexName(const QString& name)
{
    const QString n = name.trimmed();
    if (n.compare(indexName_, Qt::CaseInsensitive) == 0 && indexFieldNames_.isEmpty())
        return true;
    QString canonical = n;
    if (!n.isEmpty()) {
        // Checked against the engine whenever the table can be reached.
        const bool reachable = !tableName_.isEmpty() && !DatabaseName().isEmpty() && UpdateIndexDefs();
        if (reachable || Active()) {
            const TIndexDef* def = FindIndex(n);
            if (!def)
                return Fail(QStringLiteral("Index '%1' not found").arg(n));
            canonical = def->Name;
        }
    }
    const QString oldName = indexName_, oldFields = indexFieldNames_;
    indexName_ = canonical;
    indexFieldNames_.clear();
    if (Active() && !Reload()) {
        indexName_ = oldName;
        indexFieldNames_ = oldFields;
        return false;
    }
    return true;
}

bool TTable::SetIndexFieldNames(const QString& fields)
{
    if (fields == indexFieldNames_)
        return true;
    if (Active())
        for (const QString& f : SplitFields(fields))
            if (!FindField(f))
                return Fail(QStringLiteral("Field '%1' not found").arg(f));
    const QString oldName = indexName_, oldFields = indexFieldNames_;
    indexFieldNames_ = fields;
    indexName_.clear();
    if (Active() && !Reload()) {
        indexName_ = oldName;
        indexFieldNames_ = oldFields;
        return false;
    }
    return true;
}

bool TTable::OrderBy(bool postgres, const TTableInfo& info, QString& order)
{
    // A quoted name that is no column would be taken as a constant by SQLite: check first.
    auto known = [&](const QString& f) {
        for (const TColumnInfo& c : info.Columns)
            if (c.Name.compare(f, Qt::CaseInsensitive) == 0)
                return true;
        return Fail(QStringLiteral("Field '%1' not found").arg(f));
    };
    QStringList parts;
    if (!indexFieldNames_.trimmed().isEmpty()) {
        for (const QString& f : SplitFields(indexFieldNames_)) {
            if (!known(f))
                return false;
            parts << QuoteName(f);
        }
    } else if (!indexName_.isEmpty()) {
        const TIndexDef* def = FindIndex(indexName_);
        if (!def)
            return Fail(QStringLiteral("Index '%1' not found").arg(indexName_));
        for (const QString& f : SplitFields(def->Fields)) {
            if (!known(f))
                return false;
            QString part = QuoteName(f);
            if (def->Options.testFlag(ixCaseInsensitive) && !postgres)
                part += QStringLiteral(" COLLATE NOCASE");
            if (def->Options.testFlag(ixDescending))
                part += QStringLiteral(" DESC");
            parts << part;
        }
    } else {
        for (const QString& k : info.KeyColumns())
            parts << QuoteName(k);
        if (parts.isEmpty() && info.HasRowid)
            parts << QStringLiteral("_rowid_");
    }
    order = parts.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
    return true;
}

bool TTable::PrepareCursor(QSqlDatabase& db, TCursorPlan& plan)
{
    TTableInfo info;
    QString error;
    if (!ReadTableInfo(db, tableName_, info, error))
        return Fail(error);
    if (!UpdateIndexDefs())
        return false;
    const bool postgres = IsPostgres(db);
    QString order;
    if (!OrderBy(postgres, info, order))
        return false;
    for (const TColumnInfo& c : info.Columns)
        plan.Declared.insert(c.Name.toUpper(), c.Type);
    plan.KeyColumns = info.KeyColumns();
    plan.HiddenRowid = plan.KeyColumns.isEmpty() && info.HasRowid;
    if (!info.IsView)
        plan.UpdateTable = tableName_;
    plan.Sql = QStringLiteral("SELECT *%1 FROM %2%3")
                   .arg(plan.HiddenRowid ? QStringLiteral(", _rowid_") : QString(), QuoteName(tableName_), order);
    return true;
}
