#pragma once
// The byte stream every save and load works on, and the stream encodings of texts.
//
// A TMemoryStream is a growable byte buffer with a position. Values are little-endian,
// without alignment or padding. Every read is bounds-checked: a read that would pass the
// end throws EStreamError and leaves the position where it was, and no length read from a
// stream is trusted before it is checked against what remains.
#include <QByteArray>
#include <QChar>
#include <QString>
#include <QtGlobal>
#include <stdexcept>

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(const QByteArray& bytes) : FData(bytes) {}

    qint64 Size() const { return FData.size(); }
    qint64 Position() const { return FPosition; }
    void SetPosition(qint64 p);     // clamped to [0, Size]
    qint64 Remaining() const { return Size() - FPosition; }

    void Clear();                   // no bytes, position 0
    void SetSize(qint64 n);         // new bytes are zero; the position stays within [0, n]

    const QByteArray& Data() const { return FData; }
    void SetData(const QByteArray& bytes); // position 0

    // Writes n bytes at the position, overwriting in place and growing as needed.
    void WriteBuffer(const void* p, qint64 n);
    // Reads exactly n bytes; throws EStreamError (reading nothing) when fewer remain.
    void ReadBuffer(void* p, qint64 n);
    // Reads at most n bytes and returns how many were read; never throws.
    qint64 Read(void* p, qint64 n);

    void WriteInt32(qint32 v);
    qint32 ReadInt32();
    void WriteInt16(qint16 v);
    qint16 ReadInt16();
    void WriteByte(quint8 v);
    quint8 ReadByte();
    void WriteBool(bool v);         // 1 or 0
    bool ReadBool();                // any nonzero byte is true
    void WriteDouble(double v);     // IEEE 754 double precision
    double ReadDouble();

    void WriteBytes(const QByteArray& bytes);
    QByteArray ReadBytes(qint64 n); // n < 0 or n > Remaining() throws EStreamError

    // Copies count bytes from source's position (advancing both streams).
    // Throws EStreamError, changing neither stream, when source has fewer bytes left.
    void CopyFrom(TMemoryStream& source, qint64 count);

    // Replaces the content with the whole file, position 0. On failure throws
    // EStreamError and leaves the stream as it was.
    void LoadFromFile(const QString& path);
    // Writes the whole buffer to the file, replacing it. Throws EStreamError on any failure;
    // an existing file is left intact when the new content could not be written.
    void SaveToFile(const QString& path) const;

private:
    void Require(qint64 n, const char* what) const;

    QByteArray FData;
    qint64 FPosition = 0;
};

// Texts in files are written as UTF-8. On reading, bytes that are valid UTF-8 are taken as
// UTF-8 and anything else as Windows-1252, so single-byte files of older writers still load.
QByteArray EncodeFileText(const QString& text);
QString DecodeFileText(const QByteArray& bytes);
bool IsValidUtf8(const QByteArray& bytes);
QString DecodeWindows1252(const QByteArray& bytes);

// Text encoding: Int32 byte count n, then the n bytes; the empty text is 00 00 00 00.
void WriteText(TMemoryStream& s, const QString& text);
// n <= 0 gives the empty text; n greater than what remains throws EStreamError and leaves the
// position before the count.
QString ReadText(TMemoryStream& s);

// text without any occurrence of c.
QString RemoveChar(QChar c, const QString& text);
