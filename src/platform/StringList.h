#pragma once
// A list of text lines, each with an optional object pointer (not owned), with an optional
// sorted mode and case-insensitive comparison, saved and loaded as CR LF text.
#include <QString>
#include <QStringList>
#include <vector>

class TMemoryStream;

// What Add does in sorted mode when an equal line is already present.
enum class TDuplicates {
    Ignore, // nothing is added; Add returns the index of the equal line
    Accept, // the line is added after its equals
    Error,  // Add throws std::invalid_argument
};

class TStringList {
public:
    TStringList() = default;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Index checked: out of range throws std::out_of_range.
    const QString& Strings(int i) const;
    void SetString(int i, const QString& s); // not allowed on a sorted list (std::logic_error)
    void* Objects(int i) const;
    void SetObject(int i, void* obj);

    // Appends; a sorted list inserts at the line's sorted place (see Duplicates).
    int Add(const QString& s, void* obj = nullptr);
    // i in [0, Count]; not allowed on a sorted list (throws std::logic_error).
    void Insert(int i, const QString& s, void* obj = nullptr);
    void Delete(int i);
    void Clear();

    int IndexOf(const QString& s) const;       // -1 when absent; honours CaseSensitive
    int IndexOfObject(const void* obj) const;  // -1 when absent

    // Sorted: Add keeps the list in order. Setting it does not reorder lines already
    // present; call Sort for that.
    bool Sorted = false;
    bool CaseSensitive = false;
    TDuplicates Duplicates = TDuplicates::Ignore;
    void Sort(); // stable

    QString Text() const;          // every line followed by CR LF
    void SetText(const QString& text); // splits on CR LF, LF or CR; a final break adds no line

    QStringList ToQStringList() const;
    void Assign(const QStringList& lines);

    // Bytes: EncodeFileText(Text()). Loading reads from the position to the end of the stream.
    void SaveToStream(TMemoryStream& s) const;
    void LoadFromStream(TMemoryStream& s);
    // Throw EStreamError on failure; a failed load leaves the list as it was.
    void SaveToFile(const QString& path) const;
    void LoadFromFile(const QString& path);

private:
    struct Item {
        QString Text;
        void* Object = nullptr;
    };
    int Compare(const QString& a, const QString& b) const;
    void CheckIndex(int i, const char* what) const;
    // First index whose line sorts after s (where s would go after its equals).
    int UpperBound(const QString& s) const;

    std::vector<Item> FItems;
};

// String list encoding: Int32 byte count n, then the n bytes of the CR LF text.
// A missing or empty list writes n = 0.
void WriteLines(TMemoryStream& s, const TStringList* lines);
// n <= 0 leaves lines as they were; n greater than what remains throws EStreamError, leaving
// lines untouched and the position before the count.
void ReadLines(TMemoryStream& s, TStringList& lines);
