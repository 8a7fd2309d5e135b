// Object records, object lists, the picture list and object files.
#include "data/CloneTable.h"
#include "objects/BilderListe.h"
#include "objects/DYNPanel.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "objects/ProjectContext.h"
#include "objects/RemovedObjects.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/MemoryStream.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

namespace {

// Bytes written out by hand, little-endian, as the field table gives them.
class Bytes {
public:
    Bytes& I32(qint32 v) { return Raw(&v, 4); }
    Bytes& I16(qint16 v) { return Raw(&v, 2); }
    Bytes& U8(quint8 v) { return Raw(&v, 1); }
    Bytes& Text(const char* s)
    {
        I32(static_cast<qint32>(std::strlen(s)));
        data.append(s);
        return *this;
    }
    Bytes& Append(const QByteArray& b)
    {
        data.append(b);
        return *this;
    }
    QByteArray data;

private:
    Bytes& Raw(const void* p, int n)
    {
        // The test machine is little-endian, as the format is.
        data.append(static_cast<const char*>(p), n);
        return *this;
    }
};

QByteArray Hex(const QByteArray& b)
{
    return b.toHex(' ');
}

// Registers a kind for the length of a test.
class ScopedKind {
public:
    explicit ScopedKind(TKindEntry entry) : code_(entry.Code)
    {
        registered_ = TKindRegistry::Get().Register(std::move(entry));
    }
    ~ScopedKind()
    {
        if (registered_)
            TKindRegistry::Get().Unregister(code_);
    }
    bool Registered() const { return registered_; }

private:
    Int32 code_;
    bool registered_ = false;
};

// A visual kind that closes its record (as every kind but 9, 17 and 20 does).
TKindEntry ClosedVisualKind()
{
    TKindEntry e = PanelKind<TDynPanel>(
        kcObPanel,
        [](TDynPanel& o) {
            o.SaveToStream();
            o.CloseRecord();
        },
        [](TDynPanel& o) { o.LoadFromStream(); });
    e.Create = [](TComponent* owner, QWidget* parent, const std::any&) -> TComponent* {
        auto* o = new TDynPanel(owner, parent);
        o->KindInfo = KindByCode(kcObPanel);
        return o;
    };
    return e;
}

class Persistence : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitVariables(dir.path());
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        savedProject = ProjectContext();
        ProjectContext() = TProjectContext{};
        RemovedObjects().Clear();
        top = std::make_unique<QWidget>();
        top->resize(800, 600);
        DrawRect = TDrawRect{0, 0, 0, 0, 0, 0, 600, 400};
        host = new TDynPanel(nullptr, top.get());
        host->Name = QStringLiteral("Host");
        CurrentParent = host;
        SharedStream = &stream;
    }
    void TearDown() override
    {
        RemovedObjects().Clear();
        SharedStream = nullptr;
        CurrentParent = nullptr;
        delete host;
        top.reset();
        ProjectContext() = savedProject;
        TScreen::ClearOverride();
    }
    TDynPanel* Make(int l, int t, int w, int h, QWidget* parent = nullptr)
    {
        DrawRect = TDrawRect{0, 0, 0, 0, l, t, l + w, t + h};
        auto* o = new TDynPanel(nullptr, parent ? parent : host);
        o->StoreLogicalBounds();
        return o;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // A small bitmap file of one colour.
    QString BitmapFile(const QString& name, QColor color, int w = 4, int h = 3) const
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(color);
        const QString path = Path(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    int ObjectsUnderHost() const { return static_cast<int>(host->findChildren<TDynPanel*>().size()); }

    QTemporaryDir dir;
    TMemoryStream stream;
    TProjectContext savedProject;
    std::unique_ptr<QWidget> top;
    TDynPanel* host = nullptr;
};

// ---- the common record ----

struct PictureFieldCase {
    const char* Name;
    bool Active, Embed, ObjectFile;
    QByteArray Field44;
};

TEST_F(Persistence, CommonRecordIsWrittenFieldByFieldAsTheTableGivesIt)
{
    const PictureFieldCase cases[] = {
        {"no project", false, false, false, {}},
        {"project, pictures by name", true, false, false, Bytes().I32(0).data},
        {"project, embedded pictures", true, true, false, Bytes().I32(-1).data},
        {"object file", true, true, true, {}},
    };
    for (const PictureFieldCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ProjectContext().Active = c.Active;
        ProjectContext().EmbedPictures = c.Embed;
        ObjectFileMode = c.ObjectFile;
        std::unique_ptr<TDynPanel> o(Make(10, 20, 100, 50));
        o->Name = QStringLiteral("Obj");
        o->SetColor(clYellow);
        o->SetBorderColor(clRed);
        o->FieldName = QStringLiteral("Kunde"); // a name without a bound field is written as "nil"
        o->KindParam = 7;
        o->Modes = 0x0102;
        o->KindParam2 = -3;
        o->KeepAspect = true;
        TFont f = o->Font();
        f.Bold = true;
        f.StrikeOut = true;
        o->SetFont(f);

        stream.Clear();
        stream.WriteBytes("\x01\x02\x03\x04\x05");
        o->SaveToStream();

        Bytes head;
        head.I32(5).I32(5).Text("Obj");                        // header: start, end (not closed), name
        head.I32(50).I32(100).I32(20).I32(10);                 // pheight, pwidth, ptop, pleft
        head.I32(2).I32(0).I32(0).I32(0);                      // BorderWidth, MarginBottom, MarginLeft, MarginRight
        head.I16(4).I16(0);                                    // BorderSides, reserved
        head.U8(0).U8(1).U8(0).U8(0).U8(0);                    // DoubleBorder, GrowWithBorder, Autosize, Centered, reserved
        head.I32(7).I32(0).I32(0).U8(0);                       // Docking, VAlign, HAlign, reserved
        head.U8(0).U8(0).U8(0).U8(0).I32(0);                   // Transparent, HeightChanged, WidthChanged, FirstPage, reserved
        head.U8(0).I32(o->IdentityNumber).I32(0).I32(0);      // StoredVisible (hidden), Identity, PrintOffsetX/Y
        head.U8(63).U8(0);                                     // Interaction, IsColumn
        head.I32(clYellow).I32(clWhite).I32(clBlack).I32(clRed); // BackColor, PreviousColor, PreviousBorderColor, BorderColor
        head.U8(0).U8(0).I32(7).U8(0).U8(0);                   // Hatched, BrushStyle, KindParam, pLock, ReadOnly
        head.Text("nil").Text("nil").I32(0).Text("Untitled");  // data source, field, CreatedText (empty), Title
        Bytes tail;
        tail.I32(-13).I32(10).I32(clWindowText).I32(0).Text("Arial").Text("1001"); // font
        tail.I32(0x0102).I32(-3).U8(1);                        // Modes, KindParam2, KeepAspect

        const QByteArray expected = QByteArray("\x01\x02\x03\x04\x05") + head.data + c.Field44 + tail.data;
        EXPECT_EQ(Hex(stream.Data()), Hex(expected));
        EXPECT_EQ(o->RecordStart, 5);
        EXPECT_EQ(o->RecordEnd, 5);
    }
}

TEST_F(Persistence, RecordReadsBackIntoANewObject)
{
    ZoomFactor = 1.5;
    std::unique_ptr<TDynPanel> o(Make(30, 45, 150, 75));
    o->Name = QStringLiteral("Label3");
    o->SetBorderWidth(4);
    o->MarginLeft = 2;
    o->SetBorderSides(7);
    o->DoubleBorder = true;
    o->GrowWithBorder = false;
    o->Autosize = true;
    o->Docking = 100; // an old "none" that reads as 7
    o->VAlign = 2;
    o->HAlign = 1;
    o->Transparent = true;
    o->FirstPage = true;
    o->PrintOffsetX = 11;
    o->Interaction = 21;
    o->IsColumn = true;
    o->SetColor(clAqua);
    o->SetBorderColor(clBlue);
    o->Hatched = true;
    o->BrushStyle = 3;
    o->KindParam = 9;
    o->SetLocked(true);
    o->ReadOnly = true;
    o->CreatedText = QStringLiteral("11.12.2024 10:00");
    o->Title = QStringLiteral("/tmp/Label3.KvO");
    o->Modes = 5;
    o->KindParam2 = 6;
    TFont f = o->Font();
    f.Name = QStringLiteral("Courier New");
    f.SetSize(18); // 12 points at zoom 1.5
    f.Italic = true;
    f.Underline = true;
    f.Color = clGreen;
    f.Charset = 238;
    o->SetFont(f);
    o->SaveToStream();

    std::unique_ptr<TDynPanel> r(Make(0, 0, 40, 40));
    stream.SetPosition(0);
    r->LoadFromStream();
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(r->Name, "Label3");
    EXPECT_EQ(r->Hint(), "Label3");
    EXPECT_EQ(r->IdentityNumber, o->IdentityNumber); // kept, so that saving again gives the same bytes
    EXPECT_EQ((TRect{r->pleft, r->ptop, r->pwidth, r->pheight}), (TRect{o->pleft, o->ptop, o->pwidth, o->pheight}));
    // scaled by the zoom factor again
    EXPECT_EQ(r->BoundsRect(), TRect::FromBounds(RoundHalfEven(o->pleft * 1.5), RoundHalfEven(o->ptop * 1.5),
                                                 RoundHalfEven(o->pwidth * 1.5), RoundHalfEven(o->pheight * 1.5)));
    EXPECT_EQ(r->BorderWidth, 4);
    EXPECT_EQ(r->MarginLeft, 2);
    EXPECT_EQ(r->BorderSides, 7);
    EXPECT_TRUE(r->DoubleBorder);
    EXPECT_FALSE(r->GrowWithBorder);
    EXPECT_TRUE(r->Autosize);
    EXPECT_EQ(r->Docking, 7);
    EXPECT_EQ(r->VAlign, 2);
    EXPECT_EQ(r->HAlign, 1);
    EXPECT_TRUE(r->Transparent);
    EXPECT_TRUE(r->FirstPage);
    EXPECT_EQ(r->PrintOffsetX, 11);
    EXPECT_EQ(r->Interaction, 21);
    EXPECT_TRUE(r->IsColumn);
    EXPECT_EQ(r->BackColor, clAqua);
    EXPECT_EQ(r->PreviousColor, clWhite);
    EXPECT_EQ(r->BorderColor, clBlue);
    EXPECT_EQ(r->BorderFrame->Color, clBlue);
    EXPECT_TRUE(r->Hatched);
    EXPECT_EQ(r->BrushStyle, 3);
    EXPECT_EQ(r->KindParam, 9);
    EXPECT_TRUE(r->pLock);
    EXPECT_TRUE(r->Locked());
    EXPECT_TRUE(r->ReadOnly);
    EXPECT_EQ(r->DataSourceName, "nil");
    EXPECT_EQ(r->FieldName, "nil");
    EXPECT_EQ(r->CreatedText, "11.12.2024 10:00");
    EXPECT_EQ(r->Title, "/tmp/Label3.KvO");
    EXPECT_EQ(r->Font().Name, "Courier New");
    EXPECT_EQ(r->Font().Size(), 18); // on screen the font follows the zoom
    EXPECT_EQ(r->LogicalFontSize, 12);
    EXPECT_EQ(r->Font().Color, clGreen);
    EXPECT_EQ(r->Font().Charset, 238);
    EXPECT_FALSE(r->Font().Bold);
    EXPECT_TRUE(r->Font().Italic);
    EXPECT_TRUE(r->Font().Underline);
    EXPECT_FALSE(r->Font().StrikeOut);
    EXPECT_EQ(r->Modes, 5);
    EXPECT_EQ(r->KindParam2, 6);
    EXPECT_FALSE(r->Visible());
    // Saved again and read back at the same zoom, the font keeps its size: it does not shrink.
    TMemoryStream again;
    SharedStream = &again;
    r->SaveToStream();
    std::unique_ptr<TDynPanel> r2(Make(0, 0, 40, 40));
    again.SetPosition(0);
    r2->LoadFromStream();
    SharedStream = &stream;
    EXPECT_EQ(r2->LogicalFontSize, 12);
    EXPECT_EQ(r2->Font().Size(), 18);
}

TEST_F(Persistence, FontStyleTextGivesTheWholeStyleAndTheSizeWinsOverTheHeight)
{
    struct Case {
        const char* Style;
        bool Bold, Italic, Underline, StrikeOut;
    };
    const Case cases[] = {
        {"1001", true, false, false, true},
        {"0100", false, true, false, false},
        {"0011", false, false, true, true},
        {"", true, true, true, true}, // empty: the style stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Style);
        TMemoryStream s;
        s.WriteBytes(Bytes().I32(-13).I32(20).I32(clRed).I32(0).Text("Courier").Text(c.Style).data);
        s.SetPosition(0);
        std::unique_ptr<TDynPanel> o(Make(0, 0, 40, 40));
        TFont f;
        f.Bold = f.Italic = f.Underline = f.StrikeOut = true;
        TDynPanel::ReadFont(o.get(), &f, s);
        EXPECT_EQ(s.Position(), s.Size());
        EXPECT_EQ(f.Size(), 20);
        EXPECT_EQ(o->LogicalFontSize, 20);
        EXPECT_EQ(f.Name, "Courier");
        EXPECT_EQ(f.Color, clRed);
        EXPECT_EQ(f.Bold, c.Bold);
        EXPECT_EQ(f.Italic, c.Italic);
        EXPECT_EQ(f.Underline, c.Underline);
        EXPECT_EQ(f.StrikeOut, c.StrikeOut);
    }
    // Written at zoom 2 the size is halved; a font block that breaks off changes nothing.
    ZoomFactor = 2.0;
    TFont f;
    f.SetSize(20);
    TMemoryStream s;
    TDynPanel::WriteFont(nullptr, f, s);
    s.SetPosition(4);
    EXPECT_EQ(s.ReadInt32(), 10);
    TMemoryStream cut(s.Data().left(s.Size() - 1));
    TFont g;
    g.Name = QStringLiteral("Keep");
    EXPECT_THROW(TDynPanel::ReadFont(nullptr, &g, cut), EStreamError);
    EXPECT_EQ(g.Name, "Keep");
}

TEST_F(Persistence, RecordWithoutTheLastFieldsKeepsTheirDefaultsAndTheNextRecordIsFound)
{
    std::unique_ptr<TDynPanel> a(Make(5, 5, 80, 30));
    a->Name = QStringLiteral("Label1");
    a->Modes = 4;
    a->KindParam2 = 8;
    a->KeepAspect = true;
    std::unique_ptr<TDynPanel> b(Make(5, 50, 60, 20));
    b->Name = QStringLiteral("Label2");
    b->Modes = 3;

    // A record of an older writer: closed before fields 46 to 48.
    a->SaveToStream();
    stream.SetSize(stream.Size() - 9);
    stream.SetPosition(stream.Size());
    a->CloseRecord();
    b->SaveToStream();

    stream.SetPosition(0);
    std::unique_ptr<TDynPanel> ra(Make(0, 0, 40, 40));
    std::unique_ptr<TDynPanel> rb(Make(0, 0, 40, 40));
    ra->LoadFromStream();
    EXPECT_EQ(ra->Name, "Label1");
    EXPECT_EQ(ra->Modes, 0);
    EXPECT_EQ(ra->KindParam2, 0);
    EXPECT_FALSE(ra->KeepAspect);
    EXPECT_EQ(ra->pwidth, 80);
    rb->LoadFromStream();
    EXPECT_EQ(rb->Name, "Label2");
    EXPECT_EQ(rb->Modes, 3);
    EXPECT_EQ(rb->pwidth, 60);
    EXPECT_EQ(stream.Position(), stream.Size());
}

// ---- object lists ----

TEST_F(Persistence, ListReadsKindsByCodeSkipsUnknownOnesAndLoadsEntriesInTheirPlace)
{
    TObjectList list;
    TDynPanel* a = Make(10, 10, 50, 20);
    a->Name = QStringLiteral("A");
    list.Add(a);
    std::unique_ptr<TDynPanel> chart(Make(0, 0, 40, 40));
    chart->KindInfo = KindByCode(kcChart); // nobody registered it
    list.AppendUnchecked(chart.get());
    TDynPanel* b = Make(10, 40, 50, 20);
    b->Name = QStringLiteral("B");
    list.Add(b);

    list.SaveToStream(stream);
    // count, then A's descriptor and record, the chart's descriptor alone, B's descriptor...
    stream.SetPosition(0);
    EXPECT_EQ(stream.ReadInt32(), 3);
    EXPECT_EQ(stream.ReadBytes(32), KindByCode(kcSimpel).ToBytes());
    list.Unlink(chart.get());

    // Into a new list: new objects, the unknown kind adds nothing.
    TObjectList fresh;
    stream.SetPosition(0);
    fresh.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(fresh.StoredCount, 3);
    ASSERT_EQ(fresh.Count(), 2);
    EXPECT_EQ(fresh.Panel(0)->Name, "A");
    EXPECT_EQ(fresh.Panel(1)->Name, "B");
    EXPECT_EQ(fresh.Panel(1)->ptop, 40);
    EXPECT_EQ(fresh.Panel(0)->OwnerList, &fresh);
    EXPECT_EQ(fresh.Panel(0)->parentWidget(), host);

    // Into the list that holds them: the same objects are loaded again and keep their list.
    a->Name = QStringLiteral("changed");
    TObjectList again;
    again.Add(a);
    list.Unlink(a);
    a->OwnerList = &again;
    stream.SetPosition(0);
    again.LoadFromStream(stream);
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Items(0), a);
    EXPECT_EQ(a->Name, "A");
    EXPECT_EQ(a->OwnerList, &again);
    EXPECT_EQ(again.LastAdded, again.Items(1));
}

TEST_F(Persistence, VisualObjectWithoutACurrentParentIsSkippedByItsRecordEnd)
{
    ScopedKind visual(ClosedVisualKind());
    ASSERT_TRUE(visual.Registered());
    TObjectList list;
    TDynPanel* v = Make(0, 0, 40, 40);
    v->KindInfo = KindByCode(kcObPanel);
    v->Name = QStringLiteral("Visual");
    list.Add(v);
    TDynPanel* plain = Make(0, 0, 40, 40);
    plain->Name = QStringLiteral("Plain");
    list.Add(plain);
    list.SaveToStream(stream);

    {
        SCOPED_TRACE("with a current parent both are read");
        TObjectList read;
        stream.SetPosition(0);
        read.LoadFromStream(stream);
        ASSERT_EQ(read.Count(), 2);
        EXPECT_EQ(read.Panel(0)->KindInfo.Code, kcObPanel);
    }
    {
        SCOPED_TRACE("without one the visual object is passed over");
        CurrentParent = nullptr;
        TObjectList read;
        stream.SetPosition(0);
        read.LoadFromStream(stream);
        ASSERT_EQ(read.Count(), 1);
        EXPECT_EQ(read.Panel(0)->Name, "Plain");
        EXPECT_EQ(stream.Position(), stream.Size());
    }
    {
        SCOPED_TRACE("a record that was never closed cannot be passed over");
        TObjectList unclosed;
        TDynPanel* u = Make(0, 0, 40, 40);
        u->KindInfo.IsVisual = true; // a simple panel's record is not closed
        unclosed.Add(u);
        stream.Clear();
        unclosed.SaveToStream(stream);
        TObjectList read;
        stream.SetPosition(0);
        EXPECT_THROW(read.LoadFromStream(stream), EStreamError);
        EXPECT_EQ(read.Count(), 0);
    }
}

TEST_F(Persistence, AddingTheSameObjectTwiceLeavesOneEntry)
{
    TObjectList list;
    TDynPanel* o = Make(0, 0, 40, 40);
    list.Add(o);
    EXPECT_EQ(list.LastAdded, o);
    list.Add(o);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.LastAdded, nullptr);
    list.AddNew(o);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.LastAdded, nullptr);
    EXPECT_EQ(o->OwnerList, &list);
}

TEST_F(Persistence, NewGraphicGoesBeforeTheLastGraphicOrToTheFront)
{
    struct Case {
        const char* Name;
        std::vector<Int32> Codes;
        int Expected;
    };
    const Case cases[] = {
        {"label, shape, label", {kcLabel, kcGraphik, kcLabel}, 1},
        {"two shapes", {kcLabel, kcGraphik, kcLabel, kcGraphik}, 3},
        {"no shape", {kcLabel, kcLabel}, 0},
        {"shape first only", {kcGraphik, kcLabel}, 0},
        {"empty", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TObjectList list;
        for (Int32 code : c.Codes) {
            TDynPanel* o = Make(0, 0, 40, 40);
            o->KindInfo = KindByCode(code);
            list.Add(o);
        }
        TDynPanel* shape = Make(0, 0, 40, 40);
        shape->KindInfo = KindByCode(kcGraphik);
        list.InsertGraphic(shape);
        EXPECT_EQ(list.IndexOf(shape), c.Expected);
        EXPECT_EQ(list.LastAdded, shape);
        EXPECT_EQ(shape->OwnerList, &list);
        EXPECT_EQ(list.Count(), static_cast<int>(c.Codes.size()) + 1);
    }
}

TEST_F(Persistence, RemovedObjectsAreListedHiddenAndKeptAlive)
{
    ProjectContext().Active = true;
    TBilderList pictures;
    ProjectContext().Pictures = &pictures;
    const QString picture = BitmapFile(QStringLiteral("a.bmp"), Qt::red);

    auto list = std::make_unique<TObjectList>();
    TDynPanel* container = Make(0, 0, 300, 200);
    container->Name = QStringLiteral("MultiPanel2");
    list->Add(container);
    container->show();
    TDynPanel* inner = Make(5, 5, 50, 20, container);
    inner->Name = QStringLiteral("Label4");
    container->Children->Add(inner);
    TDynPanel* grandchild = Make(1, 1, 10, 10, inner);
    grandchild->Name = QStringLiteral("Label5");
    inner->Children->Add(grandchild);
    TDynPanel* other = Make(0, 210, 40, 40);
    other->Name = QStringLiteral("Label6");
    list->Add(other);
    container->TogglePicture(picture);
    other->TogglePicture(picture);
    ASSERT_EQ(pictures.Count(), 1);
    EXPECT_EQ(pictures.Entry(0)->UseCount, 2);

    TDynPanel* sibling = Make(50, 210, 40, 40);
    sibling->Name = QStringLiteral("Label7");
    list->Add(sibling);

    // Without a current form the text starts with the two spaces. A removed object's own
    // removed descendants drop out of the list; the others stay.
    inner->Children->RemoveObject(grandchild);
    EXPECT_EQ(RemovedObjects().Texts(), QStringList({"  Label5"}));
    container->Children->RemoveObject(inner);
    EXPECT_EQ(RemovedObjects().Texts(), QStringList({"  Label4"}));
    list->RemoveObject(sibling);
    list->RemoveObject(container);
    EXPECT_EQ(RemovedObjects().Texts(), QStringList({"  Label7", "  MultiPanel2"}));
    EXPECT_EQ(RemovedObjects().Items(1).Object, container);
    EXPECT_FALSE(list->Contains(container));
    EXPECT_FALSE(container->Visible());
    EXPECT_EQ(pictures.Entry(0)->UseCount, 1);
    EXPECT_EQ(container->OwnerList, list.get());

    // The last user lets go of the picture: the removed object forgets it instead of keeping a
    // freed entry.
    other->TogglePicture(QString());
    EXPECT_EQ(pictures.Count(), 0);
    EXPECT_EQ(container->Picture, nullptr);

    // The list goes: the removed object no longer names it.
    list.reset();
    EXPECT_EQ(container->OwnerList, nullptr);
    // An object freed meanwhile leaves the removed list by itself; so do the children it takes
    // along, whose lists are gone before them.
    delete container;
    EXPECT_EQ(RemovedObjects().Texts(), QStringList({"  Label7"}));
    delete sibling;
    EXPECT_EQ(RemovedObjects().Count(), 0);

    // A database form only leaves the list.
    TObjectList forms;
    TDynPanel* page = Make(0, 0, 40, 40);
    page->KindInfo = KindByCode(kcDBForm);
    forms.Add(page);
    forms.RemoveObject(page);
    EXPECT_EQ(forms.Count(), 0);
    EXPECT_EQ(RemovedObjects().Count(), 0);
    delete page;
}

TEST_F(Persistence, DataSourcesAreFoundByExactNameAndFreed)
{
    TObjectList sources;
    auto* orders = new TCloneDataSource();
    orders->Name = QStringLiteral("Orders");
    auto* customers = new TCloneDataSource();
    customers->Name = QStringLiteral("Customers");
    sources.AppendUnique(orders);
    sources.AppendUnique(customers);
    EXPECT_EQ(sources.FindByName(QStringLiteral("Customers")), customers);
    EXPECT_EQ(sources.FindByName(QStringLiteral("customers")), nullptr);
    sources.FreeDataSource(orders);
    EXPECT_EQ(sources.Count(), 1);
    EXPECT_EQ(sources.FindByName(QStringLiteral("Orders")), nullptr);
    TCloneDataSource stranger;
    sources.FreeDataSource(&stranger);
    EXPECT_EQ(sources.Count(), 1);
}

// ---- the picture list ----

TEST_F(Persistence, UnusedPicturesAreDroppedAndObjectsFindTheirPictureByIndex)
{
    for (const bool embed : {true, false}) {
        SCOPED_TRACE(embed ? "embedded" : "by file name");
        stream.Clear();
        ProjectContext().Active = true;
        ProjectContext().EmbedPictures = embed;
        auto pictures = std::make_unique<TBilderList>();
        ProjectContext().Pictures = pictures.get();
        const QString a = BitmapFile(QStringLiteral("A.bmp"), Qt::red);
        const QString b = BitmapFile(QStringLiteral("B.bmp"), Qt::green);
        const QString c = BitmapFile(QStringLiteral("C.bmp"), Qt::blue, 6, 2);
        ASSERT_NE(pictures->LoadPicture(a), nullptr);
        ASSERT_NE(pictures->LoadPicture(b), nullptr);
        ASSERT_NE(pictures->LoadPicture(c), nullptr);
        std::unique_ptr<TDynPanel> usesA(Make(0, 0, 40, 40));
        std::unique_ptr<TDynPanel> usesC(Make(0, 0, 40, 40));
        usesA->TogglePicture(a);
        usesC->TogglePicture(c);

        pictures->SaveToStream(stream);
        ASSERT_EQ(pictures->Count(), 2);
        EXPECT_EQ(pictures->Entry(1)->FileName, c);
        EXPECT_EQ(pictures->Entry(1)->PictureIndex, 1);
        usesA->SaveToStream();
        usesC->SaveToStream();
        usesA.reset();
        usesC.reset();
        pictures.reset();

        auto loaded = std::make_unique<TBilderList>();
        ProjectContext().Pictures = loaded.get();
        stream.SetPosition(0);
        loaded->LoadFromStream(stream);
        ASSERT_EQ(loaded->Count(), 2);
        EXPECT_EQ(loaded->Entry(1)->ShortName, "C.bmp");
        EXPECT_EQ(loaded->Entry(1)->UseCount, 0);
        std::unique_ptr<TDynPanel> ra(Make(0, 0, 40, 40));
        std::unique_ptr<TDynPanel> rc(Make(0, 0, 40, 40));
        ra->LoadFromStream();
        rc->LoadFromStream();
        EXPECT_EQ(stream.Position(), stream.Size());
        EXPECT_EQ(ra->Picture, loaded->Entry(0));
        ASSERT_EQ(rc->Picture, loaded->Entry(1));
        EXPECT_EQ(rc->PictureFile, c);
        EXPECT_EQ(rc->Picture->UseCount, 1);
        EXPECT_EQ(rc->Picture->Width(), 6);
        EXPECT_EQ(QColor(rc->Picture->Bitmap.pixel(5, 1)), QColor(Qt::blue));
        ra.reset();
        rc.reset();
        loaded.reset();
        ProjectContext().Pictures = nullptr;
    }
}

TEST_F(Persistence, PictureIndexOutsideTheListAndMissingFilesGiveNoPicture)
{
    ProjectContext().Active = true;
    TBilderList pictures;
    ProjectContext().Pictures = &pictures;
    const QString c = BitmapFile(QStringLiteral("C.bmp"), Qt::blue);
    std::unique_ptr<TDynPanel> o(Make(0, 0, 40, 40));

    ProjectContext().EmbedPictures = true;
    pictures.LoadPicture(c);
    o->TogglePicture(c);
    o->SaveToStream();
    o->TogglePicture(QString()); // the only use: the entry goes, the stored index 0 points nowhere
    ASSERT_EQ(pictures.Count(), 0);
    std::unique_ptr<TDynPanel> r(Make(0, 0, 40, 40));
    stream.SetPosition(0);
    r->LoadFromStream();
    EXPECT_EQ(r->Picture, nullptr);
    EXPECT_EQ(stream.Position(), stream.Size());

    ProjectContext().EmbedPictures = false;
    stream.Clear();
    o->TogglePicture(c);
    o->SaveToStream();
    o->TogglePicture(QString());
    QFile::remove(c);
    std::unique_ptr<TDynPanel> r2(Make(0, 0, 40, 40));
    stream.SetPosition(0);
    r2->LoadFromStream();
    EXPECT_EQ(r2->Picture, nullptr);
    EXPECT_TRUE(r2->PictureFile.isEmpty());
}

TEST_F(Persistence, LoadPictureTakesBitmapsAndJpegsByTheirFourCharacterExtension)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    struct Case {
        const char* Name;
        const char* Format;
        bool Taken;
    };
    const Case cases[] = {
        {"p.bmp", "BMP", true},   {"p2.BMP", "BMP", true}, {"p.jpg", "JPG", true},
        {"p.jpeg", "JPG", false}, // cut to 4 characters: .JPE
        {"p.png", "PNG", false},
    };
    TBilderList pictures;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path = Path(c.Name);
        ASSERT_TRUE(image.save(path, c.Format));
        TBKImage* e = pictures.LoadPicture(path);
        EXPECT_EQ(e != nullptr, c.Taken);
        if (e) {
            EXPECT_TRUE(e->IsBitmap());
            EXPECT_EQ(e->Width(), 8);
            EXPECT_EQ(pictures.LoadPicture(path), e); // found again, not loaded twice
            EXPECT_EQ(e->PictureIndex, pictures.IndexOf(e));
        }
    }
    EXPECT_EQ(pictures.Count(), 3);
    EXPECT_EQ(pictures.LoadPicture(Path("missing.bmp")), nullptr);
}

TEST_F(Persistence, EmbeddedPicturesOfEveryKindSurviveASaveAndDatabaseEntriesAreSkipped)
{
    ProjectContext().Active = true;
    ProjectContext().EmbedPictures = true;
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::yellow);
    QByteArray iconBytes;
    {
        QBuffer buffer(&iconBytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(icon.save(&buffer, "ICO"));
    }
    const QByteArray metafile("\xD7\xCD\xC6\x9A metafile bytes", 20);
    TBilderList pictures;
    const auto add = [&pictures](const char* name, TBKImage::TGraphicKind kind, const QByteArray& raw) {
        auto* e = new TBKImage;
        e->FileName = QString::fromLatin1(name);
        e->GraphicKind = kind;
        e->RawData = raw;
        e->UseCount = 1;
        pictures.Add(e);
        return e;
    };
    add("Datenbank", TBKImage::TGraphicKind::Empty, {});
    TBKImage* bmp = add("c:/pics/photo.JPG", TBKImage::TGraphicKind::Bitmap, {});
    bmp->Bitmap = QImage(5, 4, QImage::Format_RGB32);
    bmp->Bitmap.fill(Qt::magenta);
    add("logo.ico", TBKImage::TGraphicKind::Icon, iconBytes);
    add("drawing.wmf", TBKImage::TGraphicKind::Metafile, metafile);
    add("notes.txt", TBKImage::TGraphicKind::Empty, {});
    pictures.SaveToStream(stream);

    TBilderList loaded;
    stream.SetPosition(0);
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    ASSERT_EQ(loaded.Count(), 4);
    EXPECT_EQ(loaded.Entry(0)->FileName, "c:/pics/photo.JPG");
    EXPECT_EQ(loaded.Entry(0)->ShortName, "photo.JPG");
    ASSERT_TRUE(loaded.Entry(0)->IsBitmap());
    EXPECT_EQ(QColor(loaded.Entry(0)->Bitmap.pixel(4, 3)), QColor(Qt::magenta));
    EXPECT_EQ(loaded.Entry(1)->GraphicKind, TBKImage::TGraphicKind::Icon);
    EXPECT_EQ(loaded.Entry(1)->Bitmap.width(), 16);
    EXPECT_EQ(loaded.Entry(2)->GraphicKind, TBKImage::TGraphicKind::Metafile);
    EXPECT_EQ(loaded.Entry(2)->RawData, metafile);
    EXPECT_EQ(loaded.Entry(3)->GraphicKind, TBKImage::TGraphicKind::Empty);
    EXPECT_EQ(loaded.Entry(3)->PictureIndex, 3);

    // A picture block longer than the stream is refused and adds nothing.
    TMemoryStream cut(stream.Data().left(stream.Size() - 30));
    TBilderList none;
    EXPECT_THROW(none.LoadFromStream(cut), EStreamError);
    EXPECT_EQ(none.Count(), 0);
}

// ---- object files ----

TEST_F(Persistence, ObjectFileHoldsVersionDateScreenAndListAndLoadsAsNewObjects)
{
    std::unique_ptr<TDynPanel> o(Make(12, 14, 90, 30));
    o->Name = QStringLiteral("Simpel9");
    ProjectContext().Active = true; // in an object file no picture reference is written all the same
    const QString file = Path("one.KvO");
    ASSERT_TRUE(TObjectList::SaveObjectToFile(o.get(), file));
    EXPECT_EQ(o->OwnerList, nullptr);
    EXPECT_FALSE(ObjectFileMode);

    TMemoryStream s;
    s.LoadFromFile(file);
    EXPECT_EQ(s.ReadDouble(), 0.1);
    EXPECT_EQ(DateTimeToDate(s.ReadDouble()), QDate(2002, 9, 20));
    EXPECT_EQ(s.ReadInt32(), 1024);
    EXPECT_EQ(s.ReadInt32(), 1280);
    EXPECT_EQ(s.ReadInt32(), 1);

    TObjectList list;
    TDynPanel* existing = Make(0, 0, 40, 40);
    list.Add(existing);
    ASSERT_TRUE(list.LoadFromFile(file));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), existing);
    EXPECT_EQ(list.Panel(1)->Name, "Simpel9");
    EXPECT_EQ(list.Panel(1)->OwnerList, &list);
    EXPECT_EQ(list.Panel(1)->BoundsRect(), TRect(12, 14, 102, 44));
    EXPECT_EQ(SharedStream, &stream);
    EXPECT_FALSE(ObjectFileMode);
    EXPECT_TRUE(ScriptedDialogs()->ShownDialogs().empty());

    // A file that cannot be written is reported, not passed off as saved.
    const QString nowhere = Path("no/such/dir/one.KvO");
    EXPECT_FALSE(TObjectList::SaveObjectToFile(o.get(), nowhere));
    EXPECT_EQ(ScriptedDialogs()->Texts(), QStringList("Save of" + nowhere + "error"));
    EXPECT_EQ(SharedStream, &stream);
    EXPECT_FALSE(ObjectFileMode);
}

TEST_F(Persistence, ObjectFileOfAHigherVersionIsRefusedWithItsMessage)
{
    std::unique_ptr<TDynPanel> o(Make(0, 0, 40, 40));
    const QString file = Path("new.KvO");
    ASSERT_TRUE(TObjectList::SaveObjectToFile(o.get(), file));
    TMemoryStream s;
    s.LoadFromFile(file);
    s.WriteDouble(0.2);
    s.SaveToFile(file);

    for (const QChar separator : {QChar('.'), QChar(',')}) {
        FormatSettings().DecimalSeparator = separator;
        ScriptedDialogs()->Reset();
        ScriptedDialogs()->QueueResult(mrYes); // the answer changes nothing
        TObjectList list;
        EXPECT_FALSE(list.LoadFromFile(file));
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(ScriptedDialogs()->Texts(), QStringList(QStringLiteral("Bad version!0") + separator + "2 of File."));
        EXPECT_EQ(ObjectsUnderHost(), 1);
    }
}

TEST_F(Persistence, EveryTruncationOfAnObjectFileGivesOneMessageAndChangesNothing)
{
    TObjectList source;
    source.Add(Make(1, 2, 30, 40));
    source.Add(Make(5, 6, 70, 80));
    const QString whole = Path("two.KvO");
    ASSERT_TRUE(source.SaveToFile(whole));
    source.Clear();
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    in.close();

    TObjectList list;
    TDynPanel* existing = Make(0, 0, 40, 40);
    existing->Name = QStringLiteral("Existing");
    list.Add(existing);
    const int objectsBefore = ObjectsUnderHost();
    const QString cut = Path("cut.KvO");
    for (int n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE("first " + std::to_string(n) + " bytes");
        QFile out(cut);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes.left(n));
        out.close();
        ScriptedDialogs()->Reset();
        EXPECT_FALSE(list.LoadFromFile(cut));
        ASSERT_EQ(ScriptedDialogs()->ShownDialogs().size(), 1u);
        EXPECT_TRUE(ScriptedDialogs()->LastText().contains(cut));
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Items(0), existing);
        EXPECT_EQ(existing->Name, "Existing");
        EXPECT_EQ(ObjectsUnderHost(), objectsBefore);
        EXPECT_EQ(CurrentParent, host);
        EXPECT_EQ(SharedStream, &stream);
        EXPECT_FALSE(ObjectFileMode);
    }
    ScriptedDialogs()->Reset();
    EXPECT_TRUE(list.LoadFromFile(whole));
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(Persistence, CorruptObjectFilesGiveOneMessageAndChangeNothing)
{
    TObjectList source;
    TDynPanel* o = Make(1, 2, 30, 40);
    o->Name = QStringLiteral("Obj");
    source.Add(o);
    const QString whole = Path("one.KvO");
    ASSERT_TRUE(source.SaveToFile(whole));
    TMemoryStream original;
    original.LoadFromFile(whole);
    const qint64 list = 24, descriptor = 28, record = 60, name = record + 8;

    struct Case {
        const char* Name;
        qint64 At;
        QByteArray Bytes;
    };
    const Case cases[] = {
        {"count beyond the file", list, Bytes().I32(0x7FFFFFFF).data},
        {"negative count", list, Bytes().I32(-1).data},
        {"kind name longer than 20", descriptor, Bytes().U8(21).data},
        {"name longer than the file", name, Bytes().I32(1 << 30).data},
        // size, colour, charset, name "Arial", style, Modes, KindParam2, KeepAspect end the file
        {"font size out of range", original.Size() - (4 + 4 + 4 + 9 + 8 + 4 + 4 + 1), Bytes().I32(1 << 30).data},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryStream s(original.Data());
        s.SetPosition(c.At);
        s.WriteBytes(c.Bytes);
        const QString file = Path("bad.KvO");
        s.SaveToFile(file);
        ScriptedDialogs()->Reset();
        TObjectList target;
        EXPECT_FALSE(target.LoadFromFile(file));
        EXPECT_EQ(target.Count(), 0);
        ASSERT_EQ(ScriptedDialogs()->ShownDialogs().size(), 1u);
        EXPECT_TRUE(ScriptedDialogs()->LastText().contains(file));
        EXPECT_EQ(ObjectsUnderHost(), 1);
    }
    ScriptedDialogs()->Reset();
    TObjectList target;
    EXPECT_FALSE(target.LoadFromFile(Path("absent.KvO")));
    EXPECT_TRUE(ScriptedDialogs()->LastText().contains(Path("absent.KvO")));
}

} // namespace
