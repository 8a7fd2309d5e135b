#include "platform/Canvas.h"
#include "platform/Panel.h"
#include "platform/Printer.h"
#include "platform/Dialogs.h"
#include <QImage>
#include <QTemporaryDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
QImage WhiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}
} // namespace

TEST(Canvas, RectangleCoversLeftToRightMinusOne)
{
    QImage img = WhiteImage(20, 20);
    {
        TCanvas c(&img, TCanvasKind::Surface);
        c.Pen.Color = clRed;
        c.Brush.Color = clBlue;
        c.Rectangle(2, 3, 12, 9);
    }
    EXPECT_EQ(img.pixelColor(2, 3), QColor(Qt::red));    // outline corner
    EXPECT_EQ(img.pixelColor(11, 8), QColor(Qt::red));   // last outline pixel
    EXPECT_EQ(img.pixelColor(12, 9), QColor(Qt::white)); // right/bottom are exclusive
    EXPECT_EQ(img.pixelColor(6, 6), QColor(Qt::blue));   // fill
    EXPECT_EQ(img.pixelColor(1, 3), QColor(Qt::white));
}

TEST(Canvas, FillRectAndClearBrush)
{
    QImage img = WhiteImage(10, 10);
    TCanvas c(&img, TCanvasKind::Surface);
    c.Brush.Color = clGreen;
    c.FillRect(TRect(0, 0, 5, 5));
    c.Brush.Style = bsClear;
    c.Brush.Color = clRed;
    c.FillRect(TRect(0, 0, 10, 10));
    EXPECT_EQ(c.Pixel(4, 4), QColor(0, 128, 0));
    EXPECT_EQ(c.Pixel(5, 5), QColor(Qt::white));
}

TEST(Canvas, HatchDrawsLinesOnTheBackgroundColour)
{
    QImage img = WhiteImage(16, 16);
    TCanvas c(&img, TCanvasKind::Surface);
    c.Brush.Color = clBlack;
    c.Brush.Style = bsHorizontal;
    c.BackgroundColor = clYellow;
    c.FillRect(TRect(0, 0, 16, 16));
    int black = 0, yellow = 0;
    for (int y = 0; y < 16; ++y) {
        const QColor p = c.Pixel(5, y);
        black += p == QColor(Qt::black);
        yellow += p == QColor(Qt::yellow);
    }
    EXPECT_GT(black, 0);
    EXPECT_GT(yellow, black);
    EXPECT_EQ(black + yellow, 16);
}

TEST(Canvas, NotXorOutlineDrawnTwiceVanishes)
{
    QImage img = WhiteImage(30, 30);
    img.setPixelColor(10, 5, Qt::red);
    const QImage before = img.copy();
    TCanvas c(&img, TCanvasKind::Surface);
    c.Pen.Mode = TPenMode::pmNotXor;
    c.Brush.Style = bsClear;
    c.Rectangle(5, 5, 25, 25);
    EXPECT_NE(c.Pixel(5, 10), QColor(Qt::white));
    c.Rectangle(5, 5, 25, 25);
    c.EndPaint();
    EXPECT_EQ(img, before);
}

TEST(Canvas, ClipRectLimitsPainting)
{
    QImage img = WhiteImage(20, 20);
    TCanvas c(&img, TCanvasKind::Surface);
    c.SetClipRect(TRect(0, 0, 10, 10));
    c.Brush.Color = clRed;
    c.FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(c.Pixel(9, 9), QColor(Qt::red));
    EXPECT_EQ(c.Pixel(10, 10), QColor(Qt::white));
}

TEST(Printer, WithoutSystemPrinterIsA4PdfAt180Dpi)
{
    TPrinter& p = TPrinter::Get();
    p.Reset();
    ASSERT_FALSE(p.HasPrinters()) << "this test expects a machine without printers";
    EXPECT_TRUE(p.IsPdf());
    EXPECT_EQ(p.DpiX(), 180);
    EXPECT_EQ(p.PageWidthDots(), 1488);
    EXPECT_EQ(p.PageHeightDots(), 2104);
    QTemporaryDir dir;
    const QString file = dir.filePath("out.pdf");
    p.SetOutputFile(file);
    ASSERT_TRUE(p.BeginDoc("doc"));
    // The PDF page holds the whole 1488 x 2104 page (PDF sizes are whole points: 2105 rows).
    EXPECT_EQ(p.Canvas()->Device()->width(), 1488);
    EXPECT_GE(p.Canvas()->Device()->height(), 2104);
    EXPECT_LE(p.Canvas()->Device()->height(), 2105);
    p.Canvas()->Brush.Color = clBlack;
    p.Canvas()->FillRect(TRect(100, 100, 400, 300));
    ASSERT_TRUE(p.NewPage());
    EXPECT_EQ(p.PageNumber(), 2);
    ASSERT_TRUE(p.EndDoc());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 2);
}

TEST(Printer, PdfWithoutFileAsksAndCancelStopsTheDocument)
{
    TPrinter& p = TPrinter::Get();
    p.Reset();
    ScriptedDialogs()->QueueCancel();
    EXPECT_FALSE(p.BeginDoc("doc"));
    EXPECT_FALSE(p.Printing());
}

TEST(Panel, ClientAlignedPanelFillsWhatTheEdgesLeave)
{
    QWidget parent;
    parent.resize(300, 200);
    TPanel top(nullptr, &parent), client(nullptr, &parent);
    top.SetHeight(30);
    top.SetAlign(TAlign::alTop);
    client.SetAlign(TAlign::alClient);
    parent.show();
    EXPECT_EQ(top.BoundsRect(), TRect(0, 0, 300, 30));
    EXPECT_EQ(client.BoundsRect(), TRect(0, 30, 300, 200));
    parent.resize(400, 250);
    EXPECT_EQ(client.BoundsRect(), TRect(0, 30, 400, 250));
}

TEST(Panel, ColourThirtyChangesNothing)
{
    TPanel p(nullptr, nullptr);
    p.SetColor(clRed);
    p.SetColor(NoColorChange);
    EXPECT_EQ(p.Color(), clRed);
}
