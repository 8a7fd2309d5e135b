#include "data/CloneTable.h"
#include "objects/DYNPanel.h"
#include "objects/DYNProject.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "objects/ProjectContext.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/MemoryStream.h"
#include "platform/db/DataSet.h"
#include "platform/db/Query.h"
#include "platform/db/Session.h"
#include "platform/db/Table.h"
#include "shell/Texts.h"
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

bool IsIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

QString UpperAscii(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

QString Joined(const TStringList& list, const QString& separator)
{
    return list.ToQStringList().join(separator);
}

// The top-level ORDER BY of an SQL text: where ORDER begins and where BY ends, or nullopt.
// Both are whole words; quoted texts and names, comments and parenthesised parts (subqueries,
// window definitions) are passed over.
std::optional<std::pair<qsizetype, qsizetype>> FindOrderBy(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    int depth = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            ++i;
            while (i < n) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == u'[') {
            while (i < n && text[i] != u']')
                ++i;
            ++i;
        } else if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            while (i < n && text[i] != u'\n' && text[i] != u'\r')
                ++i;
        } else if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'(') {
            ++depth;
            ++i;
        } else if (c == u')') {
            depth = std::max(0, depth - 1);
            ++i;
        } else if (IsIdentChar(c)) {
            const qsizetype start = i;
            while (i < n && IsIdentChar(text[i]))
                ++i;
            if (depth == 0 && text.mid(start, i - start).compare(QLatin1String("ORDER"), Qt::CaseInsensitive) == 0) {
                qsizetype j = i;
                while (j < n && IsBlank(text[j]))
                    ++j;
                qsizetype k = j;
                while (k < n && IsIdentChar(text[k]))
                    ++k;
                if (j > i && text.mid(j, k - j).compare(QLatin1String("BY"), Qt::CaseInsensitive) == 0)
                    return std::make_pair(start, k);
            }
        } else {
            ++i;
        }
    }
    return std::nullopt;
}

TDateRecord Decompose(TDateTime value)
{
    TDateRecord r;
    DecodeDateParts(value, r.Parts);
    r.Value = value;
    return r;
}

// What a date level compares: two dates with the same key lie in the same period. Periods
// within the year carry the year, so that equal months of different years stay apart; the
// levels "Datum" and "Tag" group by calendar day.
qint64 PeriodKey(const TDateRecord& d, int level)
{
    const qint64 year = d.Parts.Year;
    switch (level) {
    case 0: case 5: return static_cast<qint64>(std::floor(d.Value));
    case 1: return year;
    case 2: return year * 10 + d.Parts.Quarter;
    case 3: return year * 100 + d.Parts.Month;
    case 4: return year * 100 + d.Parts.Week;
    default: return 0;
    }
}

// A field name as the filter expects it: bracketed when it is not a plain name.
QString FilterFieldName(const QString& name)
{
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_'))
            return u'[' + name + u']';
    return name;
}

bool IsCurrentField(const TDataSet* ds, const TField* field)
{
    if (!ds || !field)
        return false;
    for (int i = 0; i < ds->FieldCount(); ++i)
        if (ds->Fields(i) == field)
            return true;
    return false;
}

// The fields of a record after its head (fields 5 to 17), read whole before anything is changed.
struct TRecordFields {
    QString Reserved1, Reserved2, OrderText, Name;
    TStringList SavedFilters, IndexNames, SortFields;
    std::vector<bool> Ascending;
    QString DatabaseName;
    TStringList QuerySql, BaseSql, SqlHead, SqlTail;
};

TRecordFields ReadRecordFields(TMemoryStream& s, bool ownQueryPart)
{
    TRecordFields r;
    r.Reserved1 = ReadText(s);
    r.Reserved2 = ReadText(s);
    r.OrderText = ReadText(s);
    r.Name = ReadText(s);
    ReadLines(s, r.SavedFilters);
    ReadLines(s, r.IndexNames);
    ReadLines(s, r.SortFields);
    for (int i = 0; i < r.SortFields.Count(); ++i)
        r.Ascending.push_back(s.ReadByte() != 0);
    if (ownQueryPart) {
        r.DatabaseName = ReadText(s);
        ReadLines(s, r.QuerySql);
        ReadLines(s, r.BaseSql);
        ReadLines(s, r.SqlHead);
        ReadLines(s, r.SqlTail);
    }
    return r;
}

void ApplyCommonFields(TCloneSource& w, const TRecordFields& r)
{
    w.Reserved1 = r.Reserved1;
    w.Reserved2 = r.Reserved2;
    w.FOrderText = r.OrderText;
    w.Name = r.Name;
    w.SavedFilters = r.SavedFilters;
    w.IndexNames = r.IndexNames;
    w.SortFields.Clear();
    for (int i = 0; i < r.SortFields.Count(); ++i)
        w.SortFields.Add(r.SortFields.Strings(i), r.Ascending[static_cast<size_t>(i)] ? &w.AscendingMarker
                                                                                    : &w.DescendingMarker);
}

void WriteList(TMemoryStream& s, const QStringList& lines)
{
    TStringList list;
    list.Assign(lines);
    WriteLines(s, &list);
}

void PadEmpty(TStringList& list)
{
    if (list.Count() == 0)
        list.Add(QStringLiteral(" "));
}

TCloneDataSource* FindHostWrapper(const TObjectList* list, const RCloneDataSource& head)
{
    if (!list)
        return nullptr;
    for (TComponent* item : list->All())
        if (auto* w = dynamic_cast<TCloneDataSource*>(item); w && w->Kind == head.Kind && w->Name == head.Name)
            return w;
    return nullptr;
}

} // namespace

// ---- the plain sort grid ----

void TSortGridCells::SetRowCount(int rows)
{
    rows_.resize(static_cast<size_t>(std::max(0, rows)));
}

void TSortGridCells::SetCell(int col, int row, const QString& text)
{
    if (col >= 0 && col < 4 && row >= 0 && row < RowCount())
        rows_[static_cast<size_t>(row)].Cells[static_cast<size_t>(col)] = text;
}

void TSortGridCells::SetCellObject(int col, int row, TField* field)
{
    if (col == 3 && row >= 0 && row < RowCount())
        rows_[static_cast<size_t>(row)].Key = field;
}

QString TSortGridCells::Cell(int col, int row) const
{
    if (col < 0 || col >= 4 || row < 0 || row >= RowCount())
        return {};
    return rows_[static_cast<size_t>(row)].Cells[static_cast<size_t>(col)];
}

TField* TSortGridCells::CellObject(int row) const
{
    return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)].Key : nullptr;
}

QStringList TSortGridCells::Row(int row) const
{
    QStringList out;
    for (int c = 0; c < 4; ++c)
        out << Cell(c, row);
    return out;
}

// ---- TCloneSource ----

TCloneSource::TCloneSource(TComponent* owner) : TComponent(owner)
{
    Groups.Sorted = true;
}

TCloneSource::~TCloneSource()
{
    ReleaseLinkedObjects();
    ClearGroups();
    if (DataSet)
        DataSet->Close();
}

void TCloneSource::ReleaseLinkedObjects()
{
    // The objects stay; they only lose the pointers to a wrapper that is going.
    for (TDynPanel* o : LinkedObjects)
        if (o->DataSource == this) {
            o->DataSource = nullptr;
            o->DataField = nullptr;
        }
    LinkedObjects.clear();
}

void TCloneSource::Setup()
{
    SortFields.Clear();
    ClearGroups();
    Groups.Sorted = true;
    Groups.CaseSensitive = false;
    LinkedObjects.clear();
    FillIndexList();
}

void TCloneSource::Link(TDynPanel* object)
{
    if (object && !IsLinked(object))
        LinkedObjects.push_back(object);
}

void TCloneSource::Unlink(TDynPanel* object)
{
    LinkedObjects.erase(std::remove(LinkedObjects.begin(), LinkedObjects.end(), object), LinkedObjects.end());
}

bool TCloneSource::IsLinked(const TDynPanel* object) const
{
    return std::find(LinkedObjects.begin(), LinkedObjects.end(), object) != LinkedObjects.end();
}

void TCloneSource::RefreshLinked()
{
    const std::vector<TDynPanel*> objects = LinkedObjects;
    for (TDynPanel* o : objects) {
        if (!IsLinked(o))
            continue;
        TField* found = nullptr;
        if (DataSet)
            for (int i = 0; i < DataSet->FieldCount() && !found; ++i)
                if (DataSet->Fields(i)->FieldName() == o->FieldName)
                    found = DataSet->Fields(i);
        o->DataField = found;
        if (found) {
            o->ReadFieldValue();
        } else {
            // Without its field the object must not stay listed: nothing would take it off the
            // list again. It keeps its field name for the next binding.
            Unlink(o);
        }
    }
}

void TCloneSource::NotifyLinked(int event)
{
    const std::vector<TDynPanel*> objects = LinkedObjects;
    for (TDynPanel* o : objects)
        if (IsLinked(o))
            o->DataEvent(event, 10);
}

void TCloneSource::SignalDataChanged()
{
    const std::vector<TDynPanel*> objects = LinkedObjects;
    for (TDynPanel* o : objects)
        if (IsLinked(o))
            o->DataChanged();
}

void TCloneSource::RepaintLinked()
{
    const std::vector<TDynPanel*> objects = LinkedObjects;
    for (TDynPanel* o : objects)
        if (IsLinked(o))
            o->Repaint();
}

void TCloneSource::FillIndexList()
{
    IndexNames.Clear();
    if (Kind != HostTable || !Table)
        return;
    for (const TIndexDef& d : Table->IndexDefs())
        IndexNames.Add(d.Name.isEmpty() ? d.Fields : d.Name);
}

TCloneSource::TSortTag TCloneSource::SortTag(int index) const
{
    const void* tag = SortFields.Objects(index);
    if (tag == &AscendingMarker)
        return TSortTag::Ascending;
    if (tag == &DescendingMarker)
        return TSortTag::Descending;
    return tag ? TSortTag::Field : TSortTag::None;
}

bool TCloneSource::SortsAscending(int index) const
{
    const TSortTag t = SortTag(index);
    return t == TSortTag::Ascending || t == TSortTag::None;
}

bool TCloneSource::AddSortField(TField* field)
{
    if (!field || SortFields.IndexOf(field->FieldName()) >= 0)
        return false;
    if (Kind == HostTable)
        SortFields.Clear(); // a table sorts by one entry at a time
    SortFields.Add(field->FieldName(), field);
    return true;
}

bool TCloneSource::RemoveSortField(TField* field)
{
    if (!field || SortFields.Count() == 0)
        return false;
    const int i = SortFields.IndexOf(field->FieldName());
    if (i < 0)
        return false;
    SortFields.Delete(i);
    return true;
}

void TCloneSource::ToggleSortDirection(TField* field)
{
    if (!field || SortFields.Count() == 0)
        return;
    const int i = SortFields.IndexOf(field->FieldName());
    if (i < 0)
        return;
    SortFields.SetObject(i, SortsAscending(i) ? &DescendingMarker : &AscendingMarker);
}

void TCloneSource::AddSortFieldName(const QString& name)
{
    for (int i = 0; i < SortFields.Count(); ++i)
        if (SortFields.Strings(i) == name)
            return;
    SortFields.Add(name);
}

// ---- tables ----

bool TCloneSource::OpenExclusive()
{
    if (!Table)
        return false;
    if (!Table->Exclusive()) {
        Table->Close();
        Table->SetExclusive(true);
        while (!Table->Open())
            if (TDialogs::Get().MessageDlg(Texts(114), TMsgDlgType::Confirmation, mbOKCancel) != mrOk)
                break;
    }
    const bool result = Table->Active() && Table->Exclusive();
    if (!result) {
        Table->Close();
        Table->SetExclusive(false);
        Table->Open();
    }
    return result;
}

void TCloneSource::ReopenTable()
{
    if (Table && !Table->Active())
        Table->Open();
}

bool TCloneSource::ApplyTableSort()
{
    if (!Table || !Sortable)
        return false;
    const bool wasExclusive = Table->Exclusive();
    const QString key = Joined(SortFields, QStringLiteral(";"));
    if (key.isEmpty()) {
        RefreshLinked();
        return false;
    }
    const QString previousIndex = Table->IndexName();
    Table->Close();
    bool found = false;
    bool result = false;
    const std::vector<TIndexDef> defs = Table->IndexDefs();
    for (const TIndexDef& d : defs) {
        if (d.Fields != key)
            continue;
        found = true;
        if (!Table->SetIndexName(d.Name)) {
            if (TDialogs::Get().MessageDlg(Texts(420), TMsgDlgType::Confirmation, mbOKCancel) != mrOk) {
                // The table goes back to the order it had.
                Table->SetIndexName(previousIndex);
                ReopenTable();
                RefreshLinked();
                return false;
            }
        }
        result = true;
        break;
    }
    if (!found)
        result = CreateSortIndex();
    if (Table->Exclusive() != wasExclusive) {
        Table->Close();
        Table->SetExclusive(wasExclusive);
    }
    ReopenTable();
    if (result)
        FOrderText = key;
    RefreshLinked();
    return result;
}

bool TCloneSource::CreateSortIndex()
{
    if (!Table || !Sortable || !OpenExclusive())
        return false;
    Table->Close();
    const QString name = Joined(SortFields, QString());
    const QString fields = Joined(SortFields, QStringLiteral(";"));
    // Index names are shared by all tables of a database: a name another table took already
    // gets the table's name in front.
    QString created = name;
    bool added = Table->AddIndex(created, fields);
    if (!added) {
        created = Table->TableName() + u'_' + name;
        added = Table->AddIndex(created, fields);
    }
    if (!added) {
        Table->SetExclusive(false);
        Table->Open();
        return false;
    }
    IndexNames.Add(created);
    Table->UpdateIndexDefs();
    Table->SetExclusive(false);
    const bool chosen = Table->SetIndexName(created);
    Table->Open();
    return chosen;
}

bool TCloneSource::DeleteSortIndex(const QString& indexName)
{
    if (!Table || !Sortable)
        return false;
    auto isCurrent = [&] { return indexName.compare(Table->IndexName(), Qt::CaseInsensitive) == 0; };
    if (isCurrent() && !Table->IndexDefs().empty()) {
        SortFields.Clear();
        SortFields.Add(Table->IndexDefs().front().Fields);
        ApplyTableSort();
    }
    if (isCurrent())
        return false; // still in use
    Table->UpdateIndexDefs();
    Table->Close();
    bool deleted = false;
    QString error;
    if (Table->SetExclusive(true)) {
        deleted = Table->DeleteIndex(indexName);
        if (deleted) {
            const int i = IndexNames.IndexOf(indexName);
            if (i >= 0)
                IndexNames.Delete(i);
        } else {
            error = Table->LastError();
        }
    } else {
        error = Table->LastError();
    }
    Table->UpdateIndexDefs();
    Table->SetExclusive(false);
    Table->Open();
    RefreshLinked();
    if (!deleted)
        TDialogs::Get().MessageDlg(error, TMsgDlgType::Error, mbOK);
    return deleted;
}

// ---- filter ----

QString TCloneSource::QuoteText(const QString& text)
{
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return out;
}

bool TCloneSource::SetFilterText(const QString& text)
{
    if (!DataSet || !DataSet->Active() || text == DataSet->Filter())
        return false;
    const QString previous = DataSet->Filter();
    const bool wasFiltered = DataSet->Filtered();
    const bool accepted = DataSet->SetFiltered(false) && DataSet->SetFilter(text) && DataSet->SetFiltered(true);
    if (!accepted) {
        // The previous filter stays in force.
        DataSet->SetFiltered(false);
        DataSet->SetFilter(previous);
        DataSet->SetFiltered(wasFiltered);
        TDialogs::Get().MessageDlg(Texts(376), TMsgDlgType::Information, mbOK);
    }
    DataSet->Refresh();
    RefreshLinked();
    return accepted;
}

// ---- groups ----

SGruppenFilter* TCloneSource::Group(int index) const
{
    return index >= 0 && index < Groups.Count() ? static_cast<SGruppenFilter*>(Groups.Objects(index)) : nullptr;
}

void TCloneSource::ClearGroups()
{
    for (int i = Groups.Count() - 1; i >= 0; --i)
        delete static_cast<SGruppenFilter*>(Groups.Objects(i));
    Groups.Clear();
}

QString TCloneSource::PeriodCaption(const TDateRecord& date, int level)
{
    const TDateParts& p = date.Parts;
    switch (level) {
    case 0:
        return DateTimeToDate(std::floor(date.Value)).toString(FormatSettings().ShortDateFormat);
    case 1:
        return QString::number(p.Year);
    case 2:
        return QStringLiteral("%1 %2 %3").arg(p.Quarter).arg(Texts(139)).arg(p.Year);
    case 3:
        return FormatSettings().LongMonthNames.value(p.Month - 1) + u' ' + QString::number(p.Year);
    case 4:
        return QStringLiteral("%1 %2 %3").arg(p.Week).arg(Texts(140)).arg(p.Year);
    case 5:
        return QString::number(p.DayOfWeek) + QStringLiteral(" Tag ") + QString::number(p.Week)
               + QStringLiteral(" Woche");
    default:
        return QStringLiteral(" error");
    }
}

QString TCloneSource::DateRangeExpression(const QString& fieldName, TDateTime from, TDateTime to)
{
    const QString format = FormatSettings().ShortDateFormat;
    const QString name = FilterFieldName(fieldName);
    const QString start = DateTimeToDate(std::floor(from)).toString(format);
    const QString end = DateTimeToDate(std::floor(to)).toString(format);
    return name + QStringLiteral(" >=  ") + u'\'' + start + u'\'' + QStringLiteral(" AND ") + name
           + QStringLiteral(" <   ") + u'\'' + end + u'\'';
}

void TCloneSource::BuildGroups(const SGruppenFilter& descriptor)
{
    ClearGroups();
    Groups.Sorted = true;
    Groups.CaseSensitive = false;
    if (!DataSet || !DataSet->Active())
        return;
    // The form's descriptor may still name a field of an earlier opening: take it only when it
    // is one of the dataset's fields now, else look it up by name.
    TField* field = IsCurrentField(DataSet, descriptor.Field) ? descriptor.Field
                                                              : DataSet->FindField(descriptor.FieldName);
    if (!field)
        return;
    const int level = descriptor.DateLevel;
    const bool disable = !DataSet->ControlsDisabled();
    if (disable)
        DataSet->DisableControls();
    DataSet->First();
    const bool dateTime = field->DataType() == ftDateTime || field->DataType() == ftTimeStamp;
    if (dateTime)
        Groups.Sorted = false; // data order

    auto addDateGroup = [&](TDateTime end) {
        auto* g = new SGruppenFilter;
        g->Caption = PeriodCaption(GroupStartDate, level);
        g->Value = DateRangeExpression(field->FieldName(), GroupStartDate.Value, end);
        Groups.Add(g->Caption, g);
    };
    bool periodOpen = false;
    TDateTime periodLast = 0;
    while (!DataSet->Eof()) {
        if (dateTime) {
            if (!field->IsNull()) {
                CurrentDate = Decompose(field->AsDateTime());
                if (!periodOpen) {
                    GroupStartDate = CurrentDate;
                    periodOpen = true;
                    periodLast = CurrentDate.Value;
                } else if (PeriodKey(CurrentDate, level) != PeriodKey(GroupStartDate, level)) {
                    addDateGroup(CurrentDate.Value);
                    GroupStartDate = CurrentDate;
                    periodLast = CurrentDate.Value;
                } else {
                    periodLast = std::max(periodLast, CurrentDate.Value);
                }
            }
        } else {
            const QString text = field->AsString();
            if (Groups.IndexOf(text) < 0) {
                auto* g = new SGruppenFilter;
                g->Value = g->Caption = text;
                Groups.Add(text, g);
            }
        }
        DataSet->Next();
    }
    // The last period ends with the day after its last record.
    if (periodOpen)
        addDateGroup(std::floor(periodLast) + 1);
    DataSet->First();
    if (disable)
        DataSet->EnableControls();
}

// ---- record movement ----

void TCloneSource::MoveFirst(TDynPanel* caller)
{
    Position = 0;
    if (!caller && DataSet)
        DataSet->First();
    NotifyLinked(2);
}

void TCloneSource::MoveNext(TDynPanel* caller)
{
    ++Position;
    if (!caller && DataSet)
        DataSet->Next();
    NotifyLinked(3);
}

void TCloneSource::MovePrior(TDynPanel* caller)
{
    --Position;
    if (!caller && DataSet)
        DataSet->Prior();
    NotifyLinked(4);
}

void TCloneSource::MoveLast()
{
    if (DataSet)
        DataSet->Last();
    Position = DataSet ? DataSet->RecordCount() : 0;
    NotifyLinked(5);
    Count = Position;
}

void TCloneSource::StepNext()
{
    ++Position;
    if (DataSet)
        DataSet->Next();
}

void TCloneSource::Rewind()
{
    Position = 0;
    if (DataSet)
        DataSet->First();
}

// ---- the file record ----

qint64 TCloneSource::WriteCommonPart(TMemoryStream& s)
{
    s.WriteByte(Kind);
    WriteText(s, Name);
    const qint64 start = s.Position();
    s.WriteInt32(static_cast<qint32>(start));
    s.WriteInt32(static_cast<qint32>(start));
    WriteText(s, Reserved1);
    WriteText(s, Reserved2);
    WriteText(s, FOrderText);
    WriteText(s, Name);
    WriteLines(s, &SavedFilters);
    WriteLines(s, &IndexNames);
    WriteList(s, SortFields.ToQStringList());
    for (int i = 0; i < SortFields.Count(); ++i)
        s.WriteByte(SortsAscending(i) ? 1 : 0);
    return start;
}

void TCloneSource::PatchEnd(TMemoryStream& s, qint64 startField)
{
    const qint64 end = s.Position();
    s.SetPosition(startField + 4);
    s.WriteInt32(static_cast<qint32>(end));
    s.SetPosition(end);
}

void TCloneSource::WriteRecord(TMemoryStream& s)
{
    PatchEnd(s, WriteCommonPart(s));
}

void TCloneSource::ReadRecord(TMemoryStream& s, const RCloneDataSource& head)
{
    const TRecordFields r = ReadRecordFields(s, head.Kind == OwnQuery);
    ApplyCommonFields(*this, r);
    if (Kind == HostTable && !FOrderText.isEmpty())
        ApplyTableSort();
}

// ---- TCloneDataSource ----

TCloneDataSource::~TCloneDataSource()
{
    ReleaseLinkedObjects();
    ClearGroups();
    if (DataSet)
        DataSet->Close();
    if (ownSource_)
        ownSource_->SetDataSet(nullptr);
    ownSource_.reset();
    ownQuery_.reset();
    DataSet = nullptr;
    Query = nullptr;
    Table = nullptr;
    DataSource = nullptr;
}

TCloneDataSource* TCloneDataSource::WrapTable(TDYNProject* project, TDataSource* host)
{
    auto* table = host ? dynamic_cast<TTable*>(host->DataSet()) : nullptr;
    if (!table)
        return nullptr;
    auto* w = new TCloneDataSource;
    w->Project = project;
    w->DataSource = host;
    host->SetAutoEdit(true);
    w->WasActive = table->Active();
    w->Kind = HostTable;
    w->Table = table;
    w->DataSet = table;
    w->Name = table->Name;
    if (!table->Active())
        table->Open();
    w->WasExclusive = table->Exclusive();
    w->IndexCountAtStart = static_cast<int>(table->IndexDefs().size());
    w->DriverName = Session().GetAliasDriverName(table->DatabaseName());
    const QString suffix = QFileInfo(table->TableName()).suffix();
    w->TableExt = suffix.isEmpty() ? QString() : u'.' + suffix.toUpper();
    table->UpdateIndexDefs();
    w->IsParadox = w->TableExt == QLatin1String(".DB");
    w->IsDBase = w->TableExt == QLatin1String(".DBF");
    // The engine sorts any of its tables through indexes it creates.
    w->Sortable = w->IsParadox || w->IsDBase || table->SupportsIndexes();
    w->Setup();
    return w;
}

TCloneDataSource* TCloneDataSource::WrapQuery(TDYNProject* project, TDataSource* host)
{
    auto* query = host ? dynamic_cast<TQuery*>(host->DataSet()) : nullptr;
    if (!query)
        return nullptr;
    auto* w = new TCloneDataSource;
    w->Project = project;
    w->DataSource = host;
    w->Query = query;
    w->DataSet = query;
    w->Name = query->Name;
    w->Kind = HostQuery;
    w->Sortable = true;
    w->WasActive = query->Active();
    w->Setup();
    return w;
}

TCloneDataSource* TCloneDataSource::CreateOwnQuery(TDYNProject* project)
{
    auto* w = new TCloneDataSource;
    w->Project = project;
    w->ownQuery_ = std::make_unique<TQuery>();
    w->ownSource_ = std::make_unique<TDataSource>();
    w->ownSource_->SetAutoEdit(true);
    w->ownSource_->SetDataSet(w->ownQuery_.get());
    w->DataSource = w->ownSource_.get();
    w->Query = w->ownQuery_.get();
    w->DataSet = w->Query;
    w->Name = QStringLiteral("Untitled");
    w->Sortable = true;
    w->Kind = OwnQuery;
    w->Setup();
    return w;
}

void TCloneDataSource::Setup()
{
    TCloneSource::Setup();
    if (IsQuery() && Query && !Query->SQLText().trimmed().isEmpty()) {
        QuerySql.Assign(Query->SQL());
        SetSql(Query->SQL());
    }
}

int TCloneDataSource::CountRecords()
{
    Count = DataSet ? DataSet->RecordCount() : 0;
    return Count;
}

int TCloneDataSource::SortIndexOf(TField* field) const
{
    if (!field || SortFields.Count() == 0)
        return -1;
    return SortFields.IndexOf(field->FieldName());
}

bool TCloneDataSource::IsSortableType(int fieldType)
{
    switch (static_cast<TFieldType>(fieldType)) {
    case ftUnknown: case ftBoolean: case ftVarBytes: case ftAutoInc: case ftBlob: case ftMemo: case ftGraphic:
    case ftFmtMemo: case ftParadoxOle: case ftDBaseOle: case ftTypedBinary: case ftCursor: case ftADT:
    case ftArray: case ftReference: case ftDataSet: case ftOraBlob: case ftOraClob: case ftVariant:
    case ftInterface: case ftIDispatch: case ftGuid:
        return false;
    default:
        return true;
    }
}

bool TCloneDataSource::IsSortableField(const QString& fieldName) const
{
    const TField* f = DataSet ? DataSet->FindField(fieldName) : nullptr;
    if (!f || !IsSortableType(f->DataType()))
        return false;
    if (!IsQuery())
        return true;
    // A query names the field in its ORDER BY as it stands: only plain names can go there.
    for (qsizetype i = 0; i + 1 < fieldName.size(); ++i) {
        const QChar c = fieldName[i];
        const bool plain = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_';
        if (!plain)
            return false;
    }
    return true;
}

void TCloneDataSource::ListFields(TSortGrid& grid)
{
    const int n = DataSet ? DataSet->FieldCount() : 0;
    grid.SetRowCount(n);
    int row = 0;
    for (int i = 0; i < n; ++i) {
        TField* f = DataSet->Fields(i);
        if (!IsSortableField(f->FieldName()))
            continue;
        for (int c = 0; c < 3; ++c)
            grid.SetCell(c, row, QString());
        const int at = SortFields.IndexOf(f->FieldName());
        if (at < 0) {
            grid.SetCell(0, row, QStringLiteral("   "));
            grid.SetCell(2, row, QStringLiteral("   "));
        } else {
            grid.SetCell(0, row, QString::number(at));
            grid.SetCell(2, row, SortsAscending(at) ? QStringLiteral(" ab") : QStringLiteral("auf"));
        }
        grid.SetCell(1, row, f->FieldName());
        if (f->Lookup()) {
            grid.SetCell(3, row, f->KeyFields);
            grid.SetCell(0, row, QStringLiteral("L"));
        }
        grid.SetCellObject(3, row, f);
        ++row;
    }
}

// ---- SQL text ----

void TCloneDataSource::SkipBlanks()
{
    while (ParsePos - 1 < ParseText.size() && IsBlank(ParseText[ParsePos - 1]))
        ++ParsePos;
}

bool TCloneDataSource::AtWord(const char* word) const
{
    const QLatin1String w(word);
    const qsizetype i = ParsePos - 1;
    if (i + w.size() > ParseText.size())
        return false;
    if (QStringView(ParseText).mid(i, w.size()).compare(w, Qt::CaseInsensitive) != 0)
        return false;
    // A whole word only: DESCRIPTION and ASCII are names.
    return i + w.size() == ParseText.size() || !IsIdentChar(ParseText[i + w.size()]);
}

QString TCloneDataSource::ReadName()
{
    const qsizetype n = ParseText.size();
    qsizetype i = ParsePos - 1;
    const qsizetype start = i;
    while (i < n) {
        const QChar c = ParseText[i];
        if (c == u'"' || c == u'`' || c == u'[') {
            // A quoted name may hold blanks and commas.
            const QChar close = c == u'[' ? QChar(u']') : c;
            ++i;
            while (i < n && ParseText[i] != close)
                ++i;
            if (i < n)
                ++i;
            continue;
        }
        if (IsBlank(c) || c == u',')
            break;
        ++i;
    }
    ParsePos = static_cast<int>(i) + 1;
    return ParseText.mid(start, i - start);
}

bool TCloneDataSource::ParseOrderList()
{
    bool expectName = true;
    while (ParsePos - 1 < ParseText.size()) {
        const QChar c = ParseText[ParsePos - 1];
        if (c == u',') {
            ++ParsePos;
            SkipBlanks();
            expectName = true;
            continue;
        }
        const bool asc = AtWord("ASC");
        if (asc || AtWord("DESC")) {
            if (SortFields.Count() == 0)
                return false; // a direction word with no name before it
            SortFields.SetObject(SortFields.Count() - 1, asc ? &AscendingMarker : &DescendingMarker);
            ParsePos += asc ? 3 : 4;
            SkipBlanks();
            expectName = false;
            continue;
        }
        if (expectName) {
            const QString name = ReadName();
            if (name.isEmpty())
                break;
            SortFields.Add(name);
            SkipBlanks();
            // After a name comes a direction word, a comma or the end of the list (LIMIT ...).
            expectName = false;
            continue;
        }
        SkipBlanks();
        if (ParsePos - 1 < ParseText.size() && ParseText[ParsePos - 1] == u',')
            continue;
        break;
    }
    return true;
}

bool TCloneDataSource::ParseSql()
{
    ParseText.clear();
    for (int i = 0; i < BaseSql.Count(); ++i)
        ParseText += BaseSql.Strings(i) + QStringLiteral("\r\n");
    ParsePos = 1;
    SortFields.Clear();
    const auto orderBy = FindOrderBy(ParseText);
    if (orderBy) {
        SqlHead.SetText(ParseText.left(orderBy->first));
        ParsePos = static_cast<int>(orderBy->second) + 1;
        SkipBlanks();
        if (!ParseOrderList())
            return false;
        const QString rest = ParseText.mid(ParsePos - 1);
        if (rest.trimmed().isEmpty())
            SqlTail.Clear();
        else
            SqlTail.SetText(rest);
    } else {
        SqlHead = BaseSql;
        SqlTail.Clear();
    }
    OrderText();
    return true;
}

bool TCloneDataSource::SetSql(const QStringList& lines)
{
    // A text that does not parse leaves the wrapper as it was.
    const TStringList base = BaseSql, head = SqlHead, tail = SqlTail, sort = SortFields;
    const QString order = FOrderText;
    BaseSql.Assign(lines);
    if (ParseSql())
        return true;
    BaseSql = base;
    SqlHead = head;
    SqlTail = tail;
    SortFields = sort;
    FOrderText = order;
    return false;
}

QString TCloneDataSource::OrderText()
{
    if (!IsQuery()) {
        FOrderText = Joined(SortFields, QStringLiteral(";"));
        return FOrderText;
    }
    QStringList parts;
    for (int i = 0; i < SortFields.Count(); ++i)
        parts << SortFields.Strings(i) + (SortsAscending(i) ? QStringLiteral("  ASC") : QStringLiteral("  DESC"));
    FOrderText = UpperAscii(parts.join(QStringLiteral(", ")));
    return FOrderText;
}

void TCloneDataSource::ComposeSql(const QString& order, QStringList& lines) const
{
    if (order.isEmpty())
        return;
    lines = SqlHead.ToQStringList();
    lines << QStringLiteral("ORDER BY ") + order;
    lines << SqlTail.ToQStringList();
}

bool TCloneDataSource::ReopenQuery()
{
    if (!Query)
        return false;
    Query->DisableControls();
    Query->Close();
    // The statement is compiled and opened; it is not run beforehand as well, which would run
    // it twice and let a statement that changes data do so on every opening.
    const bool ok = Query->Prepare() && Query->Open();
    Query->EnableControls();
    RefreshLinked();
    return ok;
}

bool TCloneDataSource::ApplyQueryOrder(const QString& order)
{
    if (!IsQuery() || !Query)
        return false;
    const QStringList previous = Query->SQL().isEmpty() ? BaseSql.ToQStringList() : Query->SQL();
    Query->Close();
    QStringList lines = previous;
    ComposeSql(order, lines);
    Query->SetSQL(lines);
    bool ok = Query->Prepare() && Query->Open();
    if (!ok) {
        Query->Close();
        Query->SetSQL(previous);
        if (Query->Prepare())
            Query->Open();
    } else {
        QuerySql.Assign(Query->SQL());
    }
    RefreshLinked();
    return ok;
}

void TCloneDataSource::SortByField(TField* field)
{
    if (!field)
        return;
    if (!IsQuery()) {
        const QString key = field->Lookup() ? field->LookupKeyFields : field->FieldName();
        SortFields.Clear();
        SortFields.Add(key);
        ApplyTableSort();
        return;
    }
    const QString name = field->FieldName();
    if (IsSortableField(name))
        ApplyQueryOrder(name);
    else
        TDialogs::Get().MessageDlg(Texts(408), TMsgDlgType::Information, mbOK);
}

void TCloneDataSource::WriteRecord(TMemoryStream& s)
{
    const qint64 start = WriteCommonPart(s);
    if (Kind == OwnQuery) {
        WriteText(s, Query ? Query->DatabaseName() : DatabaseName);
        WriteList(s, Query && !Query->SQL().isEmpty() ? Query->SQL() : QuerySql.ToQStringList());
        WriteLines(s, &BaseSql);
        WriteLines(s, &SqlHead);
        WriteLines(s, &SqlTail);
    }
    PatchEnd(s, start);
}

void TCloneDataSource::ReadRecord(TMemoryStream& s, const RCloneDataSource& head)
{
    TRecordFields r = ReadRecordFields(s, head.Kind == OwnQuery);
    ApplyCommonFields(*this, r);
    if (head.Kind == OwnQuery) {
        DatabaseName = r.DatabaseName;
        QuerySql = r.QuerySql;
        BaseSql = r.BaseSql;
        SqlHead = r.SqlHead;
        SqlTail = r.SqlTail;
        PadEmpty(SqlHead);
        PadEmpty(BaseSql);
        PadEmpty(SqlTail);
    }
    if (IsQuery() && Query) {
        Query->Close();
        if (Kind == OwnQuery)
            Query->SetDatabaseName(DatabaseName);
        Query->SetSQL(QuerySql.ToQStringList());
        if (SqlHead.Count() == 0 || SqlHead.Strings(0).trimmed().isEmpty())
            SetSql(Query->SQL());
        if (!Query->SQLText().trimmed().isEmpty())
            ReopenQuery();
        return;
    }
    if (Kind == HostTable && !FOrderText.isEmpty())
        ApplyTableSort();
}

// ---- the list entry ----

TComponent* ReadDataSourceEntry(TObjectList& list, TMemoryStream& s)
{
    const qint64 at = s.Position();
    RCloneDataSource head;
    head.Kind = s.ReadByte();
    head.Name = ReadText(s);
    head.StartPos = s.ReadInt32();
    head.EndPos = s.ReadInt32();
    if (head.Kind > HostTable) {
        s.SetPosition(at);
        throw EStreamError("data source record at position " + std::to_string(at) + " has the unknown kind "
                           + std::to_string(head.Kind));
    }
    if (head.Kind == OwnQuery) {
        TCloneDataSource* w = TCloneDataSource::CreateOwnQuery(TDYNProject::Current());
        try {
            w->ReadRecord(s, head);
        } catch (...) {
            delete w;
            throw;
        }
        if (w->Query && !w->Query->SQLText().trimmed().isEmpty() && !w->Query->Active())
            TDialogs::Get().MessageDlg(QStringLiteral("The query %1 could not be opened: %2")
                                           .arg(w->Name, w->Query->LastError()),
                                       TMsgDlgType::Error, mbOK);
        return w;
    }
    TCloneDataSource* w = FindHostWrapper(&list, head);
    if (!w && ProjectContext().DataSources != &list)
        w = FindHostWrapper(ProjectContext().DataSources, head);
    if (!w) {
        // The host does not offer this data source now: its record is passed over.
        if (head.EndPos < s.Position() || head.EndPos > s.Size()) {
            s.SetPosition(at);
            throw EStreamError("the data source record '" + head.Name.toStdString() + "' at position "
                               + std::to_string(at) + " cannot be skipped: its end "
                               + std::to_string(head.EndPos) + " is not within the stream");
        }
        s.SetPosition(head.EndPos);
        return nullptr;
    }
    w->ReadRecord(s, head);
    return w;
}

namespace {
TKindEntry DataSourceEntry()
{
    TKindEntry e;
    e.Code = kcDataSource;
    e.Creation = TCreationRule::AlwaysNew;
    e.Adding = TAddRule::AppendUnique;
    e.Save = [](TComponent* object) {
        if (!SharedStream)
            throw EStreamError("no stream to write the data source to");
        KindObject<TCloneSource>(object, kcDataSource).WriteRecord(*SharedStream);
    };
    e.ReadCustom = [](TObjectList& list, TComponent*) -> TComponent* {
        if (!SharedStream)
            throw EStreamError("no stream to read the data source from");
        return ReadDataSourceEntry(list, *SharedStream);
    };
    e.DescriptorOf = [](const TComponent* object) -> std::optional<TKindInfo> {
        if (const auto* s = dynamic_cast<const TCloneSource*>(object))
            return s->KindDescriptor;
        return std::nullopt;
    };
    return e;
}

const TKindRegistrar DataSourceKind(DataSourceEntry());
} // namespace
