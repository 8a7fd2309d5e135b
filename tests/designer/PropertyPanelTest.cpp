// The property panel of a real designer: which rows an object shows and in what order, the
// value texts, and the three input paths driven with the mouse and the keyboard.
#include "content/DynGraphik.h"
#include "content/DynLabel.h"
#include "content/Header.h"
#include "data/CloneTable.h"
#include "designer/ObComboBox.h"
#include "designer/ObPanel.h"
#include "designer/Objectgenerator.h"
#include "designer/PickerImage.h"
#include "designer/PropertyTable.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "platform/db/Query.h"
#include "platform/db/Session.h"
#include "shell/OstrevoReportGenerator.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QFile>
#include <QFontMetrics>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <memory>

namespace {

class PropertyPanel : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitVariables(dir.path());
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        InstallDesignerFactory();
        window = std::make_unique<QWidget>();
        window->resize(1200, 900);
        host = std::make_unique<TOstrevoReportGenerator>(nullptr, window.get());
        window->show();
        QApplication::setActiveWindow(window.get());
        d = TheDesigner;
        ASSERT_NE(d, nullptr);
        form = d->Project ? d->Project->Form(0) : nullptr;
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override
    {
        // The designer goes first, as the menu's Exit frees it, then its host.
        delete TheDesigner;
        host.reset();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Session().CloseDatabases();
        TScreen::ClearOverride();
    }

    TDynLabel* AddLabel()
    {
        DrawRect = TDrawRect{0, 0, 0, 0, 40, 40, 240, 80};
        auto* label = new TDynLabel(form, form);
        form->Children->Add(label);
        label->SetText(QStringLiteral("Label text"));
        label->show();
        return label;
    }

    // Selects an object as a click on it does, so that its rows are shown afresh.
    void Select(TDynPanel* object)
    {
        if (SelectedObject == object)
            d->Activate();
        object->Select();
        ASSERT_EQ(SelectedObject, object);
    }

    QStringList Captions(int sheet) const
    {
        QStringList out;
        TObStringGrid* g = d->PropertyGrids[size_t(sheet)];
        for (int r = 1; r < g->RowCount(); ++r)
            out << g->Objects(r)->Caption;
        return out;
    }

    TObPanel* Row(const char* name) const
    {
        TObPanel* r = d->RowByName(QString::fromLatin1(name));
        EXPECT_NE(r, nullptr) << name;
        return r;
    }

    QString Value(const char* name) const { return d->RowValueText(*Row(name)); }

    // A left click on a cell of the row in its grid (column 1 = value, 0 = caption).
    void Click(const char* name, int col = 1)
    {
        TObPanel* r = Row(name);
        ASSERT_GT(r->GridRow, 0) << name << " is not shown";
        TObStringGrid* g = d->PropertyGrids[size_t(r->Sheet)];
        ASSERT_EQ(g->Objects(r->GridRow), r) << name << " is not shown";
        d->PropertyPages->setCurrentIndex(r->Sheet);
        QTest::mouseClick(g, Qt::LeftButton, {}, g->CellRect(col, r->GridRow).center());
    }

    // Types a value into an edit row and commits it with Enter.
    void Type(const char* name, const QString& text)
    {
        Click(name);
        ASSERT_TRUE(d->ValueEdit->isVisible()) << name;
        d->ValueEdit->clear();
        QTest::keyClicks(d->ValueEdit, text);
        QTest::keyClick(d->ValueEdit, Qt::Key_Return);
    }

    // Chooses an item of the open drop-down through its list, as the user does.
    void Choose(int index)
    {
        TObComboBox* box = d->OpenDropDown;
        ASSERT_NE(box, nullptr);
        box->showPopup();
        QAbstractItemView* view = box->view();
        view->setCurrentIndex(view->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    QStringList Items(const TObComboBox* box) const
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TOstrevoReportGenerator> host;
    TObjectgenerator* d = nullptr;
    TDynDBForm* form = nullptr;
};

TEST(PropertyTableTest, HoldsTheNinetySevenRowsWithTheirBits)
{
    const auto& t = PropertyTable();
    ASSERT_EQ(t.size(), 97u);
    // Spot checks across the table: first, last, and rows whose caption index differs from the
    // entry number.
    struct Case { int index; const char* kind; int sheet; const char* name; int caption; int bit; };
    const Case cases[] = {
        {0, "P", 2, "CSeriendruck", 0, 11},        {12, "D", 2, "CDBSumKind", 350, 108},
        {17, "D", 2, "CDataSource", 16, 85},       {34, "D", 0, "CLanguage", 34, 109},
        {72, "D", 1, "CPicture", 73, 34},          {73, "P", 1, "CBrushStyleImage", 72, 74},
        {81, "P", 1, "CDoubleBorder", 83, 73},     {91, "E", 1, "CwidthEdit", 94, 5},
        {95, "D", 0, "Czoom", 101, 38},            {96, "P", 0, "Cfixieren", 102, 33},
    };
    for (const Case& c : cases) {
        const TPropertyTableEntry& e = t[size_t(c.index)];
        EXPECT_STREQ(e.EditorKind, c.kind) << c.index;
        EXPECT_EQ(e.SheetIndex(), c.sheet) << c.index;
        EXPECT_STREQ(e.RowName, c.name) << c.index;
        EXPECT_EQ(e.CaptionText(), c.caption) << c.index;
        EXPECT_EQ(e.Bit, c.bit) << c.index;
        EXPECT_EQ(PropertyRowIndex(QString::fromLatin1(c.name)), c.index);
    }
    for (const TPropertyTableEntry& e : t) {
        EXPECT_LE(std::strlen(e.RowName), 30u);
        EXPECT_TRUE(e.Bit >= 0 && e.Bit < PropertyRowCount) << e.RowName;
    }
}

TEST_F(PropertyPanel, LabelAndDesignerShowTheirRowsInReverseTableOrder)
{
    TDynLabel* label = AddLabel();
    Select(label);
    EXPECT_EQ(Captions(0), (QStringList{"Fix", "Autosize", "Font", "Color", "Alignment horz.", "Alignment vert.",
                                        "Minimal"}));
    EXPECT_EQ(Captions(1), (QStringList{"X", "Y", "Width", "Height", "Position", "Doubleborder", "Borderstyle",
                                        "Borderwidth", "Bordercolor", "transparent", "Background", "Load picture",
                                        "Align Center"}));
    EXPECT_TRUE(Captions(2).isEmpty());

    d->Activate();
    EXPECT_EQ(Captions(0), (QStringList{"Ruler", "Ruler line", "Color", "Autosave", "Language"}));
    EXPECT_TRUE(Captions(1).isEmpty());
    EXPECT_TRUE(Captions(2).isEmpty());
    EXPECT_EQ(d->RowsHeight, 5 * d->LineHeight);
}

TEST_F(PropertyPanel, TypedMillimetresBecomeLogicalPixels)
{
    TDynLabel* label = AddLabel();
    Select(label);
    struct Case { const char* typed; double mm; };
    for (const Case& c : {Case{"10", 10.0}, Case{"12,5", 12.5}, Case{"abc", 60.0}}) {
        Type("CwidthEdit", QString::fromLatin1(c.typed));
        EXPECT_FALSE(d->ValueEdit->isVisible());
        EXPECT_EQ(label->pwidth, RoundHalfEven(c.mm * PixelsPerMmY)) << c.typed;
    }
    Type("CwidthEdit", QStringLiteral("10"));
    Type("CheightEdit", QStringLiteral("7"));
    Type("CleftEdit", QStringLiteral("20"));
    Type("CtopEdit", QStringLiteral("30"));
    EXPECT_EQ(label->pwidth, RoundHalfEven(10 * PixelsPerMmY));
    EXPECT_EQ(label->pheight, RoundHalfEven(7 * PixelsPerMmY));
    EXPECT_EQ(label->pleft, RoundHalfEven(20 * PixelsPerMmY));
    EXPECT_EQ(label->ptop, RoundHalfEven(30 * PixelsPerMmY));
    EXPECT_TRUE(Modified);

    // The value shows the millimetres to one decimal, right-aligned in the value column.
    const QString shown = Value("CwidthEdit");
    EXPECT_EQ(shown.trimmed(), QStringLiteral("10.1")); // 38 pixels at 96 pixels per inch
    const QFontMetrics fm(d->PropertyGrids[1]->font());
    const int right = d->ValueWidth - 12;
    EXPECT_TRUE(shown.startsWith(u' '));
    EXPECT_LE(fm.horizontalAdvance(shown), right);
    EXPECT_GT(fm.horizontalAdvance(shown), right - d->BlankWidth);

    // An empty text changes nothing.
    Type("CwidthEdit", QString());
    EXPECT_EQ(label->pwidth, RoundHalfEven(10 * PixelsPerMmY));
}

TEST_F(PropertyPanel, DatabaseFormIgnoresTypedSizes)
{
    Select(form);
    form->SetLocked(false); // not even an unlocked form takes them
    const int w = form->pwidth, h = form->pheight;
    Modified = false;
    Type("CwidthEdit", QStringLiteral("50"));
    Type("CheightEdit", QStringLiteral("50"));
    EXPECT_EQ(form->pwidth, w);
    EXPECT_EQ(form->pheight, h);
    EXPECT_TRUE(Modified);
    // The grid step is a length of its own: 2 <= P < half the width.
    Type("CRaster", QStringLiteral("5"));
    EXPECT_EQ(form->GridLogical, RoundHalfEven(5 * PixelsPerMmY));
    EXPECT_EQ(GridStep, RoundHalfEven(5 * PixelsPerMmY * ZoomFactor));
    Type("CRaster", QStringLiteral("500"));
    EXPECT_EQ(form->GridLogical, RoundHalfEven(5 * PixelsPerMmY));
}

TEST_F(PropertyPanel, ColourRowAppliesTheChoiceAndIgnoresCancel)
{
    TDynLabel* label = AddLabel();
    Select(label);
    const TColor before = label->BackColor, previous = label->PreviousColor;
    Modified = false;
    ScriptedDialogs()->QueueCancel();
    Click("CColor");
    EXPECT_EQ(label->BackColor, before);
    EXPECT_EQ(label->PreviousColor, previous);
    EXPECT_FALSE(Modified);

    TScriptedDialogs::Answer red;
    red.color = clRed;
    ScriptedDialogs()->Queue(red);
    Click("CColor");
    EXPECT_EQ(label->BackColor, clRed);
    EXPECT_EQ(label->PreviousColor, before);
    EXPECT_TRUE(Modified);
}

TEST_F(PropertyPanel, FontRowTakesTheDialogsFont)
{
    TDynLabel* label = AddLabel();
    Select(label);
    TScriptedDialogs::Answer a;
    a.font = QFont(QStringLiteral("DejaVu Sans"), 12);
    a.font.setBold(true);
    a.color = clBlue;
    ScriptedDialogs()->Queue(a);
    Click("CFont");
    EXPECT_EQ(label->Font().Name, QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(label->Font().Bold);
    EXPECT_EQ(label->Font().Color, clBlue);
    EXPECT_EQ(label->LogicalFontSize, 12);
    EXPECT_EQ(Value("CFont").trimmed(), QStringLiteral("DejaVu Sans / 12"));
}

TEST_F(PropertyPanel, ClickRowsFlipTheirFlag)
{
    TDynLabel* label = AddLabel();
    Select(label);
    struct Case { const char* row; std::function<bool()> flag; };
    const Case cases[] = {
        {"Cfixieren", [&] { return label->Locked(); }},
        {"Ctransparent", [&] { return label->Transparent; }},
        {"CDoubleBorder", [&] { return label->DoubleBorder; }},
        {"CAutosize", [&] { return label->Autosize; }},
    };
    for (const Case& c : cases) {
        const bool before = c.flag();
        EXPECT_EQ(Value(c.row).trimmed(), BoolText(before)) << c.row;
        Click(c.row);
        EXPECT_NE(c.flag(), before) << c.row;
        EXPECT_EQ(Value(c.row).trimmed(), BoolText(!before)) << c.row;
        Click(c.row);
        EXPECT_EQ(c.flag(), before) << c.row;
    }
    // A click on a caption cell does nothing.
    const bool autosize = label->Autosize;
    Click("CAutosize", 0);
    EXPECT_EQ(label->Autosize, autosize);

    // The designer's own click row: autosave with its timer.
    d->Activate();
    Click("CAutosave");
    ASSERT_TRUE(d->AutosaveOn);
    ASSERT_TRUE(d->AutosaveTimer);
    EXPECT_EQ(d->AutosaveTimer->interval(), 200000);
    Click("CAutosave");
    EXPECT_FALSE(d->AutosaveTimer);
}

TEST_F(PropertyPanel, DropDownAppliesTheChoiceAndClosesOnAnotherCell)
{
    TDynLabel* label = AddLabel();
    Select(label);
    Click("CTextAusrichtungH");
    QPointer<TObComboBox> box = d->OpenDropDown;
    ASSERT_TRUE(box);
    EXPECT_EQ(Row("CTextAusrichtungH")->Editor, box.data());
    EXPECT_EQ(Items(box), (QStringList{"LeftJustify", "Center", "RightJustify"}));
    Choose(2);
    EXPECT_EQ(label->HAlign, 2);
    EXPECT_EQ(Value("CTextAusrichtungH").trimmed(), QStringLiteral("RightJustify"));

    // Another value cell closes the drop-down (and does its own work).
    ASSERT_TRUE(d->OpenDropDown);
    const bool autosize = label->Autosize;
    Click("CAutosize");
    EXPECT_EQ(d->OpenDropDown, nullptr);
    EXPECT_EQ(Row("CTextAusrichtungH")->Editor, nullptr);
    EXPECT_NE(label->Autosize, autosize);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(box);

    Click("CTextAusrichtungV");
    ASSERT_TRUE(d->OpenDropDown);
    EXPECT_EQ(Items(d->OpenDropDown), (QStringList{"Top", "Center", "Bottom"}));
    Choose(1);
    EXPECT_EQ(label->VAlign, 1);

    // The zoom row of a form.
    Select(form);
    Click("Czoom");
    ASSERT_TRUE(d->OpenDropDown);
    EXPECT_EQ(Items(d->OpenDropDown), (QStringList{"max. vertical", "max. horizontal", "25", "50", "75", "100", "125",
                                                   "150", "200", "250"}));
    Choose(3);
    EXPECT_DOUBLE_EQ(form->ZoomPercent, 50.0);
    EXPECT_EQ(Value("Czoom").trimmed(), QStringLiteral("50"));
}

TEST_F(PropertyPanel, PickerRowsApplyTheClickedSample)
{
    TDynLabel* label = AddLabel();
    Select(label);
    // Row 1, column 1 of the fill-style picker: the backward diagonal (style 5).
    ScriptedDialogs()->QueueModal([](QDialog& w) {
        auto* picker = w.findChild<TPickerImage*>();
        if (picker)
            QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(50, 50));
        return int(QDialog::Accepted);
    });
    Click("CBrushStyleImage");
    EXPECT_EQ(label->BrushStyle, 5);
    EXPECT_TRUE(Modified);
}

TEST_F(PropertyPanel, ShapeRowsReachTheShape)
{
    DrawRect = TDrawRect{40, 40, 140, 40, 40, 40, 140, 40};
    auto* line = new TDynGraphik(nullptr, form, gsLine);
    form->Children->InsertGraphic(line);
    Select(line);
    EXPECT_EQ(Captions(1), (QStringList{"X", "Y", "Arcus", "Length", "Linetype", "Line width"}));
    Type("CStrichstaerke", QStringLiteral("1"));
    EXPECT_EQ(line->LineWidth, RoundHalfEven(PixelsPerMmY));
    Type("CWinkel", QStringLiteral("30"));
    EXPECT_NEAR(line->Angle, 30.0, 1.0);
    Click("CLinientyp");
    ASSERT_TRUE(d->OpenDropDown);
    EXPECT_EQ(d->OpenDropDown->count(), 5);
    Choose(2);
    EXPECT_EQ(line->LineType, 2);
}

TEST_F(PropertyPanel, FormRowsActOnTheForm)
{
    Select(form);
    const bool grid = form->ShowGrid, snap = form->SnapToGrid;
    Click("CGridEin");
    EXPECT_NE(form->ShowGrid, grid);
    Click("CRasterEin");
    EXPECT_NE(form->SnapToGrid, snap);
    EXPECT_EQ(SnapToGrid, form->SnapToGrid);
    // The header row switches the header on and selects it with its rows.
    Click("CHeader");
    EXPECT_TRUE(form->HeaderOn);
    EXPECT_EQ(SelectedObject, form->Header);
    EXPECT_EQ(Captions(0), (QStringList{"Fix", "First page", "Color"}));
    Click("CfirstPage");
    EXPECT_TRUE(form->Header->FirstPage);
    Select(form);
    const QString name = form->Name;
    Type("CName", QString());
    EXPECT_EQ(form->Name, name);
    Type("CName", QStringLiteral("Invoices"));
    EXPECT_EQ(form->Name, QStringLiteral("Invoices"));
}

TEST_F(PropertyPanel, LanguageRowOffersFiveEmptyItemsAndChangesNoCaption)
{
    d->Activate();
    QStringList captions;
    for (TObPanel* r : d->Rows)
        captions << r->Caption;
    const QString font = Texts(60);
    Click("CLanguage");
    ASSERT_TRUE(d->OpenDropDown);
    EXPECT_EQ(Items(d->OpenDropDown), (QStringList{"", "", "", "", ""}));
    Choose(3);
    EXPECT_EQ(LanguageIndex, 3);
    QStringList after;
    for (TObPanel* r : d->Rows)
        after << r->Caption;
    EXPECT_EQ(after, captions);
    EXPECT_EQ(Texts(60), font);
    EXPECT_EQ(Captions(0), (QStringList{"Ruler", "Ruler line", "Color", "Autosave", "Language"}));
}

class DatabaseRow : public PropertyPanel {
protected:
    void SetUp() override
    {
        PropertyPanel::SetUp();
        const QString path = dir.filePath(QStringLiteral("people.sqlite"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("props.setup"));
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE People (Id INTEGER PRIMARY KEY, Name TEXT, City TEXT)")));
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO People VALUES (1, 'Smith', 'Berlin')")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("props.setup"));
        QFile ini(dir.filePath(QStringLiteral("Kivo.aliases")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[PROPS]\nDriver=SQLITE\nPath=people.sqlite\n");
        ini.close();
        Session().SetWorkDir(dir.path());
        query = std::make_unique<TQuery>();
        ASSERT_TRUE(query->SetDatabaseName(QStringLiteral("PROPS")));
        query->SetSQL({QStringLiteral("SELECT * FROM People")});
        ASSERT_TRUE(query->Open()) << query->LastError().toStdString();
        source = new TCloneDataSource(nullptr);
        source->Name = QStringLiteral("People");
        source->Kind = HostQuery;
        source->DataSet = query.get();
        d->Project->DataSources.Add(source);
    }
    void TearDown() override
    {
        // The project frees its data sources before the query goes.
        PropertyPanel::TearDown();
        query.reset();
    }
    std::unique_ptr<TQuery> query;
    TCloneDataSource* source = nullptr;
};

TEST_F(DatabaseRow, ChoosingTheBoundSourceAgainUnbindsIt)
{
    Select(form);
    EXPECT_EQ(Captions(2), QStringList{"Database"});
    EXPECT_EQ(Value("CDataSource"), QStringLiteral("  ---------------------"));

    Click("CDataSource");
    ASSERT_TRUE(d->OpenDropDown);
    EXPECT_EQ(Items(d->OpenDropDown), (QStringList{" None", "People"}));
    Choose(1);
    EXPECT_EQ(form->DataSource, source);
    EXPECT_TRUE(Modified);
    EXPECT_TRUE(form->PropertySet.test(11) && form->PropertySet.test(88) && form->PropertySet.test(90));
    EXPECT_EQ(Captions(2), (QStringList{"Database", "Sorting", "Filter", "Serialprint"}));
    EXPECT_EQ(Value("CDataSource").trimmed(), QStringLiteral("People"));
    EXPECT_EQ(Value("CSeriendruck").trimmed(), QStringLiteral("false"));

    Click("CDataSource");
    ASSERT_TRUE(d->OpenDropDown);
    Choose(1);
    EXPECT_EQ(form->DataSource, nullptr);
    EXPECT_EQ(form->DataSourceName, QStringLiteral("nil"));
    EXPECT_FALSE(form->PropertySet.test(11) || form->PropertySet.test(88) || form->PropertySet.test(90));
    EXPECT_EQ(Captions(2), QStringList{"Database"});
    EXPECT_EQ(Value("CDataSource"), QStringLiteral("  ---------------------"));
}

TEST_F(DatabaseRow, DialogRowsOpenTheirWindowOrSayThatNoSourceIsBound)
{
    Select(form);
    Click("CDataSource");
    Choose(1);
    ASSERT_EQ(form->DataSource, source);

    TDynPanel* sorted = nullptr;
    PropertyWindows().SortPanel = [&](QDialog&, TDynPanel* object) { sorted = object; };
    QSize windowSize;
    ScriptedDialogs()->QueueModal([&](QDialog& w) {
        windowSize = w.size();
        return int(QDialog::Accepted);
    });
    Click("CSort");
    PropertyWindows().SortPanel = nullptr;
    EXPECT_EQ(sorted, form);
    EXPECT_EQ(windowSize, QSize(744, 516));

    // The source went away while the rows are shown.
    form->BindDataSource(nullptr);
    Click("CFilter");
    EXPECT_EQ(ScriptedDialogs()->LastText(), Texts(410) + QStringLiteral("  ") + form->Name);
}

} // namespace
