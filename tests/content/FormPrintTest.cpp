// A form painted onto the printer's canvas (the PDF printer) gives the design at printer
// resolution: shapes and texts stand where the design puts them.
#include "content/DynGraphik.h"
#include "content/DynLabel.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString Tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}
} // namespace

TEST(FormPrint, ShapesAndTextsLandWhereTheDesignPutsThem)
{
    if (Tool("pdftoppm").isEmpty() || Tool("pdftotext").isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    InitVariables(dir.path());
    FillTextDefaults();
    TScreen::Override(96, 1280, 1024);
    TPrinter::Get().Reset();
    TakePrinterMetrics();
    ScriptedDialogs()->Reset();
    QWidget host;
    host.resize(1000, 800);
    TDYNProject project(nullptr, &host);
    TDynDBForm* form = project.NewForm();
    CurrentForm = form;
    // A filled black rectangle at (96, 192) of 96 x 48 logical pixels: one inch from the left.
    DrawRect = TDrawRect{0, 0, 0, 0, 96, 192, 192, 240};
    auto* box = new TDynGraphik(form, form, gsRectangle);
    form->Children->InsertGraphic(box);
    box->SetColor(clBlack);
    box->UpdateLayout();
    // A line from (300, 400) to (500, 400).
    DrawRect = TDrawRect{0, 0, 0, 0, 300, 400, 500, 400};
    auto* line = new TDynGraphik(form, form, gsLine);
    form->Children->InsertGraphic(line);
    line->SetLineWidth(4);
    line->UpdateLayout();
    // A label with a word to find.
    DrawRect = TDrawRect{0, 0, 0, 0, 96, 600, 400, 640};
    auto* label = new TDynLabel(form, form);
    form->Children->Add(label);
    label->SetText(QStringLiteral("Quarterly"));
    label->show();
    form->UpdateLayout();

    const QString pdf = dir.filePath("form.pdf");
    TPrinter& printer = TPrinter::Get();
    printer.SetOutputFile(pdf);
    ASSERT_TRUE(printer.BeginDoc("form"));
    form->PaintTo(*printer.Canvas());
    ASSERT_TRUE(printer.EndDoc());

    QProcess text;
    text.start(Tool("pdftotext"), {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_TRUE(text.readAllStandardOutput().contains("Quarterly"));

    QProcess render;
    render.start(Tool("pdftoppm"), {"-r", "180", "-png", "-singlefile", pdf, dir.filePath("page")});
    ASSERT_TRUE(render.waitForFinished(60000));
    QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    const double s = 180.0 / 96.0; // printer dots per logical pixel
    auto dark = [&](double x, double y) { return page.pixelColor(int(x * s), int(y * s)).lightness() < 100; };
    EXPECT_TRUE(dark(144, 216)) << "inside the filled rectangle";
    EXPECT_TRUE(dark(100, 196));
    EXPECT_FALSE(dark(80, 216)) << "left of the rectangle";
    EXPECT_FALSE(dark(144, 260)) << "below the rectangle";
    EXPECT_TRUE(dark(400, 400)) << "on the line";
    EXPECT_FALSE(dark(400, 420)) << "beside the line";
    // The text is printed inside the label's frame.
    bool inkInLabel = false;
    for (int y = 600; y < 640 && !inkInLabel; ++y)
        for (int x = 96; x < 400 && !inkInLabel; ++x)
            inkInLabel = dark(x, y);
    EXPECT_TRUE(inkInLabel);
    TScreen::ClearOverride();
}
