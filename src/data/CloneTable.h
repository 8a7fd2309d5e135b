#pragma once
#include "platform/db/DataSet.h"
#include "platform/db/Query.h"
// The dataset wrapper through which every database-bound object reaches its records.
//
// A wrapper stands for one dataset of the engine (a table or a query of the host application, or
// a query of its own) and adds what the designer needs on top: a sort list applied through an
// index (tables) or through the ORDER BY clause of the SQL text (queries), a filter, a group list
// for group-wise printing, a record counter, and the designer objects bound to its fields, which
// it tells about every move, sort and filter. Wrappers live in the project's list of data sources
// and are written there as records of kind 2130.
#include "platform/Component.h"
#include "platform/DateTime.h"
#include "platform/StringList.h"
#include "platform/Types.h"
#include "shell/KindInfo.h"
#include "shell/Variable.h"
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class TDataSet;
class TDataSource;
class TDynPanel;
class TDYNProject;
class TField;
class TMemoryStream;
class TQuery;
class TTable;
class TObjectList;

// A group of records by value or date period: also the database form's group-filter descriptor.
struct SGruppenFilter {
    QString Value;
    QString Caption;
    QString FieldName;
    TField* Field = nullptr;
    quint8 DateLevel = 3;
};

// What a wrapper stands for; fixed when it is created.
enum TCloneKind : quint8 { HostQuery = 0, OwnQuery = 1, HostTable = 2 };

// The direction tags of sort entries are two objects the wrapper owns; entries are compared with
// them by identity.
struct TSortMarker {
    bool Ascending = true;
};

// A date taken apart for grouping: the parts of DecodeDateParts and the value itself.
struct TDateRecord {
    TDateParts Parts;
    TDateTime Value = 0;
};

// The head of a wrapper's file record as the reader holds it.
struct RCloneDataSource {
    QString Name;
    quint8 Kind = 0;
    Int32 StartPos = 0;
    Int32 EndPos = 0;
};

// The grid the field listing is written into: four columns (sort position, field name, direction,
// key), the key cell carrying the dataset field. The sort panels' string grids implement it.
class TSortGrid {
public:
    virtual ~TSortGrid() = default;
    virtual int RowCount() const = 0;
    virtual void SetRowCount(int rows) = 0;
    virtual void SetCell(int col, int row, const QString& text) = 0;
    virtual void SetCellObject(int col, int row, TField* field) = 0;
};

// A plain grid of texts with the field of each row's key cell.
class TSortGridCells : public TSortGrid {
public:
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    void SetRowCount(int rows) override;
    void SetCell(int col, int row, const QString& text) override;
    void SetCellObject(int col, int row, TField* field) override;
    QString Cell(int col, int row) const;
    TField* CellObject(int row) const;
    QStringList Row(int row) const;

private:
    struct Line {
        std::array<QString, 4> Cells;
        TField* Key = nullptr;
    };
    std::vector<Line> rows_;
};

class TCloneSource : public TComponent {
public:
    explicit TCloneSource(TComponent* owner = nullptr);
    ~TCloneSource() override;

    TDataSource* DataSource = nullptr;
    TTable* Table = nullptr;
    TDataSet* DataSet = nullptr;
    TCloneKind Kind = OwnQuery;
    QString Name;
    // The ordering last applied (the field OrderText): for tables the sort fields joined by ';',
    // for queries the upper-cased ORDER BY list.
    QString FOrderText;
    int IndexCountAtStart = 0;
    QString DatabaseName;
    QString Reserved1, Reserved2;
    QString DriverName;
    QString TableExt;
    TSortMarker AscendingMarker{true};
    TSortMarker DescendingMarker{false};
    TStringList SqlHead;
    TStringList SqlTail;
    TStringList BaseSql;
    TStringList QuerySql;
    TStringList SavedFilters;
    // One entry per index definition of the table (its name, or its field list when it has none).
    // The engine rereads its definitions on every open, so entries carry no object.
    TStringList IndexNames;
    // The sort fields in order; each entry's object is its direction tag (see SortTag).
    TStringList SortFields;
    // Captions of the groups BuildGroups found, each owning its SGruppenFilter.
    TStringList Groups;
    // The designer objects bound to a field of this wrapper (not owned).
    std::vector<TDynPanel*> LinkedObjects;
    int ListIndex = -1;
    int Position = 0;
    int Count = 0;
    bool WasExclusive = false;
    bool WasActive = false;
    bool IsParadox = false;
    bool IsDBase = false;
    bool Sortable = false;
    TDateRecord CurrentDate;
    TDateRecord GroupStartDate;
    TKindInfo KindDescriptor = KindByCode(kcDataSource);
    // The project the wrapper was made for (may be none).
    TDYNProject* Project = nullptr;

    bool IsQuery() const { return Kind == HostQuery || Kind == OwnQuery; }

    // ---- the virtual protocol ----
    // Creates the lists and fills the index list.
    virtual void Setup();
    // The wrapper's record in the project file (after its kind descriptor).
    virtual void WriteRecord(TMemoryStream& s);
    // Reads the record after its head. A record that breaks off throws EStreamError and leaves
    // the wrapper as it was.
    virtual void ReadRecord(TMemoryStream& s, const RCloneDataSource& head);

    // ---- bound objects ----
    void Link(TDynPanel* object);
    void Unlink(TDynPanel* object);
    bool IsLinked(const TDynPanel* object) const;
    // Every bound object looks its field up again by its field name (reopening replaces the
    // dataset's field objects). An object whose field is gone keeps its field name.
    void RefreshLinked();
    void NotifyLinked(int event);
    void SignalDataChanged();
    void RepaintLinked();

    // ---- index list and sort list ----
    void FillIndexList();
    enum class TSortTag { Ascending, Descending, None, Field };
    TSortTag SortTag(int index) const;
    // Whether entry index sorts ascending: the ascending marker, or no direction word at all.
    bool SortsAscending(int index) const;
    bool AddSortField(TField* field);
    bool RemoveSortField(TField* field);
    void ToggleSortDirection(TField* field);
    void AddSortFieldName(const QString& name);

    // ---- tables ----
    bool OpenExclusive();
    bool ApplyTableSort();
    bool CreateSortIndex();
    // Deletes an index the wrapper (or the user) created; false with one message shown when the
    // engine refuses, the table then open again as before.
    bool DeleteSortIndex(const QString& indexName);

    // ---- filter ----
    static QString QuoteText(const QString& text);
    bool SetFilterText(const QString& text);

    // ---- groups ----
    void BuildGroups(const SGruppenFilter& descriptor);
    void ClearGroups();
    SGruppenFilter* Group(int index) const;
    // The caption of the date period that the date record opens, by date level.
    static QString PeriodCaption(const TDateRecord& date, int level);
    // "NAME >=  'start' AND NAME <   'end'" with both dates in the short date format.
    static QString DateRangeExpression(const QString& fieldName, TDateTime from, TDateTime to);

    // ---- record movement ----
    void MoveFirst(TDynPanel* caller = nullptr);
    void MoveNext(TDynPanel* caller = nullptr);
    void MovePrior(TDynPanel* caller = nullptr);
    void MoveLast();
    void StepNext();
    void Rewind();

protected:
    // Fields 1 to 12 of the record; returns the stream position of field 3.
    qint64 WriteCommonPart(TMemoryStream& s);
    static void PatchEnd(TMemoryStream& s, qint64 startField);
    void ReleaseLinkedObjects();
    // Closes and reopens the table in its previous state after a sort went wrong.
    void ReopenTable();
};

class TCloneDataSource : public TCloneSource {
public:
    using TCloneSource::TCloneSource;
    ~TCloneDataSource() override;

    // Creation; each ends with Setup. Nil when the data source carries no dataset of that kind.
    static TCloneDataSource* WrapTable(TDYNProject* project, TDataSource* host);
    static TCloneDataSource* WrapQuery(TDYNProject* project, TDataSource* host);
    static TCloneDataSource* CreateOwnQuery(TDYNProject* project);

    TQuery* Query = nullptr;
    // 1-based position of the SQL parser in ParseText.
    int ParsePos = 1;
    QString ParseText;

    void Setup() override;
    void WriteRecord(TMemoryStream& s) override;
    void ReadRecord(TMemoryStream& s, const RCloneDataSource& head) override;

    int CountRecords();
    // Takes the lines as the query's SQL to be parsed into head, sort list and tail.
    bool SetSql(const QStringList& lines);
    int SortIndexOf(TField* field) const;
    void ListFields(TSortGrid& grid);
    bool ParseSql();
    // Reads an ORDER BY list from ParseText at ParsePos into the sort list.
    bool ParseOrderList();
    // The order text for the sort list as it stands, kept in FOrderText.
    QString OrderText();
    void ComposeSql(const QString& order, QStringList& lines) const;
    bool ReopenQuery();
    bool ApplyQueryOrder(const QString& order);
    void SortByField(TField* field);
    bool IsSortableField(const QString& fieldName) const;
    // Whether a field of this type can ever be sorted.
    static bool IsSortableType(int fieldType);

private:
    // 0-based index helpers over ParseText.
    void SkipBlanks();
    bool AtWord(const char* word) const;
    QString ReadName();

    std::unique_ptr<TQuery> ownQuery_;
    std::unique_ptr<TDataSource> ownSource_;
};

// The list entry of kind 2130 (data source) is registered with the object lists in CloneTable.cpp.
// Reads the rest of a wrapper's entry after its descriptor: used by that entry.
TComponent* ReadDataSourceEntry(TObjectList& list, TMemoryStream& s);
