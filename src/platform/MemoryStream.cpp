#include "platform/MemoryStream.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

// Largest buffer a QByteArray can hold.
constexpr qint64 MaxStreamSize = std::numeric_limits<qsizetype>::max() / 2;

QString NativePath(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

void TMemoryStream::SetPosition(qint64 p)
{
    FPosition = qBound<qint64>(0, p, Size());
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::SetSize(qint64 n)
{
    if (n < 0 || n > MaxStreamSize)
        throw EStreamError("Invalid stream size " + std::to_string(n));
    const qint64 old = Size();
    FData.resize(static_cast<qsizetype>(n));
    if (n > old)
        std::memset(FData.data() + old, 0, static_cast<size_t>(n - old));
    if (FPosition > n)
        FPosition = n;
}

void TMemoryStream::SetData(const QByteArray& bytes)
{
    FData = bytes;
    FPosition = 0;
}

void TMemoryStream::Require(qint64 n, const char* what) const
{
    if (n < 0)
        throw EStreamError(std::string("Stream read error: negative length for ") + what);
    if (n > Remaining())
        throw EStreamError(std::string("Stream read error: ") + what + " needs " + std::to_string(n)
                           + " bytes at position " + std::to_string(FPosition) + ", only "
                           + std::to_string(Remaining()) + " remain");
}

void TMemoryStream::WriteBuffer(const void* p, qint64 n)
{
    if (n < 0)
        throw EStreamError("Stream write error: negative length");
    if (n == 0)
        return;
    if (n > MaxStreamSize - FPosition)
        throw EStreamError("Stream write error: stream too large");
    const char* src = static_cast<const char*>(p);
    // The source may lie inside our own buffer, which growing can move.
    QByteArray own;
    if (src >= FData.constData() && src < FData.constData() + FData.size()) {
        own = QByteArray(src, static_cast<qsizetype>(n));
        src = own.constData();
    }
    const qint64 end = FPosition + n;
    if (end > Size())
        FData.resize(static_cast<qsizetype>(end));
    std::memcpy(FData.data() + FPosition, src, static_cast<size_t>(n));
    FPosition = end;
}

void TMemoryStream::ReadBuffer(void* p, qint64 n)
{
    Require(n, "buffer");
    if (n == 0)
        return;
    std::memcpy(p, FData.constData() + FPosition, static_cast<size_t>(n));
    FPosition += n;
}

qint64 TMemoryStream::Read(void* p, qint64 n)
{
    const qint64 count = qBound<qint64>(0, n, Remaining());
    if (count > 0) {
        std::memcpy(p, FData.constData() + FPosition, static_cast<size_t>(count));
        FPosition += count;
    }
    return count;
}

void TMemoryStream::WriteInt32(qint32 v)
{
    uchar b[4];
    qToLittleEndian(v, b);
    WriteBuffer(b, 4);
}

qint32 TMemoryStream::ReadInt32()
{
    Require(4, "Int32");
    uchar b[4];
    ReadBuffer(b, 4);
    return qFromLittleEndian<qint32>(b);
}

void TMemoryStream::WriteInt16(qint16 v)
{
    uchar b[2];
    qToLittleEndian(v, b);
    WriteBuffer(b, 2);
}

qint16 TMemoryStream::ReadInt16()
{
    Require(2, "Int16");
    uchar b[2];
    ReadBuffer(b, 2);
    return qFromLittleEndian<qint16>(b);
}

void TMemoryStream::WriteByte(quint8 v)
{
    WriteBuffer(&v, 1);
}

quint8 TMemoryStream::ReadByte()
{
    Require(1, "byte");
    quint8 v = 0;
    ReadBuffer(&v, 1);
    return v;
}

void TMemoryStream::WriteBool(bool v)
{
    WriteByte(v ? 1 : 0);
}

bool TMemoryStream::ReadBool()
{
    Require(1, "Boolean");
    return ReadByte() != 0;
}

void TMemoryStream::WriteDouble(double v)
{
    static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);
    quint64 bits = 0;
    std::memcpy(&bits, &v, 8);
    uchar b[8];
    qToLittleEndian(bits, b);
    WriteBuffer(b, 8);
}

double TMemoryStream::ReadDouble()
{
    Require(8, "Double");
    uchar b[8];
    ReadBuffer(b, 8);
    const quint64 bits = qFromLittleEndian<quint64>(b);
    double v = 0;
    std::memcpy(&v, &bits, 8);
    return v;
}

void TMemoryStream::WriteBytes(const QByteArray& bytes)
{
    WriteBuffer(bytes.constData(), bytes.size());
}

QByteArray TMemoryStream::ReadBytes(qint64 n)
{
    Require(n, "bytes");
    QByteArray out(FData.constData() + FPosition, static_cast<qsizetype>(n));
    FPosition += n;
    return out;
}

void TMemoryStream::CopyFrom(TMemoryStream& source, qint64 count)
{
    source.Require(count, "copy");
    if (count == 0)
        return;
    const QByteArray bytes = source.FData.mid(static_cast<qsizetype>(source.FPosition),
                                              static_cast<qsizetype>(count));
    source.FPosition += count;
    try {
        WriteBytes(bytes);
    } catch (...) {
        source.FPosition -= count;
        throw;
    }
}

void TMemoryStream::LoadFromFile(const QString& path)
{
    const std::string name = NativePath(path).toStdString();
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw EStreamError("Cannot open file \"" + name + "\": it is a directory");
    if (!file.open(QIODevice::ReadOnly))
        throw EStreamError("Cannot open file \"" + name + "\": " + file.errorString().toStdString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EStreamError("Cannot read file \"" + name + "\": " + file.errorString().toStdString());
    SetData(bytes);
}

void TMemoryStream::SaveToFile(const QString& path) const
{
    const std::string name = NativePath(path).toStdString();
    QSaveFile file(path);
    // Where no temporary file can be made beside the target, write the target directly.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw EStreamError("Cannot create file \"" + name + "\": " + file.errorString().toStdString());
    if (file.write(FData) != FData.size()) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw EStreamError("Cannot write file \"" + name + "\": " + reason);
    }
    if (!file.commit())
        throw EStreamError("Cannot write file \"" + name + "\": " + file.errorString().toStdString());
}

// ---------------------------------------------------------------------------------------------
// Texts

QByteArray EncodeFileText(const QString& text)
{
    return text.toUtf8();
}

bool IsValidUtf8(const QByteArray& bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int follow = 0;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
        } else if (c == 0xE0) {
            follow = 2; lo = 0xA0;           // no overlong forms
        } else if (c == 0xED) {
            follow = 2; hi = 0x9F;           // no surrogates
        } else if (c >= 0xE1 && c <= 0xEF) {
            follow = 2;
        } else if (c == 0xF0) {
            follow = 3; lo = 0x90;
        } else if (c >= 0xF1 && c <= 0xF3) {
            follow = 3;
        } else if (c == 0xF4) {
            follow = 3; hi = 0x8F;           // nothing above U+10FFFF
        } else {
            return false;
        }
        if (n - i <= follow)
            return false;
        if (s[i + 1] < lo || s[i + 1] > hi)
            return false;
        for (int k = 2; k <= follow; ++k)
            if (s[i + k] < 0x80 || s[i + k] > 0xBF)
                return false;
        i += follow + 1;
    }
    return true;
}

QString DecodeWindows1252(const QByteArray& bytes)
{
    // 0x80..0x9F; the five bytes the code page leaves undefined keep their C1 code.
    static constexpr char16_t High[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString out;
    out.resize(bytes.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        d[i] = (c >= 0x80 && c <= 0x9F) ? QChar(High[c - 0x80]) : QChar(c);
    }
    return out;
}

QString DecodeFileText(const QByteArray& bytes)
{
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return DecodeWindows1252(bytes);
}

void WriteText(TMemoryStream& s, const QString& text)
{
    const QByteArray bytes = EncodeFileText(text);
    if (bytes.size() > std::numeric_limits<qint32>::max())
        throw EStreamError("Stream write error: text too long");
    s.WriteInt32(static_cast<qint32>(bytes.size()));
    s.WriteBytes(bytes);
}

QString ReadText(TMemoryStream& s)
{
    const qint64 start = s.Position();
    const qint32 n = s.ReadInt32();
    if (n <= 0)
        return QString();
    if (n > s.Remaining()) {
        s.SetPosition(start);
        throw EStreamError("Stream read error: text of " + std::to_string(n) + " bytes at position "
                           + std::to_string(start) + ", only " + std::to_string(s.Remaining() - 4)
                           + " remain");
    }
    return DecodeFileText(s.ReadBytes(n));
}

QString RemoveChar(QChar c, const QString& text)
{
    QString out = text;
    out.remove(c);
    return out;
}
