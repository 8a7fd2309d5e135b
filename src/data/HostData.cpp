#include "data/HostData.h"
#include "platform/Dialogs.h"
#include "platform/db/DataSet.h"
#include "platform/db/Session.h"
#include "platform/db/Table.h"
#include <QStringList>

THostData::~THostData()
{
    Close();
}

bool THostData::Open(const QString& alias)
{
    const QString name = alias.trimmed();
    if (!entries_.empty() && name.compare(alias_, Qt::CaseInsensitive) == 0)
        return true;
    QStringList tables;
    if (name.isEmpty() || !Session().GetTableNames(name, tables)) {
        const QString reason = name.isEmpty() ? QStringLiteral("no alias is named") : Session().LastError();
        TDialogs::Get().MessageDlg(QStringLiteral("The database of alias %1 could not be opened: %2").arg(name, reason),
                                   TMsgDlgType::Error, mbOK);
        return false;
    }
    std::vector<Entry> fresh;
    for (const QString& t : tables) {
        Entry e;
        e.Table = std::make_unique<TTable>();
        e.Table->Name = t;
        e.Table->SetDatabaseName(name);
        e.Table->SetTableName(t);
        e.Source = std::make_unique<TDataSource>();
        e.Source->Name = t + QStringLiteral("Source");
        e.Source->SetDataSet(e.Table.get());
        fresh.push_back(std::move(e));
    }
    for (Entry& e : entries_)
        retired_.push_back(std::move(e));
    entries_ = std::move(fresh);
    alias_ = name;
    sources_.clear();
    for (const Entry& e : entries_)
        sources_.push_back(e.Source.get());
    return true;
}

void THostData::Close()
{
    sources_.clear();
    entries_.clear();
    retired_.clear();
    alias_.clear();
}

TDataSource* THostData::SourceOf(const QString& tableName) const
{
    for (const Entry& e : entries_)
        if (e.Table->TableName().compare(tableName, Qt::CaseInsensitive) == 0)
            return e.Source.get();
    return nullptr;
}

THostData& HostData()
{
    static THostData data;
    return data;
}

void OpenHostAlias(const QString& alias)
{
    HostData().Open(alias.trimmed().isEmpty() ? QStringLiteral("DEMO") : alias);
}

const std::vector<TDataSource*>& HostDataSources()
{
    return HostData().Sources();
}
