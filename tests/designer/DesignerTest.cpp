#include "designer/Objectgenerator.h"
#include "objects/DYNProject.h"
#include "objects/MovePanel.h"
#include "objects/DynDBForm.h"
#include "platform/Dialogs.h"
#include "platform/MemoryStream.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/OstrevoReportGenerator.h"
#include "shell/Variable.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class Designer : public testing::Test {
protected:
    void SetUp() override
    {
        InitVariables(dir.path());
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        InstallDesignerFactory();
        window = std::make_unique<QWidget>();
        window->resize(1200, 900);
    }
    void TearDown() override
    {
        host.reset();
        window.reset();
        TScreen::ClearOverride();
    }
    TObjectgenerator* Start()
    {
        host = std::make_unique<TOstrevoReportGenerator>(nullptr, window.get());
        window->show();
        return TheDesigner;
    }
    void Quit() { host.reset(); }
    QString ConfigFile() const { return dir.filePath("Kivo.cnf"); }
    QTemporaryDir dir;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TOstrevoReportGenerator> host;
};
} // namespace

TEST_F(Designer, FirstStartWithoutConfiguration)
{
    TObjectgenerator* d = Start();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->BoundsRect(), TRect(5, 10, 197, 390));
    EXPECT_EQ(DesignerColor, clInfoBk);
    EXPECT_FALSE(RulersVisible);
    EXPECT_FALSE(HelpLinesVisible);
    EXPECT_FALSE(d->AutosaveOn);
    EXPECT_EQ(d->AutosaveTimer, nullptr);
    EXPECT_EQ(d->RecentFiles.Count(), 6);
    EXPECT_EQ(d->Name, QStringLiteral("Objectgenerator"));
    EXPECT_EQ(LanguageIndex, 1);
    EXPECT_EQ(LanguageNames[0], QStringLiteral("English"));
    ASSERT_NE(d->Project, nullptr);
    EXPECT_EQ(d->Project->FormCount(), 1);
    EXPECT_FALSE(Modified);
    EXPECT_EQ(d->BackupFileName, WorkDir + QStringLiteral("tmpBackUp.~~KVR"));
    EXPECT_TRUE(ScriptedDialogs()->Texts().contains(NoPrinterWarning));
}

TEST_F(Designer, ConfigurationSurvivesARestartAndWorkDirStaysTheProgramsOwn)
{
    TObjectgenerator* d = Start();
    d->SetColor(clAqua);
    d->SetAutosave(true);
    d->RecentFiles.SetString(0, dir.filePath("&a.KvR"));
    d->move(300, 200);
    Quit();
    ASSERT_TRUE(QFile::exists(ConfigFile()));
    // Whatever work directory the file names, the program's own wins.
    const QString programDir = WorkDir;
    d = Start();
    EXPECT_EQ(DesignerColor, clAqua);
    EXPECT_TRUE(d->AutosaveOn);
    ASSERT_NE(d->AutosaveTimer, nullptr);
    EXPECT_EQ(d->AutosaveTimer->interval(), 200000);
    EXPECT_EQ(d->RecentFiles.Strings(0), dir.filePath("&a.KvR"));
    EXPECT_EQ(d->Left(), 5); // the stored place gives way to the start place
    EXPECT_EQ(d->Top(), 10);
    EXPECT_EQ(WorkDir, programDir);
}

TEST_F(Designer, TruncatedConfigurationChangesNothing)
{
    TObjectgenerator* d = Start();
    d->SetColor(clAqua);
    d->SetAutosave(true);
    Quit();
    QFile f(ConfigFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();
    for (int len : {0, 3, 4, 9, static_cast<int>(whole.size()) / 2, static_cast<int>(whole.size()) - 1}) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(whole.left(len));
        f.close();
        InitVariables(dir.path());
        FillTextDefaults();
        d = Start();
        EXPECT_EQ(DesignerColor, clInfoBk) << len;
        EXPECT_FALSE(d->AutosaveOn) << len;
        EXPECT_EQ(d->BoundsRect(), TRect(5, 10, 197, 390)) << len;
        host.reset(); // writes a whole file again
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(whole);
        f.close();
    }
}

TEST_F(Designer, DraggedByItsTopStripAndSizedOnlyInHeight)
{
    TObjectgenerator* d = Start();
    const QPoint start = d->pos();
    QTest::mousePress(d->OuterTopPanel, Qt::LeftButton, {}, QPoint(40, 5));
    QTest::mouseMove(d->OuterTopPanel, QPoint(140, 65));
    QTest::mouseRelease(d->OuterTopPanel, Qt::LeftButton, {}, QPoint(140, 65));
    EXPECT_EQ(d->pos(), start + QPoint(100, 60));
    // The bottom edge changes the height; the width snaps to TotalWidth + 20 or + 40.
    const int w = d->Width(), h = d->Height();
    QTest::mousePress(d, Qt::LeftButton, {}, QPoint(w / 2, h - 2));
    QTest::mouseMove(d, QPoint(w / 2, h + 48));
    QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(w / 2, h + 48));
    EXPECT_EQ(d->Height(), h + 50);
    EXPECT_TRUE(d->Width() == d->TotalWidth + 20 || d->Width() == d->TotalWidth + 40) << d->Width();
}

TEST_F(Designer, SelectedObjectGetsEightHandlesAroundIt)
{
    TObjectgenerator* d = Start();
    TDynDBForm* form = d->Project->Form(0);
    DrawRect = TDrawRect{0, 0, 0, 0, 100, 120, 200, 180};
    CurrentForm = form;
    auto* o = new TDynRichEdit(form, form);
    form->Children->Add(o);
    o->show();
    o->UpdateLayout();
    o->Select();
    ASSERT_EQ(SelectedObject, o);
    const QPoint at = o->mapTo(window.get(), QPoint(0, 0)) - d->HostPanel->mapTo(window.get(), QPoint(0, 0));
    for (TMovePanel* h : d->Handles)
        EXPECT_TRUE(h->isVisible());
    EXPECT_EQ(d->Handles[1]->pos(), at + QPoint(-3, -3));
    const int hw = d->Handles[0]->width();
    // Top left at (X + 1, Y + 1) of the place less four; the bottom right one handle width beyond.
    EXPECT_EQ(d->Handles[3]->pos(), QPoint(at.x() - 3 + o->Width() + hw - 4, at.y() - 4 + o->Height() + hw - 4));
    d->HideHandles();
    EXPECT_FALSE(d->Handles[0]->isVisible());
}
