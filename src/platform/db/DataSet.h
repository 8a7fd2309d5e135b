#pragma once
// Datasets: a client-side cursor over the rows a statement returned, with fields, filtering,
// editing written back through parameterised SQL, and data sources that tell linked controls
// about every change.
//
// Rows are fetched forward-only into a TRecordStore; the cursor moves over a list of row numbers,
// which filtering narrows. Field objects belong to the dataset and are replaced when it is opened
// again, so holders of a TField* look it up again on ActiveChanged.
#include "platform/db/FieldType.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/RecordStore.h"
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class TComponent;
class TDataSet;
class TDataSource;
class TDataLink;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TFieldKind { fkData, fkCalculated, fkLookup };

class TField {
public:
    TDataSet* DataSet() const { return dataSet_; }
    const QString& FieldName() const { return name_; }
    TFieldType DataType() const { return type_; }
    int Size() const { return size_; }
    int Index() const { return index_; } // position in the dataset's field list
    QString DisplayLabel() const { return label_.isEmpty() ? name_ : label_; }
    void SetDisplayLabel(const QString& label) { label_ = label; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    // Lookup fields are not built by this layer; the settings are kept for the callers.
    TFieldKind FieldKind() const { return kind_; }
    bool Lookup() const { return kind_ == fkLookup; }
    QString KeyFields, LookupKeyFields, LookupResultField;

    bool IsNull() const;
    bool IsBlob() const { return IsBlobType(type_); }
    // Integers as qlonglong, Booleans as bool, numbers as double, dates as QDate / QDateTime /
    // QTime, texts as QString, blobs as QByteArray; null as an invalid QVariant.
    QVariant Value() const;
    // The value as text: dates in the short date format, numbers with the decimal separator,
    // Booleans "True"/"False"; null is empty.
    QString AsString() const;
    // As AsString, except blob fields, which show "(GRAPHIC)", "(MEMO)", ... ("(memo)" when null).
    QString DisplayText() const;
    std::int64_t AsLargeInt() const;
    int AsInteger() const;
    double AsFloat() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    QByteArray AsBytes() const;

    // Setting a value needs the dataset in edit or insert state. A value that does not fit the
    // field's type is refused with a message in the dataset's LastError, and nothing changes.
    bool SetValue(const QVariant& value);
    bool SetAsString(const QString& text);
    bool SetAsInteger(std::int64_t value) { return SetValue(QVariant::fromValue<qlonglong>(value)); }
    bool SetAsFloat(double value) { return SetValue(value); }
    bool SetAsDateTime(TDateTime value);
    bool SetAsBoolean(bool value) { return SetValue(value); }
    bool Clear() { return SetValue(QVariant()); }

private:
    friend class TDataSet;
    TField() = default;
    QVariant ValueAtRow(int row) const; // a stored row (not the edit buffer)

    TDataSet* dataSet_ = nullptr;
    QString name_;
    QString label_;
    TFieldType type_ = ftUnknown;
    TFieldKind kind_ = fkData;
    int size_ = 0;
    int index_ = 0;
    bool readOnly_ = false;
};

// What a table or query tells the dataset when it opens.
struct TCursorPlan {
    QString Sql;                          // the statement that returns the rows
    std::vector<std::pair<QString, QVariant>> Params; // bound by name when not empty
    QString UpdateTable;                  // the table rows are written back to; empty: read-only
    QStringList KeyColumns;               // columns of UpdateTable identifying a row
    QHash<QString, QString> ColumnOfField; // field name (upper case) -> column of UpdateTable
    bool HiddenRowid = false;             // the statement's last column is the engine's row id
    QHash<QString, TDeclaredType> Declared; // declared types by column name (upper case)
};

// A column of a table as the engine describes it.
struct TColumnInfo {
    QString Name;
    QString DeclaredType;
    int PrimaryKey = 0;      // 1-based position in the primary key, 0 if not part of it
    bool RowidAlias = false; // INTEGER PRIMARY KEY of a table with row ids
    TDeclaredType Type;
};

struct TTableInfo {
    std::vector<TColumnInfo> Columns;
    bool HasRowid = false; // the engine keeps a row id the dataset can write back by
    bool IsView = false;
    QStringList KeyColumns() const; // the primary key, in key order
};

class TDataSet {
public:
    explicit TDataSet(TComponent* owner = nullptr);
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    QString Name;
    TComponent* Owner = nullptr;

    // Opening. Open fetches every row; on an error it returns false, LastError holds the engine's
    // message and the dataset stays closed.
    bool Open();
    void Close();
    bool Active() const { return state_ != dsInactive; }
    bool SetActive(bool value);
    TDataSetState State() const { return state_; }
    const QString& LastError() const { return lastError_; }
    QString DatabaseName() const { return databaseName_; }
    bool SetDatabaseName(const QString& alias);

    // Fields.
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const;
    TField* FindField(const QString& name) const; // case-insensitive; null if absent
    TField* FieldByName(const QString& name);     // as FindField, with "Field 'X' not found" in LastError
    QStringList FieldNames() const;
    void GetFieldNames(QStringList& list) const { list = FieldNames(); }

    // The cursor. Moving from an edited record posts it first (and stays if that fails).
    void First();
    void Next();
    void Prior();
    void Last();
    int MoveBy(int distance); // the distance actually moved
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    int RecNo() const { return Active() && cur_ >= 0 ? cur_ + 1 : 0; } // 1-based, 0 without a record
    bool SetRecNo(int recNo);
    int RecordCount() const { return static_cast<int>(Rows().size()); }
    bool IsEmpty() const { return Rows().empty(); }

    // Values of any record without moving the cursor (recNo 1-based), e.g. for grids.
    QVariant ValueAt(int recNo, int fieldIndex) const;
    QString DisplayTextAt(int recNo, int fieldIndex) const;

    // Filtering. A text that does not parse (or names no field) is refused: the function returns
    // false, LastError tells why, and the previous filter stays in force.
    QString Filter() const { return filter_; }
    bool SetFilter(const QString& text);
    bool Filtered() const { return filtered_; }
    bool SetFiltered(bool value);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    bool SetFilterOptions(TFilterOptions options);

    void DisableControls() { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Editing.
    virtual bool CanModify() const;
    bool Edit();
    bool Insert(); // a new record before the current one
    bool Append(); // a new record at the end
    bool Post();
    void Cancel();
    bool Delete();
    bool Modified() const { return modified_; }
    // Fetches the rows again and stays on the same record where it can.
    bool Refresh();

    // Memory held by the rows (store and row lists).
    std::size_t MemoryUsed() const;

protected:
    // The statement to run and how rows map back to a table.
    virtual bool PrepareCursor(QSqlDatabase& db, TCursorPlan& plan) = 0;
    bool Fail(const QString& message) const;
    void ClearError() const { lastError_.clear(); }
    QSqlDatabase Database(bool report = true) const;
    // Reopens with the same field objects, keeping the current record where possible.
    bool Reload();
    static QString QuoteName(const QString& name);
    static bool IsPostgres(const QSqlDatabase& db);
    // The columns of a table as the engine declares them; false (with the reason) if there is no such table.
    static bool ReadTableInfo(const QSqlDatabase& db, const QString& table, TTableInfo& info, QString& error);
    void SetModifiable(bool value) { modifiable_ = value; }

private:
    friend class TField;
    friend class TDataSource;

    enum class Event { ActiveChanged, DataSetChanged, Scrolled, RecordChanged, LayoutChanged, EditingChanged };

    const std::vector<int>& Rows() const { return filtered_ && filterActive_ ? view_ : all_; }
    std::vector<int>& MutableRows() { return filtered_ && filterActive_ ? view_ : all_; }
    int CurrentRow() const { return cur_ >= 0 && cur_ < RecordCount() ? Rows()[cur_] : -1; }
    bool LoadRows(QSqlDatabase& db, const TCursorPlan& plan, bool keepFields);
    bool FetchRows(class QSqlQuery& q, const TCursorPlan& plan, bool keepFields);
    bool PutValue(int col, int row, const QVariant& value);
    bool DemoteToText(int col);
    bool CompileFilter(const QString& text, TFilterOptions options, TFilterExpr& out, QString& error) const;
    void ApplyFilter();
    void MoveTo(int index, bool notify);
    bool CheckBrowseMode();
    bool CheckActive();
    QVariant ConvertForField(const TField& f, const QVariant& value, QString& error) const;
    QVariant BindValue(const TField& f, const QVariant& value, bool postgres) const;
    bool KeyWhere(int row, QString& where, std::vector<QVariant>& binds) const;
    bool ReadBack(QSqlDatabase& db, const QString& where, const std::vector<QVariant>& binds, int row);
    void Notify(Event e, int info = 0, TField* field = nullptr);
    void AddDataSource(TDataSource* s);
    void RemoveDataSource(TDataSource* s);
    void ClearRows();

    QString databaseName_;
    TDataSetState state_ = dsInactive;
    mutable QString lastError_;

    std::vector<std::unique_ptr<TField>> fields_;
    TRecordStore store_;
    std::vector<int> all_;  // every live row, in order
    std::vector<int> view_; // the rows that pass the filter
    int cur_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    TCursorPlan plan_;
    int rowidColumn_ = -1;
    bool modifiable_ = false;

    QString filter_;
    bool filtered_ = false;
    bool filterActive_ = false;
    TFilterOptions filterOptions_;
    TFilterExpr filterExpr_;

    int disableCount_ = 0;
    bool pendingActive_ = false;
    bool pendingChange_ = false;

    std::vector<QVariant> buffer_; // the edited or inserted record
    std::vector<bool> assigned_;
    bool modified_ = false;
    int insertAt_ = -1; // logical position of the record being inserted

    std::vector<TDataSource*> sources_;
};

// Links a dataset to data-aware controls and passes the dataset's events on to their data links.
class TDataSource {
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    QString Name;
    TComponent* Owner = nullptr;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool value) { autoEdit_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // The dataset's state, dsInactive without a dataset or while disabled.
    TDataSetState State() const;
    // Puts the dataset into edit state when AutoEdit allows it (as a control does on a keystroke).
    bool Edit();
    int LinkCount() const { return static_cast<int>(links_.size()); }

private:
    friend class TDataSet;
    friend class TDataLink;
    void Broadcast(int event, int info, TField* field, bool always = false);
    std::vector<TDataLink*> links_;
    TDataSet* dataSet_ = nullptr;
    bool autoEdit_ = true;
    bool enabled_ = true;
};

// The base of everything that follows a data source: override the events of interest.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    bool Active() const { return source_ && source_->State() != dsInactive; }
    bool Editing() const;

    virtual void ActiveChanged() {}
    virtual void DataSetChanged() {}
    virtual void DataSetScrolled(int distance) { (void)distance; }
    virtual void RecordChanged(TField* field) { (void)field; }
    virtual void LayoutChanged() {}
    virtual void EditingChanged() {}

private:
    TDataSource* source_ = nullptr;
};
