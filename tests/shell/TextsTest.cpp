#include "shell/Texts.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

int NonEmptyTexts()
{
    int count = 0;
    for (int n = 0; n < TextCount; ++n)
        if (!Texts(n).isEmpty())
            ++count;
    return count;
}

// Taken during static initialisation, before main() and before any test can fill the table.
const int TextsSetAtStart = NonEmptyTexts();

} // namespace

TEST(Texts, TableIsEmptyUntilDefaultsAreFilled)
{
    EXPECT_EQ(TextsSetAtStart, 0);
}

TEST(Texts, DefaultsAreExactToTheByte)
{
    FillTextDefaults();
    struct Case {
        int n;
        const char* utf8;
    };
    const Case cases[] = {
        {0, "Serialprint"},
        {7, "Displaytime "},
        {91, "Distance  vert."},
        {113, "--- All Groups ---"},
        {122, "bin\xC3\xA4r"},
        {155, " stored successfully"},
        {165, "Font Size|Select font size"},
        {229, "s wrapped text to a strin"},
        {274, "- No Datafield -"},
        {330, "Groupfooter "},
        {341, "Database Aaias:"},
        {344, "Query "},
        {400, "support@kivotek.example"},
        {421, "Sorterror"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Texts(c.n).toUtf8(), QByteArray(c.utf8)) << "text " << c.n;
    // 122 holds one non-ASCII letter, not two mis-decoded bytes.
    EXPECT_EQ(Texts(122).size(), 5);
}

TEST(Texts, EntriesWithoutDefaultReadEmpty)
{
    FillTextDefaults();
    for (int n : {81, 82, 131, 219, 223, 287, 352, 353, 419, 422, 423, 500})
        EXPECT_TRUE(Texts(n).isEmpty()) << "text " << n;
    // 334 listed defaults plus the support address; anything else is a slip in the table.
    EXPECT_EQ(NonEmptyTexts(), 335);
}

TEST(Texts, FillingAgainRestoresDefaultsAndClearsTheClearedEntries)
{
    FillTextDefaults();
    SetText(158, QStringLiteral("Falsche Version!"));
    SetText(81, QStringLiteral("leftover"));
    SetText(220, QStringLiteral("leftover"));
    EXPECT_EQ(Texts(158), QStringLiteral("Falsche Version!"));
    FillTextDefaults();
    EXPECT_EQ(Texts(158), QStringLiteral("Bad version!"));
    EXPECT_TRUE(Texts(81).isEmpty());
    EXPECT_TRUE(Texts(220).isEmpty());
}

TEST(Texts, OutOfRangeIndexReadsEmptyAndIsNeverWritten)
{
    FillTextDefaults();
    for (int n : {-1, TextCount, TextCount + 1, INT_MIN, INT_MAX}) {
        SetText(n, QStringLiteral("x"));
        EXPECT_TRUE(Texts(n).isEmpty()) << "index " << n;
    }
    // The neighbours inside the table are untouched.
    EXPECT_EQ(Texts(0), QStringLiteral("Serialprint"));
    EXPECT_TRUE(Texts(TextCount - 1).isEmpty());
}
