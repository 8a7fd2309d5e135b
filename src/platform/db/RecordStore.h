#pragma once
// The in-memory record store of a dataset: one typed column per field. Integers and doubles sit
// in plain vectors, texts (UTF-8) and blobs in one byte buffer per column addressed by start and
// length, and nulls in a bitmap, so a million rows cost little more than their values.
#include "platform/db/FieldType.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

class TRecordStore {
public:
    int AddColumn(TValueKind kind);
    void Clear();
    int ColumnCount() const { return static_cast<int>(cols_.size()); }
    int RowCount() const { return rows_; }
    TValueKind Kind(int col) const { return cols_[col].Kind; }

    // Appending a row: one Append call per column, in any order, then EndRow.
    void AppendNull(int col);
    void AppendInt(int col, std::int64_t v);
    void AppendFloat(int col, double v);
    bool AppendText(int col, QStringView s); // false when the column would pass 4 GB
    bool AppendBytes(int col, QByteArrayView bytes);
    void EndRow() { ++rows_; }
    // A row of nulls at the end; returns its number.
    int AddNullRow();

    bool IsNull(int col, int row) const
    {
        const Column& c = cols_[col];
        const std::size_t word = static_cast<std::size_t>(row) >> 6;
        return word < c.Nulls.size() && (c.Nulls[word] >> (row & 63) & 1u);
    }
    std::int64_t Int(int col, int row) const { return cols_[col].Ints[row]; }
    double Float(int col, int row) const { return cols_[col].Floats[row]; }
    // Raw bytes of a text (UTF-8) or blob value; valid until the column is next changed.
    QByteArrayView Bytes(int col, int row) const
    {
        const Column& c = cols_[col];
        return QByteArrayView(c.Data.data() + c.Start[row], c.Length[row]);
    }
    QString Text(int col, int row) const;

    // Replacing one value of an existing row.
    void SetNull(int col, int row);
    void SetInt(int col, int row, std::int64_t v);
    void SetFloat(int col, int row, double v);
    bool SetText(int col, int row, QStringView s);
    bool SetBytes(int col, int row, QByteArrayView bytes);

    // Changes how a column holds its values: integers to doubles, or any kind to text/blob with the
    // given formatter producing each non-null value's new bytes.
    void ConvertToFloat(int col);
    bool ConvertToBytes(int col, TValueKind kind, const std::function<QByteArray(int row)>& format);

    // Gives back spare capacity after loading.
    void Squeeze();
    // Bytes held by the store.
    std::size_t MemoryUsed() const;

private:
    struct Column {
        TValueKind Kind = TValueKind::Text;
        std::vector<std::int64_t> Ints;
        std::vector<double> Floats;
        std::vector<std::uint32_t> Start;
        std::vector<std::uint32_t> Length;
        std::vector<char> Data;
        std::vector<std::uint64_t> Nulls; // empty until the first null
        std::size_t Count() const;
    };
    void MarkNull(Column& c, std::size_t row, bool null);
    static bool PutBytes(Column& c, const char* p, std::size_t n, std::uint32_t& start);
    static bool PutUtf8(Column& c, QStringView s, std::uint32_t& start, std::uint32_t& length);

    std::vector<Column> cols_;
    int rows_ = 0;
};
