#include "content/Header.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/DynMultiPanel.h"
#include "objects/DynRichEdit.h"
#include "objects/RScrollBox.h"
#include "platform/Dialogs.h"
#include "platform/MemoryStream.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class Projects : public testing::Test {
protected:
    void SetUp() override
    {
        InitVariables(dir.path());
        FillTextDefaults();
        DesignerVersion = {QStringLiteral("beta"), 0.1, DateToDateTime(QDate(2002, 9, 20))};
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        TakePrinterMetrics(); // A4 at 180 dpi
        ScriptedDialogs()->Reset();
        host = std::make_unique<QWidget>();
        host->resize(1000, 700);
    }
    void TearDown() override
    {
        host.reset();
        TDynForm::HostAreaProvider() = nullptr;
        TScreen::ClearOverride();
    }
    QByteArray ReadFile(const QString& f)
    {
        QFile file(f);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Two forms, nested containers, formatted rich text, header and footer switched on.
    void BuildSample(TDYNProject& p)
    {
        TDynDBForm* f1 = p.NewForm();
        DrawRect = TDrawRect{0, 0, 0, 0, 40, 60, 440, 360};
        auto* outer = new TDynRichEdit(f1, f1); // the designer's "Panel"
        f1->Children->Add(outer);
        outer->show();
        DrawRect = TDrawRect{0, 0, 0, 0, 20, 20, 220, 120};
        auto* text = new TDynRichEdit(f1, outer);
        outer->Children->Add(text);
        text->show();
        text->EnsureRichText()->setHtml("<p><b>Bold</b> and <i>italic</i> <span style='color:#ff0000'>red</span></p>");
        text->LayoutLines();
        f1->Header->ToggleOn();
        f1->HeaderOn = true;
        f1->Footer->ToggleOn();
        f1->FooterOn = true;
        p.NewForm();
    }
    QTemporaryDir dir;
    std::unique_ptr<QWidget> host;
};
} // namespace

TEST_F(Projects, FormPageFollowsThePrinterPage)
{
    PageWidthDots = 2480;
    PageHeightDots = 3508;
    PrinterDpiX = PrinterDpiY = 300;
    TDYNProject p(nullptr, host.get());
    TDynDBForm* f = p.NewForm();
    EXPECT_EQ(f->pwidth, 794);
    EXPECT_EQ(f->pheight, 1123);
    EXPECT_EQ(f->Name, QStringLiteral("Form 1"));
    EXPECT_EQ(f->Header->Name, QStringLiteral("Form 1 Header"));
    EXPECT_EQ(f->Footer->Name, QStringLiteral("Form 1 Footer"));
    EXPECT_EQ(p.PageControl->tabText(0), QStringLiteral("Form 1"));
    EXPECT_EQ(CurrentForm, f);
}

TEST_F(Projects, ZoomFitsThePageAndIsLimited)
{
    PageWidthDots = 2480;
    PageHeightDots = 3508;
    PrinterDpiX = PrinterDpiY = 300;
    TDynForm::HostAreaProvider() = [] { return QSize(804, 600); }; // 800 x 600 after the 4-pixel allowance
    TDYNProject p(nullptr, host.get());
    TDynDBForm* f = p.NewForm();
    f->SetZoom(0);
    EXPECT_NEAR(f->ZoomPercent, 46.1, 0.01); // 600 / 1123 x 1.05 - 0.1
    EXPECT_EQ(f->Width(), static_cast<int>(794 * 0.461));
    f->SetZoom(9); // "250"
    EXPECT_NEAR(f->ZoomPercent, 211.80, 0.01);
    f->SetZoom(ZoomItem100);
    EXPECT_EQ(f->Width(), 794);
    EXPECT_EQ(f->pwidth, 794); // logical values survive the zoom changes
}

TEST_F(Projects, SerialPrintToggledTwiceLeavesGroupPrintOn)
{
    TDYNProject p(nullptr, host.get());
    TDynDBForm* f = p.NewForm();
    f->ToggleSerialPrint();
    f->ToggleSerialPrint();
    EXPECT_FALSE(f->SerialPrint);
    EXPECT_TRUE(f->GroupPrint);
}

TEST_F(Projects, SaveIntoMissingDirectoryNamesItAndWritesNothing)
{
    TDYNProject p(nullptr, host.get());
    p.NewForm();
    const QString missing = dir.filePath("nowhere");
    EXPECT_FALSE(p.SaveProject(missing + "/x.KvR"));
    EXPECT_EQ(ScriptedDialogs()->LastText(), QStringLiteral("Dir") + missing + QStringLiteral(" dont exist!"));
    EXPECT_FALSE(QFile::exists(missing + "/x.KvR"));
}

TEST_F(Projects, FileHeaderAndStableBytesOverSaveLoadSave)
{
    const QString a = dir.filePath("a.KvR"), b = dir.filePath("b.KvR");
    {
        TDYNProject p(nullptr, host.get());
        BuildSample(p);
        ASSERT_TRUE(p.SaveProject(a));
    }
    const QByteArray first = ReadFile(a);
    TMemoryStream s;
    s.SetData(first);
    EXPECT_DOUBLE_EQ(s.ReadDouble(), 0.1);
    EXPECT_DOUBLE_EQ(s.ReadDouble(), 37519.0);
    {
        TDYNProject p(nullptr, host.get());
        ASSERT_TRUE(p.LoadProject(a));
        ASSERT_EQ(p.FormCount(), 2);
        TDynDBForm* f1 = p.Form(0);
        EXPECT_TRUE(f1->HeaderOn);
        EXPECT_TRUE(f1->FooterOn);
        ASSERT_EQ(f1->Children->Count(), 3); // header, footer, the outer panel
        TDynPanel* outer = f1->Children->Panel(2);
        ASSERT_EQ(outer->KindInfo.Code, kcRichEdit);
        ASSERT_EQ(outer->Children->Count(), 1);
        auto* text = dynamic_cast<TDynRichEdit*>(outer->Children->Panel(0));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->parentWidget(), outer);
        ASSERT_NE(text->RichText, nullptr);
        EXPECT_TRUE(text->RichText->toPlainText().contains("Bold and italic red"));
        ASSERT_TRUE(p.SaveProject(b));
    }
    // Everything but the stored file name is the same.
    QByteArray again = ReadFile(b);
    QByteArray firstNamed = first;
    firstNamed.replace(a.toUtf8(), b.toUtf8());
    again.replace(a.toUtf8(), b.toUtf8());
    ASSERT_EQ(again.size(), firstNamed.size());
    int firstDiff = -1;
    for (int i = 0; i < again.size() && firstDiff < 0; ++i)
        if (again[i] != firstNamed[i])
            firstDiff = i;
    EXPECT_EQ(firstDiff, -1) << "first differing byte; before: "
                             << firstNamed.mid(std::max(0, firstDiff - 40), 60).toHex(' ').toStdString()
                             << "\nafter: " << again.mid(std::max(0, firstDiff - 40), 60).toHex(' ').toStdString();
}

TEST_F(Projects, HigherVersionIsRefusedWithItsMessage)
{
    const QString a = dir.filePath("a.KvR");
    {
        TDYNProject p(nullptr, host.get());
        p.NewForm();
        DesignerVersion.Number = 0.2;
        ASSERT_TRUE(p.SaveProject(a));
        DesignerVersion.Number = 0.1;
    }
    TDYNProject p(nullptr, host.get());
    ScriptedDialogs()->QueueResult(mrYes);
    EXPECT_FALSE(p.LoadProject(a));
    EXPECT_EQ(ScriptedDialogs()->LastText(), QStringLiteral("Bad version!0.2 of File."));
    EXPECT_EQ(p.FormCount(), 1);
    EXPECT_EQ(p.Form(0)->Children->Count(), 2); // a new empty form: header and footer only
}

TEST_F(Projects, TruncatedProjectLeavesAnEmptyNewProjectAndOneMessage)
{
    const QString a = dir.filePath("a.KvR");
    {
        TDYNProject p(nullptr, host.get());
        BuildSample(p);
        ASSERT_TRUE(p.SaveProject(a));
    }
    const QByteArray whole = ReadFile(a);
    const QString cut = dir.filePath("cut.KvR");
    for (int len : {0, 7, 16, 40, static_cast<int>(whole.size()) / 3, static_cast<int>(whole.size()) / 2,
                    static_cast<int>(whole.size()) - 1}) {
        QFile f(cut);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(whole.left(len));
        f.close();
        ScriptedDialogs()->Reset();
        TDYNProject p(nullptr, host.get());
        EXPECT_FALSE(p.LoadProject(cut)) << len;
        EXPECT_EQ(ScriptedDialogs()->ShownDialogs().size(), 1u) << len;
        EXPECT_TRUE(ScriptedDialogs()->LastText().contains(cut)) << len;
        ASSERT_EQ(p.FormCount(), 1) << len;
        EXPECT_EQ(p.Form(0)->Children->Count(), 2) << len;
    }
}

TEST_F(Projects, WriteErrorIsReportedAndNothingIsClaimed)
{
    TDYNProject p(nullptr, host.get());
    p.NewForm();
    const QString target = dir.filePath("taken.KvR");
    ASSERT_TRUE(QDir().mkpath(target)); // a directory stands where the file should go
    EXPECT_FALSE(p.SaveProject(target));
    EXPECT_EQ(ScriptedDialogs()->LastText(), QStringLiteral("Save of") + target + QStringLiteral("error"));
    EXPECT_TRUE(QFileInfo(target).isDir());
}
