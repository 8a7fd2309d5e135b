#include "platform/Color.h"
#include "platform/Component.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/Types.h"
#include <gtest/gtest.h>

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const struct { double x; int expected; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {16.5, 16}, {-0.5, 0}, {-1.5, -2}, {20.67, 21}, {2.49, 2}, {-2.51, -3}, {7.0, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.x), c.expected) << c.x;
}

TEST(Color, ConversionsAndSystemColours)
{
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clNavy), QColor(0, 0, 128));
    EXPECT_EQ(ToQColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGBColor(10, 20, 30));
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_EQ(static_cast<quint32>(clInfoBk), 0x80000018u);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ToQColor(clInfoBk), QColor(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clSilver), 0xC0C0C0);
}

TEST(DateTime, RoundTripsAndKnownValues)
{
    // 20 September 2002, the designer's version date.
    EXPECT_DOUBLE_EQ(DateToDateTime(QDate(2002, 9, 20)), 37519.0);
    EXPECT_DOUBLE_EQ(DateToDateTime(QDate(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(DateToDateTime(QDate(1900, 1, 1)), 2.0);
    const QDateTime noon(QDate(2024, 2, 29), QTime(12, 0));
    EXPECT_DOUBLE_EQ(QDateTimeToDateTime(noon), DateToDateTime(QDate(2024, 2, 29)) + 0.5);
    for (const QDateTime& dt : {noon, QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999)),
                                QDateTime(QDate(2031, 1, 1), QTime(0, 0))})
        EXPECT_EQ(DateTimeToQDateTime(QDateTimeToDateTime(dt)), dt);
    EXPECT_EQ(DayOfWeek(DateToDateTime(QDate(2005, 1, 1))), 7); // a Saturday
    EXPECT_EQ(DayOfWeek(DateToDateTime(QDate(2024, 6, 2))), 1); // a Sunday
    TDateTime v = 5;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, v));
    EXPECT_EQ(v, 5);
}

TEST(FormatSettings, FloatTextsFollowTheDecimalSeparator)
{
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(" 12.5 ", v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_FALSE(TryStrToFloat("12,5", v));
    FormatSettings().DecimalSeparator = ',';
    EXPECT_TRUE(TryStrToFloat("12,5", v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_FALSE(TryStrToFloat("12.5", v));
    EXPECT_EQ(FloatToStr(0.25), QStringLiteral("0,25"));
    EXPECT_FALSE(TryStrToFloat("", v));
    EXPECT_FALSE(TryStrToFloat("1e999", v));
}

TEST(Component, OwnerRegistryCountsAndForgets)
{
    TComponent owner;
    {
        TComponent a(&owner), b(&owner);
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(owner.Components(1), &b);
        EXPECT_EQ(b.ComponentIndex(), 1);
    }
    EXPECT_EQ(owner.ComponentCount(), 0);
    auto* orphan = new TComponent(nullptr);
    {
        TComponent temp;
        orphan->SetOwner(&temp);
        EXPECT_EQ(temp.ComponentCount(), 1);
    } // the owner goes first: the component stays alive and forgets it
    EXPECT_EQ(orphan->Owner(), nullptr);
    delete orphan;
}

TEST(ScriptedDialogs, RecordsTextsAndAnswersFromTheQueue)
{
    TScriptedDialogs d;
    EXPECT_EQ(d.MessageDlg("plain", TMsgDlgType::Information, mbOK), mrOk); // needs no answer
    d.QueueResult(mrNo);
    EXPECT_EQ(d.MessageDlg("Save?", TMsgDlgType::Confirmation, mbYesNoCancel), mrNo);
    d.QueueText("typed");
    QString value = "old";
    EXPECT_TRUE(d.InputQuery("c", "prompt", value));
    EXPECT_EQ(value, "typed");
    TFileDialogRequest r;
    r.Title = "open";
    d.QueueCancel();
    EXPECT_FALSE(d.OpenFile(r));
    EXPECT_TRUE(d.Unexpected().isEmpty());
    // Nothing queued: answered with Cancel and reported.
    EXPECT_EQ(d.MessageDlg("surprise", TMsgDlgType::Confirmation, mbYesNoCancel), mrCancel);
    EXPECT_EQ(d.Unexpected(), QStringList{"surprise"});
    EXPECT_EQ(d.Texts(), (QStringList{"plain", "Save?", "prompt", "open", "surprise"}));
}

TEST(ScriptedDialogs, FilterTextsBecomeQtFilters)
{
    EXPECT_EQ(ToQtFilter("Objectfiles (*.KvO)|*.KvO|All files (*.*)|*.*"),
              QStringLiteral("Objectfiles (*.KvO);;All files (*.*)"));
    EXPECT_EQ(ToQtFilter("Pictures|*.BMP;*.JPG"), QStringLiteral("Pictures (*.BMP *.JPG)"));
}
