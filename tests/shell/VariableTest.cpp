#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/KindInfo.h"
#include "shell/Variable.h"
#include <gtest/gtest.h>

TEST(Variable, StartValues)
{
    InitVariables("/opt/kivo");
    EXPECT_EQ(WorkDir, QStringLiteral("/opt/kivo/"));
    EXPECT_EQ(GridStep, 20);
    EXPECT_TRUE(SnapToGrid);
    EXPECT_EQ(ZoomFactor, 1.0);
    EXPECT_EQ(DesignerColor, clInfoBk);
    EXPECT_EQ(DrawRect, (TDrawRect{0, 0, 10, 10, 0, 0, 0, 0}));
    EXPECT_EQ(PendingKind, NoPendingKind);
    EXPECT_EQ(SpaceStrings[29], QString(29, ' '));
    EXPECT_EQ(SpaceStrings[0], QString());
    EXPECT_EQ(HelpFileName, QStringLiteral("Pellumin Help 5  8  2002.hlp"));
}

TEST(Variable, ParseNumberKeepsDigitsAndEitherSeparator)
{
    const struct { const char* text; double expected; } cases[] = {
        {"12,5", 12.5}, {"12.5", 12.5}, {"a1b2", 12.0}, {"abc", 60.0}, {"1.2.3", 60.0}, {"", 60.0},
        {"10 mm", 10.0}, {"-7", 7.0}, {",5", 0.5}};
    for (const char sep : {'.', ','}) {
        FormatSettings().DecimalSeparator = sep;
        for (const auto& c : cases)
            EXPECT_DOUBLE_EQ(ParseNumber(c.text), c.expected) << c.text << " with separator " << sep;
    }
}

TEST(Variable, LineAngleInScreenCoordinates)
{
    const struct { TPoint a, b; double expected; } cases[] = {
        {{0, 0}, {10, -10}, 45}, {{0, 0}, {10, 10}, 315}, {{0, 0}, {-10, 0}, 180}, {{0, 0}, {0, 0}, 270},
        {{0, 0}, {0, -5}, 90}, {{0, 0}, {0, 5}, 270}, {{0, 0}, {10, 0}, 0}, {{0, 0}, {-10, -10}, 135},
        {{0, 0}, {-10, 10}, 225}, {{5, 5}, {15, 5}, 0}};
    for (const auto& c : cases)
        EXPECT_NEAR(LineAngle(c.a, c.b), c.expected, 1e-9) << c.b.X << "," << c.b.Y;
}

TEST(Variable, QuadrantsAndAngleQuadrants)
{
    const TPoint o{10, 10};
    const struct { TPoint p; int q; } cases[] = {
        {{20, 0}, 1}, {{10, 0}, 1}, {{0, 0}, 2}, {{0, 10}, 3}, {{0, 20}, 3}, {{20, 20}, 4}, {{10, 10}, 4}, {{20, 10}, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(Quadrant(o, c.p), c.q) << c.p.X << "," << c.p.Y;
    const struct { double deg; int q; } angles[] = {{0, 1}, {90, 1}, {90.5, 2}, {180, 2}, {270, 3}, {271, 4}, {-1, 4}};
    for (const auto& a : angles)
        EXPECT_EQ(AngleQuadrant(a.deg * M_PI / 180.0), a.q) << a.deg;
}

TEST(Variable, GeometryHelpers)
{
    EXPECT_DOUBLE_EQ(PointDistance({0, 0}, {3, 4}), 5.0);
    EXPECT_DOUBLE_EQ(PointLineDistance({0, 5}, {0, 0}, {10, 0}), 5.0);
    EXPECT_DOUBLE_EQ(PointLineDistance({5, 5}, {0, 0}, {10, 10}), 0.0);
    EXPECT_DOUBLE_EQ(PointLineDistance({3, 4}, {0, 0}, {0, 0}), 5.0); // no division by zero
    const TDrawRect n = NormalizeRect(TDrawRect{0, 0, 0, 0, 50, 40, 10, 20});
    EXPECT_EQ(n, (TDrawRect{10, 20, 50, 40, 10, 20, 50, 40}));
}

TEST(Variable, CopyCharsAndBoolText)
{
    const QString name = "Report.KvR"; // ten characters
    EXPECT_EQ(CopyChars(name, 0, 5), QStringLiteral("Report"));
    EXPECT_EQ(CopyChars(name, 0, name.size() - 5), QStringLiteral("Report"));
    EXPECT_EQ(CopyChars("abc", 0, 5), QString());
    EXPECT_EQ(CopyChars("abcdef", 2, 3), QStringLiteral("cd"));
    EXPECT_EQ(BoolText(true), QStringLiteral("true"));
    EXPECT_EQ(BoolText(false), QStringLiteral("false"));
}

TEST(Variable, DecodeDatePartsNamedCases)
{
    const struct { QDate d; int year, week, quarter, dow; } cases[] = {
        {{2005, 1, 1}, 2005, 53, 1, 7}, {{2002, 12, 31}, 2002, 1, 4, 3}, {{2003, 12, 29}, 2003, 1, 4, 2},
        {{2004, 12, 31}, 2004, 53, 4, 6}, {{2024, 7, 15}, 2024, 29, 3, 2}};
    for (const auto& c : cases) {
        TDateParts p;
        DecodeDateParts(DateToDateTime(c.d), p);
        EXPECT_EQ(p.Year, c.year) << c.d.toString().toStdString();
        EXPECT_EQ(p.Week, c.week) << c.d.toString().toStdString();
        EXPECT_EQ(p.Quarter, c.quarter) << c.d.toString().toStdString();
        EXPECT_EQ(p.DayOfWeek, c.dow) << c.d.toString().toStdString();
        EXPECT_EQ(p.Month, c.d.month());
    }
}

TEST(Variable, DecodeDatePartsMatchesIsoWeeksForEveryDay)
{
    for (QDate d(1990, 1, 1); d <= QDate(2040, 12, 31); d = d.addDays(1)) {
        TDateParts p;
        DecodeDateParts(DateToDateTime(d) + 0.75, p); // the time of day changes nothing
        ASSERT_EQ(p.Week, d.weekNumber()) << d.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(p.Quarter, (d.month() + 2) / 3);
        ASSERT_EQ(p.DayOfWeek, d.dayOfWeek() % 7 + 1);
    }
}

TEST(Variable, MillimetreConversionsRoundToWholeValues)
{
    FormPixelsPerMmX = FormPixelsPerMmY = 96 / 25.4;
    EXPECT_EQ(MmToPixelsX(10), 38.0);  // 37.795...
    EXPECT_EQ(MmToPixelsY(25.4), 96.0);
    EXPECT_EQ(PixelsToMmX(96), 25.0);  // 25.4
    EXPECT_EQ(PixelsToMmY(38), 10.0);
}

TEST(Variable, CopyFontScaledScalesTheSize)
{
    TScreen::Override(96, 1024, 768);
    TFont src;
    src.Name = "DejaVu Sans";
    src.SetSize(10);
    src.Bold = true;
    src.Color = clRed;
    TFont dst;
    ZoomFactor = 1.5;
    CopyFontScaled(dst, src);
    EXPECT_EQ(dst.Size(), 15);
    EXPECT_TRUE(dst.Bold);
    EXPECT_EQ(dst.Color, clRed);
    EXPECT_EQ(dst.Name, src.Name);
    ZoomFactor = 1.0;
    TScreen::ClearOverride();
}

TEST(Variable, PrinterMetricsWithoutPrinterWarnAndUseTheA4Fallback)
{
    TScreen::Override(96, 1024, 768);
    TPrinter::Get().Reset();
    TakePrinterMetrics();
    EXPECT_EQ(ScriptedDialogs()->Texts(), QStringList{NoPrinterWarning});
    EXPECT_EQ(NoPrinterWarning, QStringLiteral("Kein Drucker vorhanden, 180dpi/ A4 wird gewählt !"));
    EXPECT_EQ(PrinterDpiX, 180);
    EXPECT_EQ(PageWidthDots, 1488);
    EXPECT_EQ(PageHeightDots, 2104);
    EXPECT_EQ(PrintMargins, TRect(34, 34, 34, 34));
    EXPECT_EQ(PrintableWidthDots, 1488 - 68);
    EXPECT_EQ(PrintableHeightDots, 2104 - 68);
    EXPECT_DOUBLE_EQ(ScreenPerPrinterX, 96.0 / 180.0);
    EXPECT_DOUBLE_EQ(PixelsPerMmX, 96.0 / 25.4);
    EXPECT_EQ(PageHeightPixels, RoundHalfEven(2036 * 96.0 / 180.0));
    TScreen::ClearOverride();
}

TEST(KindInfo, DescriptorBytesRoundTrip)
{
    EXPECT_EQ(KindTable().size(), 33u);
    for (const TKindInfo& k : KindTable()) {
        const QByteArray b = k.ToBytes();
        ASSERT_EQ(b.size(), 32);
        TKindInfo back;
        ASSERT_TRUE(TKindInfo::FromBytes(b, back));
        EXPECT_EQ(back, k);
    }
    const QByteArray label = KindByCode(kcLabel).ToBytes();
    const QByteArray expected = QByteArray("\x05Label", 6) + QByteArray(18, '\0') +
                                QByteArray("\x0b\x00\x00\x00\x01\x01\x00\x00", 8);
    EXPECT_EQ(label.toHex(), expected.toHex());
    EXPECT_EQ(KindByCode(kcColPanel).Name, QStringLiteral("Row_ColPanel"));
    EXPECT_EQ(KindByCode(12345).Code, 0);
    TKindInfo bad;
    EXPECT_FALSE(TKindInfo::FromBytes(QByteArray(32, '\x30'), bad)); // name length 48
}
