#include "platform/MemoryStream.h"
#include "platform/StringList.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <stdexcept>

TEST(StringList, SetTextSplitsOnEveryLineBreak)
{
    struct Case {
        const char* name;
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"CRLF with blank line", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"no final break", "a\r\nb", {"a", "b"}},
        {"CR only", "a\rb\r", {"a", "b"}},
        {"LF only", "a\nb\n", {"a", "b"}},
        {"mixed", "a\n\rb\r\r\nc", {"a", "", "b", "", "c"}},
        {"lone break is one empty line", "\r\n", {""}},
        {"two breaks", "\n\n", {"", ""}},
        {"blanks kept", " x \r\n\t", {" x ", "\t"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList l;
        l.Add("old", &l);
        l.SetText(c.text);
        EXPECT_EQ(l.ToQStringList(), c.lines);
        for (int i = 0; i < l.Count(); ++i)
            EXPECT_EQ(l.Objects(i), nullptr);
    }
}

TEST(StringList, TextEndsEveryLineWithCrLf)
{
    TStringList l;
    EXPECT_EQ(l.Text(), QString());
    l.Assign({"a", "", "b"});
    EXPECT_EQ(l.Text(), "a\r\n\r\nb\r\n");
    TStringList back;
    back.SetText(l.Text());
    EXPECT_EQ(back.ToQStringList(), l.ToQStringList());
}

TEST(StringList, EditingAndCheckedIndexes)
{
    int one = 1, two = 2;
    TStringList l;
    EXPECT_EQ(l.Add("b", &two), 0);
    l.Insert(0, "a", &one);
    l.Insert(2, "c");
    EXPECT_EQ(l.ToQStringList(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(l.Objects(0), &one);
    EXPECT_EQ(l.IndexOfObject(&two), 1);
    l.SetString(2, "C");
    l.SetObject(2, &one);
    EXPECT_EQ(l.Strings(2), "C");
    l.Delete(0);
    EXPECT_EQ(l.ToQStringList(), QStringList({"b", "C"}));
    EXPECT_EQ(l.Objects(1), &one);

    EXPECT_THROW(l.Strings(2), std::out_of_range);
    EXPECT_THROW(l.Strings(-1), std::out_of_range);
    EXPECT_THROW(l.Objects(2), std::out_of_range);
    EXPECT_THROW(l.SetString(5, "x"), std::out_of_range);
    EXPECT_THROW(l.Delete(2), std::out_of_range);
    EXPECT_THROW(l.Insert(3, "x"), std::out_of_range);
    EXPECT_EQ(l.ToQStringList(), QStringList({"b", "C"}));
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}

TEST(StringList, IndexOfHonoursCaseSensitive)
{
    TStringList l;
    l.Assign({"Alpha", "beta"});
    EXPECT_EQ(l.IndexOf("ALPHA"), 0);
    EXPECT_EQ(l.IndexOf("Beta"), 1);
    EXPECT_EQ(l.IndexOf("gamma"), -1);
    l.CaseSensitive = true;
    EXPECT_EQ(l.IndexOf("ALPHA"), -1);
    EXPECT_EQ(l.IndexOf("Alpha"), 0);
}

TEST(StringList, SortedListsKeepOrderAndIgnoreEqualLines)
{
    int obj = 0;
    TStringList l;
    l.Sorted = true;
    l.Add("pear");
    l.Add("Apple");
    l.Add("banana", &obj);
    EXPECT_EQ(l.ToQStringList(), QStringList({"Apple", "banana", "pear"}));
    // Equal ignoring case: the first stays, and Add answers its index.
    EXPECT_EQ(l.Add("APPLE"), 0);
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Objects(1), &obj);
    EXPECT_THROW(l.Insert(0, "x"), std::logic_error);
    EXPECT_THROW(l.SetString(0, "x"), std::logic_error);

    l.Duplicates = TDuplicates::Accept;
    EXPECT_EQ(l.Add("apple"), 1);
    l.Duplicates = TDuplicates::Error;
    EXPECT_THROW(l.Add("Pear"), std::invalid_argument);
    EXPECT_EQ(l.ToQStringList(), QStringList({"Apple", "apple", "banana", "pear"}));

    TStringList cs;
    cs.Sorted = true;
    cs.CaseSensitive = true;
    cs.Assign({"b", "B", "a", "b"});
    EXPECT_EQ(cs.ToQStringList(), QStringList({"B", "a", "b"}));
}

TEST(StringList, SortIsStableAndCaseAware)
{
    int first = 1, second = 2;
    TStringList l;
    l.Add("b");
    l.Add("A", &first);
    l.Add("c");
    l.Add("a", &second);
    l.Sort();
    EXPECT_EQ(l.ToQStringList(), QStringList({"A", "a", "b", "c"}));
    EXPECT_EQ(l.Objects(0), &first);
    EXPECT_EQ(l.Objects(1), &second);
}

TEST(StringList, StreamsSaveCrLfTextAndLoadEitherEncoding)
{
    TStringList l;
    l.Assign({"Größe", "", "x"});
    TMemoryStream s;
    s.WriteByte(0xAA);
    l.SaveToStream(s);
    EXPECT_EQ(s.Data().mid(1), QByteArray("Gr\xC3\xB6\xC3\x9F" "e\r\n\r\nx\r\n"));

    s.SetPosition(1);
    TStringList back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.ToQStringList(), l.ToQStringList());
    EXPECT_EQ(s.Remaining(), 0);

    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"1252 CR only", "Gr\xF6\xDF" "e\r\x80", {QStringLiteral("Größe"), QStringLiteral("\u20AC")}},
        {"UTF-8 with byte order mark", "\xEF\xBB\xBF" "a\nb", {"a", "b"}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream in;
        in.SetData(c.bytes);
        TStringList got;
        got.Add("old");
        got.LoadFromStream(in);
        EXPECT_EQ(got.ToQStringList(), c.lines);
    }
}

TEST(StringList, WriteLinesAndReadLines)
{
    TStringList l;
    l.Assign({"SELECT *", "FROM t"});
    TStringList empty;
    TMemoryStream s;
    WriteLines(s, &l);
    WriteLines(s, nullptr);
    WriteLines(s, &empty);
    EXPECT_EQ(s.Data(), QByteArray("\x12\0\0\0SELECT *\r\nFROM t\r\n", 22) + QByteArray(8, '\0'));

    s.SetPosition(0);
    TStringList got;
    got.Add("stale");
    ReadLines(s, got);
    EXPECT_EQ(got.ToQStringList(), l.ToQStringList());
    // A zero count leaves the lines as they were.
    ReadLines(s, got);
    ReadLines(s, got);
    EXPECT_EQ(got.ToQStringList(), l.ToQStringList());
    EXPECT_EQ(s.Remaining(), 0);

    TMemoryStream neg;
    neg.WriteInt32(-1);
    neg.SetPosition(0);
    ReadLines(neg, got);
    EXPECT_EQ(neg.Position(), 4);
    EXPECT_EQ(got.Count(), 2);
}

TEST(StringList, ReadLinesPastTheEndThrowsAndLeavesEverything)
{
    for (qint32 n : {3, 0x7FFFFFFF}) {
        SCOPED_TRACE(n);
        TMemoryStream s;
        s.WriteByte(0);
        s.WriteInt32(n);
        s.WriteBytes("ab");
        s.SetPosition(1);
        TStringList lines;
        lines.Add("kept");
        EXPECT_THROW(ReadLines(s, lines), EStreamError);
        EXPECT_EQ(s.Position(), 1);
        EXPECT_EQ(lines.ToQStringList(), QStringList({"kept"}));
    }
}

TEST(StringList, FilesRoundTripAndMissingFileRaises)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TStringList l;
    l.Assign({"eins", "", "drei"});
    l.SaveToFile(dir.filePath("l.txt"));
    TStringList back;
    back.LoadFromFile(dir.filePath("l.txt"));
    EXPECT_EQ(back.ToQStringList(), l.ToQStringList());

    EXPECT_THROW(back.LoadFromFile(dir.filePath("missing.txt")), EStreamError);
    EXPECT_EQ(back.ToQStringList(), l.ToQStringList());
}
