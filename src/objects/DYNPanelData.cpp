// Binding of the common object to a data source and a field.
#include "data/CloneTable.h"
#include "objects/DYNPanel.h"
#include "objects/ProjectContext.h"
#include "platform/db/DataSet.h"
#include "shell/Variable.h"

namespace {
const QString NilName = QStringLiteral("nil");
}

void TDynPanel::UnlinkFromSource()
{
    if (DataSource)
        DataSource->Unlink(this);
}

void TDynPanel::BindDataSource(TCloneDataSource* source)
{
    if (DataSource && !Loading)
        DataSource->Unlink(this);
    if (source) {
        DataSource = source;
        DataSourceName = source->Name;
        if (!Loading)
            BindField(nullptr);
    } else {
        if (!Loading)
            BindField(nullptr);
        DataSourceName = NilName;
        DataSource = nullptr;
    }
}

void TDynPanel::BindField(TField* field)
{
    if (DataSource && DataField && !Loading)
        DataSource->Unlink(this);
    if (field && DataSource) {
        DataField = field;
        FieldName = field->FieldName();
        DataSource->Link(this);
    } else {
        DataField = nullptr;
        FieldName = NilName;
    }
}

TCloneDataSource* TDynPanel::FindDataSource() const
{
    TObjectList* sources = ProjectContext().DataSources;
    if (!sources)
        return nullptr;
    for (int i = 0; i < sources->Count(); ++i)
        if (auto* s = dynamic_cast<TCloneDataSource*>(sources->Items(i)); s && s->Name == DataSourceName)
            return s;
    return nullptr;
}

TField* TDynPanel::FindField()
{
    if (!DataField && FieldName == NilName)
        return nullptr;
    TField* found = nullptr;
    if (DataSource && DataSource->DataSet) {
        TDataSet* ds = DataSource->DataSet;
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (ds->Fields(i)->FieldName() == FieldName) {
                found = ds->Fields(i);
                break;
            }
    }
    DataField = found;
    if (found) {
        ReadFieldValue();
        FieldName = found->FieldName();
    } else {
        FieldName = NilName;
    }
    return found;
}

void TDynPanel::ReadFieldValue()
{
    try {
        if (!DataField) {
            FieldValue = 0;
            FieldDateValue = 0;
            return;
        }
        const TFieldType t = DataField->DataType();
        if (t == ftTime || t == ftDateTime || t == ftTimeStamp) {
            FieldDateValue = DataField->AsDateTime();
            FieldValue = -1;
        } else {
            FieldValue = DataField->Value();
            FieldDateValue = 0;
        }
    } catch (...) {
        FieldValue = 0;
        FieldDateValue = 0;
    }
}

bool TDynPanel::IsNumericField(const TField* field)
{
    if (!field)
        return false;
    switch (field->DataType()) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD:
    case ftDateTime: case ftBytes: case ftLargeint:
        return true;
    default:
        return false;
    }
}

void TDynPanel::Rebind()
{
    DataSource = FindDataSource();
    FindField();
}

void TDynPanel::RebindAfterLoad()
{
    if (DataSourceName == NilName)
        return;
    // Binding here is part of the load: the object is not yet in any bound list.
    const bool wasLoading = Loading;
    Loading = false;
    TCloneDataSource* source = FindDataSource();
    if (source) {
        DataSource = source;
        DataSourceName = source->Name;
    } else {
        DataSource = nullptr;
        DataSourceName = NilName;
    }
    if (FieldName != NilName && DataSource) {
        const QString stored = FieldName;
        TField* f = FindField();
        FieldName = stored;
        BindField(f);
    }
    Loading = wasLoading;
    SetReadOnly(ReadOnly);
}
