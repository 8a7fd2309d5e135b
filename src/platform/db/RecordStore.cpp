#include "platform/db/RecordStore.h"
#include <cstring>
#include <limits>

namespace {
constexpr std::size_t kMaxColumnBytes = std::numeric_limits<std::uint32_t>::max();

template <typename T>
void ShrinkIfSpare(std::vector<T>& v)
{
    if (v.capacity() > v.size() + v.size() / 16 + 16)
        v.shrink_to_fit();
}
} // namespace

std::size_t TRecordStore::Column::Count() const
{
    switch (Kind) {
    case TValueKind::Integer: return Ints.size();
    case TValueKind::Float: return Floats.size();
    default: return Start.size();
    }
}

int TRecordStore::AddColumn(TValueKind kind)
{
    Column c;
    c.Kind = kind;
    cols_.push_back(std::move(c));
    return static_cast<int>(cols_.size()) - 1;
}

void TRecordStore::Clear()
{
    cols_.clear();
    rows_ = 0;
}

void TRecordStore::MarkNull(Column& c, std::size_t row, bool null)
{
    if (c.Nulls.empty()) {
        if (!null)
            return;
        c.Nulls.reserve(c.Count() / 64 + 1);
    }
    const std::size_t word = row >> 6;
    if (c.Nulls.size() <= word)
        c.Nulls.resize(word + 1, 0);
    const std::uint64_t bit = std::uint64_t(1) << (row & 63);
    if (null)
        c.Nulls[word] |= bit;
    else
        c.Nulls[word] &= ~bit;
}

bool TRecordStore::PutBytes(Column& c, const char* p, std::size_t n, std::uint32_t& start)
{
    const std::size_t pos = c.Data.size();
    if (pos + n > kMaxColumnBytes)
        return false;
    c.Data.insert(c.Data.end(), p, p + n);
    start = static_cast<std::uint32_t>(pos);
    return true;
}

bool TRecordStore::PutUtf8(Column& c, QStringView s, std::uint32_t& start, std::uint32_t& length)
{
    const std::size_t pos = c.Data.size();
    const std::size_t n = static_cast<std::size_t>(s.size());
    if (pos + n > kMaxColumnBytes)
        return false;
    // Most texts are plain ASCII: narrow them in place; anything else goes through the codec.
    c.Data.resize(pos + n);
    char* out = c.Data.data() + pos;
    const char16_t* in = s.utf16();
    std::size_t i = 0;
    for (; i < n; ++i) {
        const char16_t ch = in[i];
        if (ch >= 0x80)
            break;
        out[i] = static_cast<char>(ch);
    }
    if (i < n) {
        c.Data.resize(pos);
        const QByteArray utf8 = s.toUtf8();
        if (pos + static_cast<std::size_t>(utf8.size()) > kMaxColumnBytes)
            return false;
        c.Data.insert(c.Data.end(), utf8.constData(), utf8.constData() + utf8.size());
    }
    start = static_cast<std::uint32_t>(pos);
    length = static_cast<std::uint32_t>(c.Data.size() - pos);
    return true;
}

void TRecordStore::AppendNull(int col)
{
    Column& c = cols_[col];
    const std::size_t row = c.Count();
    switch (c.Kind) {
    case TValueKind::Integer: c.Ints.push_back(0); break;
    case TValueKind::Float: c.Floats.push_back(0); break;
    default:
        c.Start.push_back(static_cast<std::uint32_t>(c.Data.size()));
        c.Length.push_back(0);
        break;
    }
    MarkNull(c, row, true);
}

void TRecordStore::AppendInt(int col, std::int64_t v)
{
    cols_[col].Ints.push_back(v);
}

void TRecordStore::AppendFloat(int col, double v)
{
    cols_[col].Floats.push_back(v);
}

bool TRecordStore::AppendText(int col, QStringView s)
{
    Column& c = cols_[col];
    std::uint32_t start = 0, length = 0;
    if (!PutUtf8(c, s, start, length))
        return false;
    c.Start.push_back(start);
    c.Length.push_back(length);
    return true;
}

bool TRecordStore::AppendBytes(int col, QByteArrayView bytes)
{
    Column& c = cols_[col];
    std::uint32_t start = 0;
    if (!PutBytes(c, bytes.data(), static_cast<std::size_t>(bytes.size()), start))
        return false;
    c.Start.push_back(start);
    c.Length.push_back(static_cast<std::uint32_t>(bytes.size()));
    return true;
}

int TRecordStore::AddNullRow()
{
    for (int i = 0; i < ColumnCount(); ++i)
        AppendNull(i);
    return rows_++;
}

QString TRecordStore::Text(int col, int row) const
{
    const QByteArrayView b = Bytes(col, row);
    return QString::fromUtf8(b.data(), b.size());
}

void TRecordStore::SetNull(int col, int row)
{
    MarkNull(cols_[col], static_cast<std::size_t>(row), true);
}

void TRecordStore::SetInt(int col, int row, std::int64_t v)
{
    Column& c = cols_[col];
    c.Ints[row] = v;
    MarkNull(c, static_cast<std::size_t>(row), false);
}

void TRecordStore::SetFloat(int col, int row, double v)
{
    Column& c = cols_[col];
    c.Floats[row] = v;
    MarkNull(c, static_cast<std::size_t>(row), false);
}

// A changed text is appended to the buffer and the row points at it; the old bytes stay unused
// until the store is next loaded.
bool TRecordStore::SetText(int col, int row, QStringView s)
{
    Column& c = cols_[col];
    std::uint32_t start = 0, length = 0;
    if (!PutUtf8(c, s, start, length))
        return false;
    c.Start[row] = start;
    c.Length[row] = length;
    MarkNull(c, static_cast<std::size_t>(row), false);
    return true;
}

bool TRecordStore::SetBytes(int col, int row, QByteArrayView bytes)
{
    Column& c = cols_[col];
    std::uint32_t start = 0;
    if (!PutBytes(c, bytes.data(), static_cast<std::size_t>(bytes.size()), start))
        return false;
    c.Start[row] = start;
    c.Length[row] = static_cast<std::uint32_t>(bytes.size());
    MarkNull(c, static_cast<std::size_t>(row), false);
    return true;
}

void TRecordStore::ConvertToFloat(int col)
{
    Column& c = cols_[col];
    if (c.Kind != TValueKind::Integer)
        return;
    c.Floats.assign(c.Ints.begin(), c.Ints.end());
    std::vector<std::int64_t>().swap(c.Ints);
    c.Kind = TValueKind::Float;
}

bool TRecordStore::ConvertToBytes(int col, TValueKind kind, const std::function<QByteArray(int row)>& format)
{
    Column& old = cols_[col];
    Column c;
    c.Kind = kind;
    c.Nulls = old.Nulls;
    const std::size_t n = old.Count();
    c.Start.reserve(n);
    c.Length.reserve(n);
    for (std::size_t row = 0; row < n; ++row) {
        const bool null = (row >> 6) < old.Nulls.size() && (old.Nulls[row >> 6] >> (row & 63) & 1u);
        QByteArray bytes;
        if (!null)
            bytes = format(static_cast<int>(row));
        std::uint32_t start = 0;
        if (!PutBytes(c, bytes.constData(), static_cast<std::size_t>(bytes.size()), start))
            return false;
        c.Start.push_back(start);
        c.Length.push_back(static_cast<std::uint32_t>(bytes.size()));
    }
    old = std::move(c);
    return true;
}

void TRecordStore::Squeeze()
{
    for (Column& c : cols_) {
        ShrinkIfSpare(c.Ints);
        ShrinkIfSpare(c.Floats);
        ShrinkIfSpare(c.Start);
        ShrinkIfSpare(c.Length);
        ShrinkIfSpare(c.Data);
        ShrinkIfSpare(c.Nulls);
    }
}

std::size_t TRecordStore::MemoryUsed() const
{
    std::size_t total = sizeof(*this) + cols_.capacity() * sizeof(Column);
    for (const Column& c : cols_) {
        total += c.Ints.capacity() * sizeof(std::int64_t) + c.Floats.capacity() * sizeof(double) +
                 c.Start.capacity() * sizeof(std::uint32_t) + c.Length.capacity() * sizeof(std::uint32_t) +
                 c.Data.capacity() + c.Nulls.capacity() * sizeof(std::uint64_t);
    }
    return total;
}
