#include "platform/db/DataSet.h"
#include "platform/FormatSettings.h"
#include "platform/db/Session.h"
#include <QDateTime>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>

namespace {
QString EngineError(const QSqlQuery& q)
{
    const QSqlError e = q.lastError();
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    return text.isEmpty() ? QStringLiteral("The database reported an unknown error") : text;
}

TFieldType TypeFromResult(const QSqlField& f, bool postgres, int& size)
{
    if (postgres) {
        const QString name = PostgresTypeName(f.typeID());
        if (!name.isEmpty()) {
            TDeclaredType t = FieldTypeFromDeclared(name);
            if (IsTextType(t.DataType) && f.length() > 0)
                size = f.length();
            return t.DataType;
        }
    }
    switch (f.metaType().id()) {
    case QMetaType::Bool: return ftBoolean;
    case QMetaType::Short: case QMetaType::UShort: return ftSmallint;
    case QMetaType::Int: case QMetaType::UInt: return ftInteger;
    case QMetaType::LongLong: case QMetaType::ULongLong: return ftLargeint;
    case QMetaType::Double: case QMetaType::Float: return ftFloat;
    case QMetaType::QDate: return ftDate;
    case QMetaType::QTime: return ftTime;
    case QMetaType::QDateTime: return ftDateTime;
    case QMetaType::QByteArray: return ftBlob;
    default: return ftString;
    }
}

QString NumberText(double d)
{
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

bool TextToBool(const QString& text, bool& value)
{
    const QString t = text.trimmed();
    for (const char* yes : {"TRUE", "T", "YES", "Y", "1"})
        if (t.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0) {
            value = true;
            return true;
        }
    for (const char* no : {"FALSE", "F", "NO", "N", "0"})
        if (t.compare(QLatin1String(no), Qt::CaseInsensitive) == 0) {
            value = false;
            return true;
        }
    return false;
}

// A canonical date value (QDate, QTime, QDateTime) as TDateTime.
TDateTime VariantToDateTime(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QDate: return DateToDateTime(v.toDate());
    case QMetaType::QTime: return v.toTime().msecsSinceStartOfDay() / 86400000.0;
    case QMetaType::QDateTime: return QDateTimeToDateTime(v.toDateTime());
    default: return v.toDouble();
    }
}

QVariant DateTimeVariant(TDateTime d, TFieldType type)
{
    if (type == ftDate)
        return DateTimeToDate(d);
    if (type == ftTime)
        return DateTimeToQDateTime(d).time();
    return DateTimeToQDateTime(d);
}

QString BlobDisplay(TFieldType type, bool null)
{
    const QString name = FieldTypeName(type);
    return u'(' + (null ? name.toLower() : name.toUpper()) + u')';
}
} // namespace

// ---- TField --------------------------------------------------------------------------------------

QVariant TField::ValueAtRow(int row) const
{
    const TRecordStore& s = dataSet_->store_;
    const int col = index_;
    if (row < 0 || s.IsNull(col, row))
        return {};
    switch (s.Kind(col)) {
    case TValueKind::Integer:
        if (type_ == ftBoolean)
            return s.Int(col, row) != 0;
        return QVariant::fromValue<qlonglong>(s.Int(col, row));
    case TValueKind::Float:
        if (IsDateType(type_))
            return DateTimeVariant(s.Float(col, row), type_);
        return s.Float(col, row);
    case TValueKind::Text:
        return s.Text(col, row);
    case TValueKind::Blob: {
        const QByteArrayView b = s.Bytes(col, row);
        return QByteArray(b.data(), b.size());
    }
    }
    return {};
}

bool TField::IsNull() const
{
    const TDataSet* ds = dataSet_;
    if (ds->state_ == dsEdit || ds->state_ == dsInsert)
        return !ds->buffer_[index_].isValid();
    const int row = ds->CurrentRow();
    return row < 0 || ds->store_.IsNull(index_, row);
}

QVariant TField::Value() const
{
    const TDataSet* ds = dataSet_;
    if (ds->state_ == dsEdit || ds->state_ == dsInsert)
        return ds->buffer_[index_];
    return ValueAtRow(ds->CurrentRow());
}

QString TField::AsString() const
{
    const TDataSet* ds = dataSet_;
    if (ds->state_ == dsBrowse) {
        // Straight from the store: the common case of reports and grids.
        const int row = ds->CurrentRow();
        const TRecordStore& s = ds->store_;
        if (row < 0 || s.IsNull(index_, row))
            return {};
        switch (s.Kind(index_)) {
        case TValueKind::Integer:
            if (type_ == ftBoolean)
                return s.Int(index_, row) ? QStringLiteral("True") : QStringLiteral("False");
            return QString::number(s.Int(index_, row));
        case TValueKind::Float:
            return IsDateType(type_) ? FieldDateToStr(s.Float(index_, row), type_) : FloatToStr(s.Float(index_, row));
        default:
            return s.Text(index_, row);
        }
    }
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double: return FloatToStr(v.toDouble());
    case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
        return FieldDateToStr(VariantToDateTime(v), type_);
    case QMetaType::QByteArray: return QString::fromUtf8(v.toByteArray());
    default: return v.toString();
    }
}

QString TField::DisplayText() const
{
    if (IsBlob())
        return BlobDisplay(type_, IsNull());
    return AsString();
}

std::int64_t TField::AsLargeInt() const
{
    const QVariant v = Value();
    switch (v.typeId()) {
    case QMetaType::Double: return std::llround(v.toDouble());
    case QMetaType::QString: {
        double d = 0;
        return TryStrToNumber(v.toString(), d) ? std::llround(d) : 0;
    }
    case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
        return std::llround(VariantToDateTime(v));
    default: return v.toLongLong();
    }
}

int TField::AsInteger() const
{
    return static_cast<int>(AsLargeInt());
}

double TField::AsFloat() const
{
    const QVariant v = Value();
    switch (v.typeId()) {
    case QMetaType::QString: {
        double d = 0;
        return TryStrToNumber(v.toString(), d) ? d : 0;
    }
    case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
        return VariantToDateTime(v);
    default: return v.toDouble();
    }
}

TDateTime TField::AsDateTime() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString) {
        TDateTime d = 0;
        return TryStrToFieldDate(v.toString(), type_ == ftTime ? ftTime : ftDateTime, d) ? d : 0;
    }
    return VariantToDateTime(v);
}

bool TField::AsBoolean() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString) {
        bool b = false;
        return TextToBool(v.toString(), b) && b;
    }
    return v.toBool();
}

QByteArray TField::AsBytes() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return AsString().toUtf8();
}

bool TField::SetValue(const QVariant& value)
{
    TDataSet* ds = dataSet_;
    if (ds->state_ != dsEdit && ds->state_ != dsInsert)
        return ds->Fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (readOnly_)
        return ds->Fail(QStringLiteral("Field '%1' cannot be modified").arg(name_));
    QString error;
    const QVariant v = ds->ConvertForField(*this, value, error);
    if (!error.isEmpty())
        return ds->Fail(error);
    ds->buffer_[index_] = v;
    ds->assigned_[index_] = true;
    ds->modified_ = true;
    ds->Notify(TDataSet::Event::RecordChanged, 0, this);
    return true;
}

bool TField::SetAsString(const QString& text)
{
    return SetValue(text);
}

bool TField::SetAsDateTime(TDateTime value)
{
    if (IsDateType(type_))
        return SetValue(DateTimeVariant(value, type_));
    return SetValue(value);
}

// ---- TDataSet: opening and loading ---------------------------------------------------------------

QStringList TTableInfo::KeyColumns() const
{
    std::vector<const TColumnInfo*> keys;
    for (const TColumnInfo& c : Columns)
        if (c.PrimaryKey > 0)
            keys.push_back(&c);
    std::sort(keys.begin(), keys.end(), [](auto a, auto b) { return a->PrimaryKey < b->PrimaryKey; });
    QStringList names;
    for (const TColumnInfo* c : keys)
        names << c->Name;
    return names;
}

TDataSet::TDataSet(TComponent* owner) : Owner(owner) {}

TDataSet::~TDataSet()
{
    if (Active()) {
        state_ = dsInactive;
        Notify(Event::ActiveChanged);
    }
    const std::vector<TDataSource*> sources = sources_;
    for (TDataSource* s : sources)
        s->SetDataSet(nullptr);
}

bool TDataSet::Fail(const QString& message) const
{
    lastError_ = message;
    return false;
}

QSqlDatabase TDataSet::Database(bool report) const
{
    if (databaseName_.trimmed().isEmpty()) {
        if (report)
            Fail(QStringLiteral("No database (alias) is set"));
        return {};
    }
    QSqlDatabase db = Session().Database(databaseName_);
    if (!db.isOpen() && report)
        Fail(Session().LastError());
    return db;
}

bool TDataSet::SetDatabaseName(const QString& alias)
{
    if (alias == databaseName_)
        return true;
    if (Active())
        return Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    databaseName_ = alias;
    return true;
}

QString TDataSet::QuoteName(const QString& name)
{
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

bool TDataSet::IsPostgres(const QSqlDatabase& db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

bool TDataSet::ReadTableInfo(const QSqlDatabase& db, const QString& table, TTableInfo& info, QString& error)
{
    info = TTableInfo();
    if (table.trimmed().isEmpty()) {
        error = QStringLiteral("No table name is set");
        return false;
    }
    if (IsPostgres(db)) {
        const QSqlRecord rec = db.record(table);
        if (rec.isEmpty()) {
            error = QStringLiteral("Table '%1' does not exist").arg(table);
            return false;
        }
        const QSqlIndex pk = db.primaryIndex(table);
        for (int i = 0; i < rec.count(); ++i) {
            const QSqlField f = rec.field(i);
            TColumnInfo c;
            c.Name = f.name();
            c.DeclaredType = PostgresTypeName(f.typeID());
            c.Type = FieldTypeFromDeclared(c.DeclaredType);
            if (IsTextType(c.Type.DataType) && f.length() > 0)
                c.Type.Size = f.length();
            if (f.defaultValue().toString().startsWith(QLatin1String("nextval(")))
                c.Type.DataType = c.Type.DataType == ftLargeint ? ftLargeint : ftAutoInc;
            const int k = pk.indexOf(f.name());
            c.PrimaryKey = k >= 0 ? k + 1 : 0;
            info.Columns.push_back(c);
        }
        return true;
    }

    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT type, sql FROM sqlite_master WHERE name = ? COLLATE NOCASE AND type IN ('table', 'view')"));
    q.addBindValue(table);
    if (!q.exec()) {
        error = EngineError(q);
        return false;
    }
    if (!q.next()) {
        error = QStringLiteral("Table '%1' does not exist").arg(table);
        return false;
    }
    info.IsView = q.value(0).toString() == QLatin1String("view");
    const QString sql = q.value(1).toString().simplified().toUpper();
    info.HasRowid = !info.IsView && !sql.endsWith(QLatin1String("WITHOUT ROWID"));
    q.finish();

    q.prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
    q.addBindValue(table);
    if (!q.exec()) {
        error = EngineError(q);
        return false;
    }
    int keyCount = 0;
    while (q.next()) {
        TColumnInfo c;
        c.Name = q.value(0).toString();
        c.DeclaredType = q.value(1).toString();
        c.PrimaryKey = q.value(2).toInt();
        keyCount += c.PrimaryKey > 0;
        info.Columns.push_back(c);
    }
    for (TColumnInfo& c : info.Columns) {
        c.RowidAlias = info.HasRowid && keyCount == 1 && c.PrimaryKey == 1 &&
                       c.DeclaredType.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        c.Type = FieldTypeFromDeclared(c.DeclaredType, c.RowidAlias);
    }
    if (info.Columns.empty()) {
        error = QStringLiteral("Table '%1' has no columns").arg(table);
        return false;
    }
    return true;
}

bool TDataSet::Open()
{
    if (Active())
        return true;
    ClearError();
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    TCursorPlan plan;
    if (!PrepareCursor(db, plan))
        return false;
    if (!LoadRows(db, plan, false)) {
        ClearRows();
        fields_.clear();
        return false;
    }
    plan_ = plan;
    modifiable_ = !plan_.UpdateTable.isEmpty() && (plan_.HiddenRowid || !plan_.KeyColumns.isEmpty());
    for (auto& f : fields_)
        f->readOnly_ = !modifiable_ || (!plan_.ColumnOfField.isEmpty() && !plan_.ColumnOfField.contains(f->name_.toUpper()));
    filterActive_ = false;
    if (filtered_ && !filter_.trimmed().isEmpty()) {
        QString error;
        if (!CompileFilter(filter_, filterOptions_, filterExpr_, error)) {
            ClearRows();
            fields_.clear();
            return Fail(error);
        }
        filterActive_ = true;
        view_.clear();
        for (int row : all_)
            if (filterExpr_.Matches(store_, row))
                view_.push_back(row);
    }
    state_ = dsBrowse;
    cur_ = IsEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = IsEmpty();
    Notify(Event::ActiveChanged);
    return true;
}

bool TDataSet::SetActive(bool value)
{
    if (value)
        return Open();
    Close();
    return true;
}

void TDataSet::ClearRows()
{
    store_.Clear();
    std::vector<int>().swap(all_);
    std::vector<int>().swap(view_);
    cur_ = -1;
    bof_ = eof_ = true;
    rowidColumn_ = -1;
}

void TDataSet::Close()
{
    if (!Active())
        return;
    buffer_.clear();
    assigned_.clear();
    modified_ = false;
    state_ = dsInactive;
    ClearRows();
    fields_.clear();
    plan_ = TCursorPlan();
    modifiable_ = false;
    filterActive_ = false;
    Notify(Event::ActiveChanged);
}

bool TDataSet::LoadRows(QSqlDatabase& db, const TCursorPlan& plan, bool keepFields)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool ok = false;
    if (plan.Params.empty()) {
        ok = q.exec(plan.Sql);
    } else {
        ok = q.prepare(plan.Sql);
        for (const auto& [name, value] : plan.Params)
            q.bindValue(u':' + name, value);
        ok = ok && q.exec();
    }
    if (!ok)
        return Fail(EngineError(q));
    if (!q.isSelect())
        return Fail(QStringLiteral("The statement returns no rows"));
    return FetchRows(q, plan, keepFields);
}

bool TDataSet::FetchRows(QSqlQuery& q, const TCursorPlan& plan, bool keepFields)
{
    const QSqlRecord rec = q.record();
    const bool postgres = q.driver() && q.driver()->dbmsType() == QSqlDriver::PostgreSQL;
    const int columns = rec.count();
    const int fieldCount = plan.HiddenRowid ? columns - 1 : columns;
    if (fieldCount <= 0)
        return Fail(QStringLiteral("The statement returns no columns"));

    // Types: declared where the plan knows the column, else from what the engine reports.
    struct Def {
        QString name_;
        TFieldType type_ = ftUnknown;
        int size_ = 0;
    };
    std::vector<Def> defs(static_cast<std::size_t>(fieldCount));
    for (int i = 0; i < fieldCount; ++i) {
        Def& d = defs[i];
        d.name_ = rec.fieldName(i);
        const auto it = plan.Declared.constFind(d.name_.toUpper());
        if (it != plan.Declared.constEnd() && it->DataType != ftUnknown) {
            d.type_ = it->DataType;
            d.size_ = it->Size;
        } else {
            d.type_ = TypeFromResult(rec.field(i), postgres, d.size_);
        }
    }
    bool sameLayout = keepFields && static_cast<int>(fields_.size()) == fieldCount;
    for (int i = 0; sameLayout && i < fieldCount; ++i)
        sameLayout = fields_[i]->name_ == defs[i].name_;
    if (!sameLayout) {
        fields_.clear();
        for (int i = 0; i < fieldCount; ++i) {
            auto f = std::unique_ptr<TField>(new TField());
            f->dataSet_ = this;
            f->index_ = i;
            fields_.push_back(std::move(f));
        }
    }
    for (int i = 0; i < fieldCount; ++i) {
        fields_[i]->name_ = defs[i].name_;
        fields_[i]->type_ = defs[i].type_;
        fields_[i]->size_ = defs[i].size_;
    }

    store_.Clear();
    for (int i = 0; i < fieldCount; ++i)
        store_.AddColumn(ValueKindOf(fields_[i]->type_));
    rowidColumn_ = plan.HiddenRowid ? store_.AddColumn(TValueKind::Integer) : -1;

    // The common cases inline; anything else (and every change of a column's type) through PutValue.
    struct ColumnPlan {
        TValueKind Kind;
        TFieldType Type;
        bool Date;
    };
    std::vector<ColumnPlan> plans(static_cast<std::size_t>(columns));
    auto replan = [&](int c) {
        const TFieldType type = c < fieldCount ? fields_[c]->type_ : ftLargeint;
        plans[c] = {store_.Kind(c), type, IsDateType(type)};
    };
    for (int c = 0; c < columns; ++c)
        replan(c);
    while (q.next()) {
        for (int c = 0; c < columns; ++c) {
            const QVariant v = q.value(c);
            if (v.isNull()) {
                store_.AppendNull(c);
                continue;
            }
            const ColumnPlan& p = plans[c];
            const int tid = v.typeId();
            if (p.Kind == TValueKind::Integer && tid == QMetaType::LongLong) {
                store_.AppendInt(c, *static_cast<const qlonglong*>(v.constData()));
                continue;
            }
            if (p.Kind == TValueKind::Float) {
                if (!p.Date && tid == QMetaType::Double) {
                    store_.AppendFloat(c, *static_cast<const double*>(v.constData()));
                    continue;
                }
                TDateTime d = 0;
                if (p.Date && tid == QMetaType::QString &&
                    ParseIsoDateTime(*static_cast<const QString*>(v.constData()), p.Type, d)) {
                    store_.AppendFloat(c, d);
                    continue;
                }
            }
            if (p.Kind == TValueKind::Text && tid == QMetaType::QString) {
                if (!store_.AppendText(c, *static_cast<const QString*>(v.constData())))
                    return Fail(QStringLiteral("The result is too large to be held in memory"));
                continue;
            }
            if (!PutValue(c, -1, v))
                return false;
            replan(c);
        }
        store_.EndRow();
    }
    if (q.lastError().isValid())
        return Fail(EngineError(q));
    store_.Squeeze();
    all_.resize(static_cast<std::size_t>(store_.RowCount()));
    for (int i = 0; i < store_.RowCount(); ++i)
        all_[i] = i;
    all_.shrink_to_fit();
    view_.clear();
    if (!sameLayout && keepFields)
        Notify(Event::LayoutChanged);
    return true;
}

// Puts one value the engine returned into the store, appending when row < 0. Values that do not
// fit the column's type change the column: integers become doubles, anything else becomes text.
bool TDataSet::PutValue(int col, int row, const QVariant& v)
{
    const bool append = row < 0;
    if (v.isNull()) {
        append ? store_.AppendNull(col) : store_.SetNull(col, row);
        return true;
    }
    const TFieldType type = col < FieldCount() ? fields_[col]->type_ : ftLargeint;
    const int tid = v.typeId();
    auto putInt = [&](std::int64_t i) {
        append ? store_.AppendInt(col, i) : store_.SetInt(col, row, i);
        return true;
    };
    auto putFloat = [&](double d) {
        append ? store_.AppendFloat(col, d) : store_.SetFloat(col, row, d);
        return true;
    };
    auto putNull = [&]() {
        append ? store_.AppendNull(col) : store_.SetNull(col, row);
        return true;
    };
    auto tooLarge = [&]() { return Fail(QStringLiteral("The result is too large to be held in memory")); };
    auto demote = [&]() { return DemoteToText(col) ? PutValue(col, row, v) : false; };

    switch (store_.Kind(col)) {
    case TValueKind::Integer:
        switch (tid) {
        case QMetaType::LongLong: case QMetaType::Int: case QMetaType::UInt: case QMetaType::ULongLong:
        case QMetaType::Bool: case QMetaType::Short: case QMetaType::UShort:
            return putInt(v.toLongLong());
        case QMetaType::Double: case QMetaType::Float: {
            const double d = v.toDouble();
            if (d == std::trunc(d) && std::fabs(d) < 9.0e18)
                return putInt(static_cast<std::int64_t>(d));
            if (type == ftBoolean)
                return demote();
            store_.ConvertToFloat(col);
            if (col < FieldCount())
                fields_[col]->type_ = ftFloat;
            return putFloat(d);
        }
        case QMetaType::QString: {
            const QString& s = *static_cast<const QString*>(v.constData());
            if (s.isEmpty())
                return putNull();
            bool ok = false;
            if (type == ftBoolean) {
                bool b = false;
                if (TextToBool(s, b))
                    return putInt(b ? 1 : 0);
                return demote();
            }
            const qlonglong i = s.toLongLong(&ok);
            if (ok)
                return putInt(i);
            const double d = s.toDouble(&ok);
            if (ok && col < FieldCount()) {
                store_.ConvertToFloat(col);
                fields_[col]->type_ = ftFloat;
                return putFloat(d);
            }
            return demote();
        }
        default:
            return demote();
        }
    case TValueKind::Float:
        if (IsDateType(type)) {
            switch (tid) {
            case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
                return putFloat(VariantToDateTime(v));
            case QMetaType::QString: {
                const QString& s = *static_cast<const QString*>(v.constData());
                TDateTime d = 0;
                if (ParseIsoDateTime(s, type, d))
                    return putFloat(d);
                if (s.trimmed().isEmpty())
                    return putNull();
                const QDateTime dt = QDateTime::fromString(s.trimmed(), Qt::ISODateWithMs);
                if (dt.isValid())
                    return putFloat(QDateTimeToDateTime(dt));
                return demote();
            }
            default:
                return demote();
            }
        }
        switch (tid) {
        case QMetaType::Double: case QMetaType::Float: case QMetaType::LongLong: case QMetaType::Int:
        case QMetaType::UInt: case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
        case QMetaType::Bool:
            return putFloat(v.toDouble());
        case QMetaType::QString: {
            const QString& s = *static_cast<const QString*>(v.constData());
            if (s.isEmpty())
                return putNull();
            bool ok = false;
            const double d = s.toDouble(&ok);
            return ok ? putFloat(d) : demote();
        }
        default:
            return demote();
        }
    case TValueKind::Text: {
        bool ok = false;
        if (tid == QMetaType::QString) {
            const QString& s = *static_cast<const QString*>(v.constData());
            ok = append ? store_.AppendText(col, s) : store_.SetText(col, row, s);
        } else if (tid == QMetaType::QByteArray) {
            const QString s = QString::fromUtf8(v.toByteArray());
            ok = append ? store_.AppendText(col, s) : store_.SetText(col, row, s);
        } else if (tid == QMetaType::Double) {
            const QString s = NumberText(v.toDouble());
            ok = append ? store_.AppendText(col, s) : store_.SetText(col, row, s);
        } else {
            const QString s = v.toString();
            ok = append ? store_.AppendText(col, s) : store_.SetText(col, row, s);
        }
        return ok || tooLarge();
    }
    case TValueKind::Blob: {
        const QByteArray b = tid == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
        const bool ok = append ? store_.AppendBytes(col, b) : store_.SetBytes(col, row, b);
        return ok || tooLarge();
    }
    }
    return false;
}

bool TDataSet::DemoteToText(int col)
{
    const TValueKind kind = store_.Kind(col);
    const TFieldType type = col < FieldCount() ? fields_[col]->type_ : ftLargeint;
    const bool ok = store_.ConvertToBytes(col, TValueKind::Text, [&](int row) -> QByteArray {
        if (kind == TValueKind::Integer)
            return type == ftBoolean ? QByteArray(store_.Int(col, row) ? "1" : "0")
                                     : QByteArray::number(static_cast<qlonglong>(store_.Int(col, row)));
        if (IsDateType(type))
            return IsoDateTimeText(store_.Float(col, row), type).toUtf8();
        return NumberText(store_.Float(col, row)).toUtf8();
    });
    if (!ok)
        return Fail(QStringLiteral("The result is too large to be held in memory"));
    if (col < FieldCount()) {
        fields_[col]->type_ = ftString;
        fields_[col]->size_ = 0;
    }
    return true;
}

bool TDataSet::Reload()
{
    if (!Active())
        return Fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    // Remember the current record by its key (or its number).
    std::vector<QVariant> key;
    const int oldRow = CurrentRow();
    std::vector<int> keyCols;
    if (oldRow >= 0) {
        if (rowidColumn_ >= 0)
            keyCols.push_back(rowidColumn_);
        for (const QString& k : plan_.KeyColumns)
            for (const auto& f : fields_)
                if (plan_.ColumnOfField.value(f->name_.toUpper(), f->name_).compare(k, Qt::CaseInsensitive) == 0)
                    keyCols.push_back(f->index_);
        for (int c : keyCols)
            key.push_back(c < FieldCount() ? fields_[c]->ValueAtRow(oldRow)
                                           : QVariant::fromValue<qlonglong>(store_.Int(c, oldRow)));
    }
    const int oldIndex = cur_;

    TCursorPlan plan;
    if (!PrepareCursor(db, plan))
        return false;
    // Load beside the current rows so that a failure leaves everything as it was.
    TRecordStore oldStore = std::move(store_);
    std::vector<int> oldAll = std::move(all_);
    std::vector<int> oldView = std::move(view_);
    std::vector<TFieldType> oldTypes;
    for (const auto& f : fields_)
        oldTypes.push_back(f->type_);
    const int oldRowid = rowidColumn_;
    store_ = TRecordStore();
    if (!LoadRows(db, plan, true)) {
        const QString error = lastError_;
        store_ = std::move(oldStore);
        all_ = std::move(oldAll);
        view_ = std::move(oldView);
        rowidColumn_ = oldRowid;
        if (fields_.size() == oldTypes.size())
            for (std::size_t i = 0; i < oldTypes.size(); ++i)
                fields_[i]->type_ = oldTypes[i];
        return Fail(error);
    }
    plan_ = plan;
    filterActive_ = false;
    if (filtered_ && !filter_.trimmed().isEmpty()) {
        QString error;
        if (CompileFilter(filter_, filterOptions_, filterExpr_, error)) {
            filterActive_ = true;
            for (int row : all_)
                if (filterExpr_.Matches(store_, row))
                    view_.push_back(row);
        } else {
            filtered_ = false;
            lastError_ = error;
        }
    }
    int index = -1;
    if (!key.empty() && static_cast<int>(key.size()) == static_cast<int>(keyCols.size())) {
        const std::vector<int>& rows = Rows();
        for (int i = 0; i < static_cast<int>(rows.size()) && index < 0; ++i) {
            bool same = true;
            for (std::size_t k = 0; same && k < keyCols.size(); ++k) {
                const int c = keyCols[k];
                const QVariant v = c < FieldCount() ? fields_[c]->ValueAtRow(rows[i])
                                                    : QVariant::fromValue<qlonglong>(store_.Int(c, rows[i]));
                same = v == key[k];
            }
            if (same)
                index = i;
        }
    }
    if (index < 0)
        index = std::min(oldIndex, RecordCount() - 1);
    cur_ = IsEmpty() ? -1 : std::max(index, 0);
    bof_ = cur_ <= 0;
    eof_ = IsEmpty();
    Notify(Event::DataSetChanged);
    return true;
}

bool TDataSet::Refresh()
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    return Reload();
}

std::size_t TDataSet::MemoryUsed() const
{
    return store_.MemoryUsed() + all_.capacity() * sizeof(int) + view_.capacity() * sizeof(int);
}

// ---- fields and records --------------------------------------------------------------------------

TField* TDataSet::Fields(int index) const
{
    return index >= 0 && index < FieldCount() ? fields_[index].get() : nullptr;
}

TField* TDataSet::FindField(const QString& name) const
{
    for (const auto& f : fields_)
        if (f->name_.compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& name)
{
    TField* f = FindField(name);
    if (!f)
        Fail(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

QStringList TDataSet::FieldNames() const
{
    QStringList names;
    for (const auto& f : fields_)
        names << f->name_;
    return names;
}

QVariant TDataSet::ValueAt(int recNo, int fieldIndex) const
{
    if (recNo < 1 || recNo > RecordCount() || fieldIndex < 0 || fieldIndex >= FieldCount())
        return {};
    if ((state_ == dsEdit) && recNo - 1 == cur_)
        return buffer_[fieldIndex];
    return fields_[fieldIndex]->ValueAtRow(Rows()[recNo - 1]);
}

QString TDataSet::DisplayTextAt(int recNo, int fieldIndex) const
{
    if (recNo < 1 || recNo > RecordCount() || fieldIndex < 0 || fieldIndex >= FieldCount())
        return {};
    const TField& f = *fields_[fieldIndex];
    const QVariant v = ValueAt(recNo, fieldIndex);
    if (f.IsBlob())
        return BlobDisplay(f.type_, !v.isValid());
    if (!v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double: return FloatToStr(v.toDouble());
    case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
        return FieldDateToStr(VariantToDateTime(v), f.type_);
    default: return v.toString();
    }
}

// ---- the cursor ----------------------------------------------------------------------------------

bool TDataSet::CheckActive()
{
    if (!Active())
        return Fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    return true;
}

bool TDataSet::CheckBrowseMode()
{
    if (state_ == dsEdit || state_ == dsInsert)
        return Post();
    return Active();
}

void TDataSet::MoveTo(int index, bool notify)
{
    const int old = cur_;
    cur_ = index;
    if (notify && cur_ != old)
        Notify(Event::Scrolled, cur_ - old);
}

void TDataSet::First()
{
    if (!CheckBrowseMode())
        return;
    bof_ = true;
    eof_ = IsEmpty();
    MoveTo(IsEmpty() ? -1 : 0, true);
}

void TDataSet::Last()
{
    if (!CheckBrowseMode())
        return;
    eof_ = true;
    bof_ = IsEmpty();
    MoveTo(RecordCount() - 1, true);
}

void TDataSet::Next()
{
    MoveBy(1);
}

void TDataSet::Prior()
{
    MoveBy(-1);
}

int TDataSet::MoveBy(int distance)
{
    if (!CheckBrowseMode())
        return 0;
    if (IsEmpty()) {
        bof_ = eof_ = true;
        return 0;
    }
    const long long target = std::clamp<long long>(static_cast<long long>(cur_) + distance, 0, RecordCount() - 1);
    const int moved = static_cast<int>(target - cur_);
    bof_ = distance < 0 && moved > distance;
    eof_ = distance > 0 && moved < distance;
    MoveTo(static_cast<int>(target), true);
    return moved;
}

bool TDataSet::SetRecNo(int recNo)
{
    if (!CheckBrowseMode())
        return false;
    if (recNo < 1 || recNo > RecordCount())
        return Fail(QStringLiteral("Record %1 does not exist").arg(recNo));
    bof_ = eof_ = false;
    MoveTo(recNo - 1, true);
    return true;
}

// ---- filtering -----------------------------------------------------------------------------------

bool TDataSet::CompileFilter(const QString& text, TFilterOptions options, TFilterExpr& out, QString& error) const
{
    std::vector<TFilterField> fields;
    for (const auto& f : fields_)
        fields.push_back({f->name_, f->type_, f->index_});
    return out.Compile(text, fields, store_, options, &error);
}

void TDataSet::ApplyFilter()
{
    view_.clear();
    filterActive_ = filtered_ && !filterExpr_.IsEmpty();
    if (filterActive_)
        for (int row : all_)
            if (filterExpr_.Matches(store_, row))
                view_.push_back(row);
    bof_ = true;
    eof_ = IsEmpty();
    cur_ = IsEmpty() ? -1 : 0;
    Notify(Event::DataSetChanged);
}

bool TDataSet::SetFilter(const QString& text)
{
    if (text == filter_)
        return true;
    QString error;
    if (!Active()) {
        if (!TFilterExpr::CheckSyntax(text, &error))
            return Fail(error);
        filter_ = text;
        return true;
    }
    if (!CheckBrowseMode())
        return false;
    TFilterExpr expr;
    if (!CompileFilter(text, filterOptions_, expr, error))
        return Fail(error);
    filter_ = text;
    if (filtered_) {
        filterExpr_ = std::move(expr);
        ApplyFilter();
    }
    return true;
}

bool TDataSet::SetFiltered(bool value)
{
    if (value == filtered_)
        return true;
    if (!Active()) {
        filtered_ = value;
        return true;
    }
    if (!CheckBrowseMode())
        return false;
    if (value) {
        TFilterExpr expr;
        QString error;
        if (!CompileFilter(filter_, filterOptions_, expr, error))
            return Fail(error);
        filterExpr_ = std::move(expr);
    }
    filtered_ = value;
    ApplyFilter();
    return true;
}

bool TDataSet::SetFilterOptions(TFilterOptions options)
{
    if (options == filterOptions_)
        return true;
    if (Active() && filtered_) {
        if (!CheckBrowseMode())
            return false;
        TFilterExpr expr;
        QString error;
        if (!CompileFilter(filter_, options, expr, error))
            return Fail(error);
        filterOptions_ = options;
        filterExpr_ = std::move(expr);
        ApplyFilter();
        return true;
    }
    filterOptions_ = options;
    return true;
}

// ---- notifications -------------------------------------------------------------------------------

void TDataSet::Notify(Event e, int info, TField* field)
{
    if (disableCount_ > 0) {
        if (e == Event::ActiveChanged)
            pendingActive_ = true;
        else
            pendingChange_ = true;
        return;
    }
    const std::vector<TDataSource*> sources = sources_;
    for (TDataSource* s : sources)
        if (std::find(sources_.begin(), sources_.end(), s) != sources_.end())
            s->Broadcast(static_cast<int>(e), info, field);
}

void TDataSet::EnableControls()
{
    if (disableCount_ == 0 || --disableCount_ > 0)
        return;
    const bool activeChanged = pendingActive_;
    pendingActive_ = pendingChange_ = false;
    if (activeChanged)
        Notify(Event::ActiveChanged);
    else if (Active())
        Notify(Event::DataSetChanged);
}

void TDataSet::AddDataSource(TDataSource* s)
{
    if (std::find(sources_.begin(), sources_.end(), s) == sources_.end())
        sources_.push_back(s);
}

void TDataSet::RemoveDataSource(TDataSource* s)
{
    sources_.erase(std::remove(sources_.begin(), sources_.end(), s), sources_.end());
}

// ---- editing -------------------------------------------------------------------------------------

bool TDataSet::CanModify() const
{
    return Active() && modifiable_;
}

QVariant TDataSet::ConvertForField(const TField& f, const QVariant& value, QString& error) const
{
    if (!value.isValid() || value.isNull())
        return {};
    const int tid = value.typeId();
    const bool isText = tid == QMetaType::QString;
    const QString text = isText ? value.toString() : QString();
    if (isText && text.isEmpty() && !IsTextType(f.type_))
        return {};
    switch (ValueKindOf(f.type_)) {
    case TValueKind::Integer: {
        if (f.type_ == ftBoolean) {
            bool b = false;
            if (isText) {
                if (TextToBool(text, b))
                    return b;
                error = QStringLiteral("'%1' is not a valid Boolean value for field '%2'").arg(text, f.name_);
                return {};
            }
            return value.toBool();
        }
        double d = 0;
        if (isText) {
            if (!TryStrToNumber(text, d)) {
                error = QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, f.name_);
                return {};
            }
        } else if (tid == QMetaType::Double || tid == QMetaType::Float) {
            d = value.toDouble();
        } else {
            bool ok = false;
            const qlonglong i = value.toLongLong(&ok);
            if (ok)
                return QVariant::fromValue<qlonglong>(i);
            error = QStringLiteral("The value is not valid for field '%1'").arg(f.name_);
            return {};
        }
        if (d != std::trunc(d) || std::fabs(d) >= 9.0e18) {
            error = QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(FloatToStr(d), f.name_);
            return {};
        }
        return QVariant::fromValue<qlonglong>(static_cast<qlonglong>(d));
    }
    case TValueKind::Float: {
        if (IsDateType(f.type_)) {
            TDateTime d = 0;
            switch (tid) {
            case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
                d = VariantToDateTime(value);
                break;
            case QMetaType::QString:
                if (!TryStrToFieldDate(text, f.type_, d)) {
                    error = QStringLiteral("'%1' is not a valid date for field '%2'").arg(text, f.name_);
                    return {};
                }
                break;
            default: {
                bool ok = false;
                d = value.toDouble(&ok);
                if (!ok) {
                    error = QStringLiteral("The value is not a valid date for field '%1'").arg(f.name_);
                    return {};
                }
            }
            }
            return DateTimeVariant(d, f.type_);
        }
        double d = 0;
        if (isText) {
            if (!TryStrToNumber(text, d)) {
                error = QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, f.name_);
                return {};
            }
            return d;
        }
        bool ok = false;
        d = value.toDouble(&ok);
        if (!ok) {
            error = QStringLiteral("The value is not valid for field '%1'").arg(f.name_);
            return {};
        }
        return d;
    }
    case TValueKind::Text:
        if (tid == QMetaType::QByteArray)
            return QString::fromUtf8(value.toByteArray());
        if (tid == QMetaType::Double)
            return NumberText(value.toDouble());
        return value.toString();
    case TValueKind::Blob:
        if (tid == QMetaType::QByteArray)
            return value.toByteArray();
        return value.toString().toUtf8();
    }
    return {};
}

QVariant TDataSet::BindValue(const TField& f, const QVariant& value, bool postgres) const
{
    if (!value.isValid())
        return QVariant(QMetaType(f.type_ == ftBoolean && postgres ? QMetaType::Bool : QMetaType::QString));
    if (postgres)
        return value;
    switch (value.typeId()) {
    case QMetaType::Bool: return QVariant::fromValue<qlonglong>(value.toBool() ? 1 : 0);
    case QMetaType::QDate: case QMetaType::QTime: case QMetaType::QDateTime:
        return IsoDateTimeText(VariantToDateTime(value), f.type_);
    default: return value;
    }
}

bool TDataSet::KeyWhere(int row, QString& where, std::vector<QVariant>& binds) const
{
    const bool postgres = IsPostgres(Database(false));
    QStringList parts;
    if (rowidColumn_ >= 0) {
        parts << QStringLiteral("_rowid_ = ?");
        binds.push_back(QVariant::fromValue<qlonglong>(store_.Int(rowidColumn_, row)));
    } else {
        for (const QString& k : plan_.KeyColumns) {
            const TField* key = nullptr;
            for (const auto& f : fields_)
                if (plan_.ColumnOfField.value(f->name_.toUpper(), f->name_).compare(k, Qt::CaseInsensitive) == 0)
                    key = f.get();
            if (!key)
                return Fail(QStringLiteral("The key field '%1' is not in the dataset").arg(k));
            const QVariant v = key->ValueAtRow(row);
            if (!v.isValid())
                return Fail(QStringLiteral("The record has no value in its key field '%1'").arg(k));
            parts << QuoteName(k) + QStringLiteral(" = ?");
            binds.push_back(BindValue(*key, v, postgres));
        }
    }
    if (parts.isEmpty())
        return Fail(QStringLiteral("Cannot modify a read-only dataset"));
    where = parts.join(QStringLiteral(" AND "));
    return true;
}

// Reads one row of the table again into the store (defaults, triggers and the engine's own
// conversions included). False when the row cannot be found.
bool TDataSet::ReadBack(QSqlDatabase& db, const QString& where, const std::vector<QVariant>& binds, int row)
{
    QStringList cols;
    for (const auto& f : fields_) {
        const QString c = plan_.ColumnOfField.value(f->name_.toUpper());
        if (c.isEmpty() && !plan_.ColumnOfField.isEmpty())
            return false;
        cols << QuoteName(c.isEmpty() ? f->name_ : c);
    }
    if (rowidColumn_ >= 0)
        cols << QStringLiteral("_rowid_");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(cols.join(u','), QuoteName(plan_.UpdateTable), where));
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec() || !q.next())
        return false;
    for (int c = 0; c < store_.ColumnCount(); ++c)
        if (!PutValue(c, row, q.value(c)))
            return false;
    return true;
}

bool TDataSet::Edit()
{
    if (!CheckActive())
        return false;
    if (state_ == dsEdit || state_ == dsInsert)
        return true;
    if (!CanModify())
        return Fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (IsEmpty())
        return Insert();
    const int row = CurrentRow();
    buffer_.assign(fields_.size(), QVariant());
    for (const auto& f : fields_)
        buffer_[f->index_] = f->ValueAtRow(row);
    assigned_.assign(fields_.size(), false);
    modified_ = false;
    state_ = dsEdit;
    Notify(Event::EditingChanged);
    return true;
}

bool TDataSet::Insert()
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    if (!CanModify())
        return Fail(QStringLiteral("Cannot modify a read-only dataset"));
    insertAt_ = std::max(cur_, 0);
    buffer_.assign(fields_.size(), QVariant());
    assigned_.assign(fields_.size(), false);
    modified_ = false;
    state_ = dsInsert;
    Notify(Event::EditingChanged);
    Notify(Event::DataSetChanged);
    return true;
}

bool TDataSet::Append()
{
    if (!Insert())
        return false;
    insertAt_ = RecordCount();
    return true;
}

void TDataSet::Cancel()
{
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    const bool inserting = state_ == dsInsert;
    buffer_.clear();
    assigned_.clear();
    modified_ = false;
    state_ = dsBrowse;
    Notify(Event::EditingChanged);
    if (inserting)
        Notify(Event::DataSetChanged);
    else
        Notify(Event::RecordChanged);
}

bool TDataSet::Post()
{
    if (!CheckActive())
        return false;
    if (state_ != dsEdit && state_ != dsInsert)
        return true;
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    const bool postgres = IsPostgres(db);
    auto columnOf = [&](const TField& f) {
        const QString c = plan_.ColumnOfField.value(f.name_.toUpper());
        return c.isEmpty() ? f.name_ : c;
    };
    QStringList cols;
    std::vector<QVariant> values;
    for (const auto& f : fields_)
        if (assigned_[f->index_]) {
            cols << QuoteName(columnOf(*f));
            values.push_back(BindValue(*f, buffer_[f->index_], postgres));
        }

    if (state_ == dsEdit) {
        const int row = CurrentRow();
        if (!cols.isEmpty()) {
            QString where;
            std::vector<QVariant> keyBinds;
            if (!KeyWhere(row, where, keyBinds))
                return false;
            QSqlQuery q(db);
            QStringList sets;
            for (const QString& c : cols)
                sets << c + QStringLiteral(" = ?");
            q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                          .arg(QuoteName(plan_.UpdateTable), sets.join(QStringLiteral(", ")), where));
            for (const QVariant& v : values)
                q.addBindValue(v);
            for (const QVariant& v : keyBinds)
                q.addBindValue(v);
            if (!q.exec())
                return Fail(EngineError(q));
            if (q.numRowsAffected() == 0)
                return Fail(QStringLiteral("The record was not found; another user may have changed or deleted it"));
            q.finish();
            // The key may itself have changed: find the row by its new key values.
            for (const auto& f : fields_)
                if (assigned_[f->index_] && !PutValue(f->index_, row, BindValue(*f, buffer_[f->index_], postgres)))
                    return false;
            QString newWhere;
            std::vector<QVariant> newBinds;
            if (KeyWhere(row, newWhere, newBinds))
                ReadBack(db, newWhere, newBinds, row);
        }
    } else {
        QSqlQuery q(db);
        QString sql = cols.isEmpty()
                          ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QuoteName(plan_.UpdateTable))
                          : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(QuoteName(plan_.UpdateTable), cols.join(u','),
                                     QStringList(cols.size(), QStringLiteral("?")).join(u','));
        QStringList quotedKeys;
        for (const QString& k : plan_.KeyColumns)
            quotedKeys << QuoteName(k);
        if (postgres && !quotedKeys.isEmpty())
            sql += QStringLiteral(" RETURNING ") + quotedKeys.join(u',');
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            return Fail(EngineError(q));
        QString where;
        std::vector<QVariant> binds;
        if (postgres && !quotedKeys.isEmpty() && q.next()) {
            QStringList parts;
            for (int i = 0; i < quotedKeys.size(); ++i) {
                parts << quotedKeys[i] + QStringLiteral(" = ?");
                binds.push_back(q.value(i));
            }
            where = parts.join(QStringLiteral(" AND "));
        } else if (!postgres && q.lastInsertId().isValid()) {
            where = QStringLiteral("_rowid_ = ?");
            binds.push_back(q.lastInsertId());
        }
        q.finish();
        const int row = store_.AddNullRow();
        if (where.isEmpty() || !ReadBack(db, where, binds, row)) {
            for (const auto& f : fields_)
                if (!PutValue(f->index_, row, BindValue(*f, buffer_[f->index_], postgres)))
                    return false;
            if (rowidColumn_ >= 0 && !binds.empty())
                store_.SetInt(rowidColumn_, row, binds.front().toLongLong());
        }
        // Into the row lists at the insert position.
        const std::vector<int>& rows = Rows();
        const int at = std::clamp(insertAt_, 0, RecordCount());
        if (filtered_ && filterActive_) {
            const int before = at < RecordCount() ? rows[at] : -1;
            view_.insert(view_.begin() + at, row);
            auto it = before < 0 ? all_.end() : std::find(all_.begin(), all_.end(), before);
            all_.insert(it, row);
        } else {
            all_.insert(all_.begin() + at, row);
        }
        cur_ = at;
    }
    buffer_.clear();
    assigned_.clear();
    modified_ = false;
    state_ = dsBrowse;
    bof_ = eof_ = false;
    Notify(Event::EditingChanged);
    Notify(Event::DataSetChanged);
    return true;
}

bool TDataSet::Delete()
{
    if (!CheckActive())
        return false;
    if (state_ == dsInsert) {
        Cancel();
        return true;
    }
    if (state_ == dsEdit)
        Cancel();
    if (IsEmpty())
        return Fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!CanModify())
        return Fail(QStringLiteral("Cannot modify a read-only dataset"));
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    const int row = CurrentRow();
    QString where;
    std::vector<QVariant> binds;
    if (!KeyWhere(row, where, binds))
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2").arg(QuoteName(plan_.UpdateTable), where));
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        return Fail(EngineError(q));
    if (q.numRowsAffected() == 0)
        return Fail(QStringLiteral("The record was not found; another user may have changed or deleted it"));
    all_.erase(std::remove(all_.begin(), all_.end(), row), all_.end());
    view_.erase(std::remove(view_.begin(), view_.end(), row), view_.end());
    if (cur_ >= RecordCount())
        cur_ = RecordCount() - 1;
    bof_ = cur_ <= 0;
    eof_ = IsEmpty();
    Notify(Event::DataSetChanged);
    return true;
}

// ---- TDataSource and TDataLink -------------------------------------------------------------------

TDataSource::TDataSource(TComponent* owner) : Owner(owner) {}

TDataSource::~TDataSource()
{
    SetDataSet(nullptr);
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* l : links)
        l->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    if (dataSet_)
        dataSet_->RemoveDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->AddDataSource(this);
    Broadcast(static_cast<int>(TDataSet::Event::ActiveChanged), 0, nullptr);
}

void TDataSource::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    Broadcast(static_cast<int>(TDataSet::Event::ActiveChanged), 0, nullptr, true);
}

TDataSetState TDataSource::State() const
{
    return dataSet_ && enabled_ ? dataSet_->State() : dsInactive;
}

bool TDataSource::Edit()
{
    if (!dataSet_ || !enabled_)
        return false;
    if (dataSet_->State() == dsEdit || dataSet_->State() == dsInsert)
        return true;
    return autoEdit_ && dataSet_->State() == dsBrowse && dataSet_->Edit();
}

void TDataSource::Broadcast(int event, int info, TField* field, bool always)
{
    if (!enabled_ && !always)
        return;
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* l : links) {
        if (std::find(links_.begin(), links_.end(), l) == links_.end())
            continue; // unlinked by an earlier handler
        switch (static_cast<TDataSet::Event>(event)) {
        case TDataSet::Event::ActiveChanged: l->ActiveChanged(); break;
        case TDataSet::Event::DataSetChanged: l->DataSetChanged(); break;
        case TDataSet::Event::Scrolled: l->DataSetScrolled(info); break;
        case TDataSet::Event::RecordChanged: l->RecordChanged(field); break;
        case TDataSet::Event::LayoutChanged: l->LayoutChanged(); break;
        case TDataSet::Event::EditingChanged: l->EditingChanged(); break;
        }
    }
}

TDataLink::~TDataLink()
{
    SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (source == source_)
        return;
    if (source_)
        source_->links_.erase(std::remove(source_->links_.begin(), source_->links_.end(), this), source_->links_.end());
    source_ = source;
    if (source_)
        source_->links_.push_back(this);
}

bool TDataLink::Editing() const
{
    const TDataSetState s = source_ ? source_->State() : dsInactive;
    return s == dsEdit || s == dsInsert;
}
