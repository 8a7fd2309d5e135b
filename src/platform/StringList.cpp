#include "platform/StringList.h"

#include "platform/MemoryStream.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

int TStringList::Compare(const QString& a, const QString& b) const
{
    return QString::compare(a, b, CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

void TStringList::CheckIndex(int i, const char* what) const
{
    if (i < 0 || i >= Count())
        throw std::out_of_range(std::string("List index out of bounds (") + std::to_string(i)
                                + ") in " + what + ", count " + std::to_string(Count()));
}

const QString& TStringList::Strings(int i) const
{
    CheckIndex(i, "Strings");
    return FItems[static_cast<size_t>(i)].Text;
}

void TStringList::SetString(int i, const QString& s)
{
    CheckIndex(i, "SetString");
    if (Sorted)
        throw std::logic_error("Operation not allowed on sorted list");
    FItems[static_cast<size_t>(i)].Text = s;
}

void* TStringList::Objects(int i) const
{
    CheckIndex(i, "Objects");
    return FItems[static_cast<size_t>(i)].Object;
}

void TStringList::SetObject(int i, void* obj)
{
    CheckIndex(i, "SetObject");
    FItems[static_cast<size_t>(i)].Object = obj;
}

int TStringList::UpperBound(const QString& s) const
{
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (Compare(FItems[static_cast<size_t>(mid)].Text, s) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TStringList::Add(const QString& s, void* obj)
{
    if (!Sorted) {
        FItems.push_back({s, obj});
        return Count() - 1;
    }
    const int at = UpperBound(s);
    if (at > 0 && Compare(FItems[static_cast<size_t>(at - 1)].Text, s) == 0) {
        if (Duplicates == TDuplicates::Ignore)
            return at - 1;
        if (Duplicates == TDuplicates::Error)
            throw std::invalid_argument("String list does not allow duplicates");
    }
    FItems.insert(FItems.begin() + at, Item{s, obj});
    return at;
}

void TStringList::Insert(int i, const QString& s, void* obj)
{
    if (Sorted)
        throw std::logic_error("Operation not allowed on sorted list");
    if (i < 0 || i > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ") in Insert, count "
                                + std::to_string(Count()));
    FItems.insert(FItems.begin() + i, Item{s, obj});
}

void TStringList::Delete(int i)
{
    CheckIndex(i, "Delete");
    FItems.erase(FItems.begin() + i);
}

void TStringList::Clear()
{
    FItems.clear();
}

int TStringList::IndexOf(const QString& s) const
{
    // Linear: Sorted may have been set on a list that was never sorted.
    for (int i = 0; i < Count(); ++i)
        if (Compare(FItems[static_cast<size_t>(i)].Text, s) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(const void* obj) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].Object == obj)
            return i;
    return -1;
}

void TStringList::Sort()
{
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const Item& a, const Item& b) { return Compare(a.Text, b.Text) < 0; });
}

QString TStringList::Text() const
{
    QString out;
    qsizetype size = 0;
    for (const Item& it : FItems)
        size += it.Text.size() + 2;
    out.reserve(size);
    for (const Item& it : FItems) {
        out += it.Text;
        out += QLatin1String("\r\n");
    }
    return out;
}

void TStringList::SetText(const QString& text)
{
    Clear();
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            Add(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        Add(text.mid(start));
}

QStringList TStringList::ToQStringList() const
{
    QStringList out;
    out.reserve(Count());
    for (const Item& it : FItems)
        out.append(it.Text);
    return out;
}

void TStringList::Assign(const QStringList& lines)
{
    Clear();
    for (const QString& s : lines)
        Add(s);
}

void TStringList::SaveToStream(TMemoryStream& s) const
{
    s.WriteBytes(EncodeFileText(Text()));
}

void TStringList::LoadFromStream(TMemoryStream& s)
{
    QByteArray bytes = s.ReadBytes(s.Remaining());
    // A text file may begin with a UTF-8 byte order mark; it is not part of the first line.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    SetText(DecodeFileText(bytes));
}

void TStringList::SaveToFile(const QString& path) const
{
    TMemoryStream s;
    SaveToStream(s);
    s.SaveToFile(path);
}

void TStringList::LoadFromFile(const QString& path)
{
    TMemoryStream s;
    s.LoadFromFile(path);
    LoadFromStream(s);
}

void WriteLines(TMemoryStream& s, const TStringList* lines)
{
    if (!lines || lines->Count() == 0) {
        s.WriteInt32(0);
        return;
    }
    TMemoryStream tmp;
    lines->SaveToStream(tmp);
    if (tmp.Size() > std::numeric_limits<qint32>::max())
        throw EStreamError("Stream write error: string list too long");
    s.WriteInt32(static_cast<qint32>(tmp.Size()));
    s.WriteBytes(tmp.Data());
}

void ReadLines(TMemoryStream& s, TStringList& lines)
{
    const qint64 start = s.Position();
    const qint32 n = s.ReadInt32();
    if (n <= 0)
        return;
    if (n > s.Remaining()) {
        s.SetPosition(start);
        throw EStreamError("Stream read error: string list of " + std::to_string(n)
                           + " bytes at position " + std::to_string(start) + ", only "
                           + std::to_string(s.Remaining() - 4) + " remain");
    }
    TMemoryStream tmp;
    tmp.CopyFrom(s, n);
    tmp.SetPosition(0);
    lines.LoadFromStream(tmp);
}
