#include "platform/MemoryStream.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <limits>

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace

// Each value's exact little-endian bytes, and that reading them back gives the value.
TEST(MemoryStream, ValueEncodingsAreLittleEndianAndRoundTrip)
{
    struct Case {
        const char* name;
        std::function<void(TMemoryStream&)> write;
        const char* bytes;
        std::function<void(TMemoryStream&)> readBack;
    };
    const Case cases[] = {
        {"Int32 1", [](TMemoryStream& s) { s.WriteInt32(1); }, "01000000",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadInt32(), 1); }},
        {"Int32 -2", [](TMemoryStream& s) { s.WriteInt32(-2); }, "feffffff",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadInt32(), -2); }},
        {"Int32 0x12345678", [](TMemoryStream& s) { s.WriteInt32(0x12345678); }, "78563412",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadInt32(), 0x12345678); }},
        {"Int32 min", [](TMemoryStream& s) { s.WriteInt32(std::numeric_limits<qint32>::min()); }, "00000080",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadInt32(), std::numeric_limits<qint32>::min()); }},
        {"Int16 0x1234", [](TMemoryStream& s) { s.WriteInt16(0x1234); }, "3412",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadInt16(), 0x1234); }},
        {"Int16 -1", [](TMemoryStream& s) { s.WriteInt16(-1); }, "ffff",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadInt16(), -1); }},
        {"byte 200", [](TMemoryStream& s) { s.WriteByte(200); }, "c8",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadByte(), 200); }},
        {"bools", [](TMemoryStream& s) { s.WriteBool(true); s.WriteBool(false); }, "0100",
         [](TMemoryStream& s) { EXPECT_TRUE(s.ReadBool()); EXPECT_FALSE(s.ReadBool()); }},
        {"Double 1.0", [](TMemoryStream& s) { s.WriteDouble(1.0); }, "000000000000f03f",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadDouble(), 1.0); }},
        {"Double -2.5", [](TMemoryStream& s) { s.WriteDouble(-2.5); }, "00000000000004c0",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadDouble(), -2.5); }},
        {"Double 0.1", [](TMemoryStream& s) { s.WriteDouble(0.1); }, "9a9999999999b93f",
         [](TMemoryStream& s) { EXPECT_EQ(s.ReadDouble(), 0.1); }},
        {"empty text", [](TMemoryStream& s) { WriteText(s, QString()); }, "00000000",
         [](TMemoryStream& s) { EXPECT_EQ(ReadText(s), QString()); }},
        {"text Abc", [](TMemoryStream& s) { WriteText(s, "Abc"); }, "03000000416263",
         [](TMemoryStream& s) { EXPECT_EQ(ReadText(s), "Abc"); }},
        {"text Größe", [](TMemoryStream& s) { WriteText(s, QStringLiteral("Größe")); },
         "070000004772c3b6c39f65",
         [](TMemoryStream& s) { EXPECT_EQ(ReadText(s), QStringLiteral("Größe")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream s;
        c.write(s);
        EXPECT_EQ(s.Data().toHex(), Hex(c.bytes).toHex());
        EXPECT_EQ(s.Position(), s.Size());
        s.SetPosition(0);
        c.readBack(s);
        EXPECT_EQ(s.Remaining(), 0);
    }
}

TEST(MemoryStream, SpecialDoublesAndAnyNonzeroBoolRoundTrip)
{
    TMemoryStream s;
    s.WriteDouble(std::numeric_limits<double>::infinity());
    s.WriteDouble(std::nan(""));
    s.WriteDouble(-0.0);
    s.WriteByte(0x7F);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadDouble(), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(s.ReadDouble()));
    const double negZero = s.ReadDouble();
    EXPECT_EQ(negZero, 0.0);
    EXPECT_TRUE(std::signbit(negZero));
    EXPECT_TRUE(s.ReadBool());
}

TEST(MemoryStream, WritesOverwriteInPlaceAndGrow)
{
    TMemoryStream s;
    s.WriteInt32(0);
    s.WriteInt32(0);
    s.WriteByte(9);
    // Overwrite the second Int32, as a record's end marker is patched after the fact.
    s.SetPosition(4);
    s.WriteInt32(0x0A0B0C0D);
    EXPECT_EQ(s.Position(), 8);
    EXPECT_EQ(s.Size(), 9);
    EXPECT_EQ(s.Data().toHex(), Hex("000000000d0c0b0a09").toHex());
    // A write straddling the end grows the buffer.
    s.SetPosition(7);
    s.WriteInt16(0x2211);
    EXPECT_EQ(s.Size(), 9);
    s.WriteInt16(0x4433);
    EXPECT_EQ(s.Data().toHex(), Hex("000000000d0c0b11223344").toHex());
}

TEST(MemoryStream, PositionClampsAndSizeChangesKeepItInRange)
{
    TMemoryStream s;
    s.SetData(Hex("0102030405"));
    EXPECT_EQ(s.Position(), 0);
    s.SetPosition(-3);
    EXPECT_EQ(s.Position(), 0);
    s.SetPosition(99);
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.Remaining(), 0);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    s.SetSize(4);
    EXPECT_EQ(s.Data().toHex(), Hex("01020000").toHex());
    EXPECT_THROW(s.SetSize(-1), EStreamError);
    EXPECT_EQ(s.Size(), 4);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

// Every checked read, at a position with too few bytes, throws and leaves the position.
TEST(MemoryStream, ReadsPastTheEndThrowAndLeaveThePosition)
{
    struct Case {
        const char* name;
        QByteArray data; // position is set to 1 before the read
        std::function<void(TMemoryStream&)> read;
    };
    const Case cases[] = {
        {"Int32", Hex("00010203"), [](TMemoryStream& s) { s.ReadInt32(); }},
        {"Int16", Hex("0001"), [](TMemoryStream& s) { s.ReadInt16(); }},
        {"byte", Hex("00"), [](TMemoryStream& s) { s.ReadByte(); }},
        {"bool", Hex("00"), [](TMemoryStream& s) { s.ReadBool(); }},
        {"Double", Hex("0001020304050607"), [](TMemoryStream& s) { s.ReadDouble(); }},
        {"buffer", Hex("000102"), [](TMemoryStream& s) { char b[3]; s.ReadBuffer(b, 3); }},
        {"bytes", Hex("000102"), [](TMemoryStream& s) { s.ReadBytes(3); }},
        {"negative bytes", Hex("000102"), [](TMemoryStream& s) { s.ReadBytes(-1); }},
        {"text past end", Hex("0005000000414243"), [](TMemoryStream& s) { ReadText(s); }},
        {"text huge length", Hex("00ffffff7f41"), [](TMemoryStream& s) { ReadText(s); }},
        {"text short count", Hex("000500"), [](TMemoryStream& s) { ReadText(s); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream s;
        s.SetData(c.data);
        s.SetPosition(1);
        EXPECT_THROW(c.read(s), EStreamError);
        EXPECT_EQ(s.Position(), 1);
        EXPECT_EQ(s.Data(), c.data);
    }
}

TEST(MemoryStream, PartialReadAndCopyFrom)
{
    TMemoryStream s;
    s.SetData("abcdef");
    s.SetPosition(4);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 2);
    EXPECT_EQ(QByteArray(buf, 2), "ef");
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_EQ(s.Read(buf, -1), 0);

    TMemoryStream dst;
    dst.WriteByte('>');
    s.SetPosition(1);
    dst.CopyFrom(s, 3);
    EXPECT_EQ(dst.Data(), ">bcd");
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(dst.Position(), 4);

    // More than the source holds: neither stream changes.
    EXPECT_THROW(dst.CopyFrom(s, 3), EStreamError);
    EXPECT_THROW(dst.CopyFrom(s, -1), EStreamError);
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(dst.Data(), ">bcd");

    // A stream copied onto itself, and a buffer taken from itself while growing.
    TMemoryStream self;
    self.SetData("xyz");
    self.CopyFrom(self, 3);
    EXPECT_EQ(self.Data(), "xyzxyz");
    self.WriteBuffer(self.Data().constData() + 1, 4);
    EXPECT_EQ(self.Data(), "xyzxyzyzxy");
}

TEST(MemoryStream, FileTextsAreUtf8OrWindows1252)
{
    const QString groesse = QStringLiteral("Größe");
    EXPECT_EQ(EncodeFileText(groesse), QByteArray("Gr\xC3\xB6\xC3\x9F" "e"));

    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"ASCII", "Name", "Name"},
        {"UTF-8", "Gr\xC3\xB6\xC3\x9F" "e", groesse},
        {"1252", "Gr\xF6\xDF" "e", groesse},
        {"1252 euro", "\x80 5", QStringLiteral("\u20AC 5")},
        {"UTF-8 euro", "\xE2\x82\xAC 5", QStringLiteral("\u20AC 5")},
        {"1252 0x80-0x9F", Hex("8a8c9f9e99"), QStringLiteral("\u0160\u0152\u0178\u017E\u2122")},
        {"1252 undefined bytes keep their C1 code", Hex("81418d8f909d"),
         QStringLiteral("\u0081A\u008D\u008F\u0090\u009D")},
        {"truncated UTF-8 sequence", "ab\xC3", QStringLiteral("ab\u00C3")},
        {"overlong UTF-8 is not UTF-8", "\xC0\xAF", QStringLiteral("\u00C0\u00AF")},
        {"overlong 3-byte UTF-8", "\xE0\x80\xAF", QStringLiteral("\u00E0\u20AC\u00AF")},
        {"UTF-8 surrogate is not UTF-8", "\xED\xA0\x80", QStringLiteral("\u00ED\u00A0\u20AC")},
        {"4-byte UTF-8", "\xF0\x9F\x98\x80", QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", QStringLiteral("\u00F4\u0090\u20AC\u20AC")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeFileText(c.bytes), c.text);
        TMemoryStream s;
        s.WriteInt32(static_cast<qint32>(c.bytes.size()));
        s.WriteBytes(c.bytes);
        s.SetPosition(0);
        EXPECT_EQ(ReadText(s), c.text);
        EXPECT_EQ(s.Remaining(), 0);
    }
}

TEST(MemoryStream, TextWithNonPositiveLengthReadsEmpty)
{
    TMemoryStream s;
    s.WriteInt32(-5);
    s.WriteInt32(0);
    s.WriteByte('x');
    s.SetPosition(0);
    EXPECT_EQ(ReadText(s), QString());
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(ReadText(s), QString());
    EXPECT_EQ(s.Position(), 8);
}

TEST(MemoryStream, RemoveCharStripsEveryOccurrence)
{
    EXPECT_EQ(RemoveChar('&', "&File && &Edit"), "File  Edit");
    EXPECT_EQ(RemoveChar('&', "plain"), "plain");
    EXPECT_EQ(RemoveChar('&', QString()), QString());
}

TEST(MemoryStream, FilesLoadAndSaveWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("data.bin");

    TMemoryStream s;
    s.WriteInt32(42);
    WriteText(s, QStringLiteral("Größe"));
    s.SaveToFile(path);
    // Saving writes the whole buffer, wherever the position is, and replaces a longer file.
    TMemoryStream shorter;
    shorter.WriteByte(7);
    shorter.SaveToFile(dir.filePath("b.bin"));
    s.SaveToFile(dir.filePath("b.bin"));

    TMemoryStream r;
    r.WriteByte(1);
    r.LoadFromFile(dir.filePath("b.bin"));
    EXPECT_EQ(r.Position(), 0);
    EXPECT_EQ(r.Data(), s.Data());
    EXPECT_EQ(r.ReadInt32(), 42);
    EXPECT_EQ(ReadText(r), QStringLiteral("Größe"));

    TMemoryStream empty;
    empty.SaveToFile(dir.filePath("empty.bin"));
    r.LoadFromFile(dir.filePath("empty.bin"));
    EXPECT_EQ(r.Size(), 0);
}

TEST(MemoryStream, FileFailuresRaiseAndLeaveTheStream)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TMemoryStream s;
    s.SetData("keep");
    s.SetPosition(2);

    const QString missing = dir.filePath("missing.kiv");
    try {
        s.LoadFromFile(missing);
        FAIL() << "no error for a missing file";
    } catch (const EStreamError& e) {
        EXPECT_NE(QString::fromStdString(e.what()).indexOf("missing.kiv"), -1) << e.what();
    }
    EXPECT_THROW(s.LoadFromFile(dir.path()), EStreamError);
    EXPECT_EQ(s.Data(), "keep");
    EXPECT_EQ(s.Position(), 2);

    EXPECT_THROW(s.SaveToFile(dir.filePath("no/such/dir/out.bin")), EStreamError);
    EXPECT_THROW(s.SaveToFile(dir.path()), EStreamError);
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/dir/out.bin")));
}
