#include "shell/Batch.h"
#include "content/DynGraphik.h"
#include "content/DynLabel.h"
#include "content/Header.h"
#include "data/DataSample.h"
#include "grids/DynEdit.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/DynMultiPanel.h"
#include "objects/DynRichEdit.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "platform/Dialogs.h"
#include "platform/MemoryStream.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextCursor>
#include <QTextStream>

namespace {
// Dialogs of a program without windows: messages are collected, questions answered with No.
class TBatchDialogs : public TDialogs {
public:
    QStringList Messages;
    int MessageDlg(const QString& text, TMsgDlgType, TMsgDlgButtons buttons) override
    {
        Messages << text;
        return (buttons & mbNo) ? mrNo : (buttons & mbCancel) ? mrCancel : mrOk;
    }
    void ShowMessage(const QString& text) override { Messages << text; }
    bool InputQuery(const QString&, const QString&, QString&) override { return false; }
    bool OpenFile(TFileDialogRequest&) override { return false; }
    bool SaveFile(TFileDialogRequest&) override { return false; }
    bool ChooseFont(QFont&, TColor&) override { return false; }
    bool ChooseColor(TColor&) override { return false; }
    bool PrintSetup(QPrinter&) override { return false; }
    int ExecModal(QDialog&) override { return 0; }
    bool OpenUrl(const QUrl&) override { return false; }
};

// Installs the batch dialogs for the length of a command and restores the previous ones.
TBatchDialogs* InstallBatchDialogs()
{
    if (auto* existing = dynamic_cast<TBatchDialogs*>(&TDialogs::Get()))
        return existing;
    if (ScriptedDialogs()) // under test the scripted dialogs stay
        return nullptr;
    auto d = std::make_unique<TBatchDialogs>();
    TBatchDialogs* raw = d.get();
    TDialogs::Install(std::move(d));
    return raw;
}

void PrepareSettings()
{
    if (DesignerVersion.Number == 0) {
        DesignerVersion.Name = QStringLiteral("beta");
        DesignerVersion.Number = 0.1;
        DesignerVersion.Date = DateToDateTime(QDate(2002, 9, 20));
    }
    if (Texts(160).isEmpty())
        FillTextDefaults();
    if (PrinterDpiX == 0) {
        // Without a designer there is nobody to warn: take the metrics quietly.
        TScriptedDialogs quiet;
        TakePrinterMetricsWith(quiet);
    }
}

QJsonArray BoundsOf(const TDynPanel* p)
{
    return QJsonArray{p->pleft, p->ptop, p->pwidth, p->pheight};
}

QJsonArray ObjectsOf(const TObjectList& list)
{
    QJsonArray out;
    for (int i = 0; i < list.Count(); ++i) {
        const TDynPanel* p = list.Panel(i);
        if (!p)
            continue;
        QJsonObject o;
        o["kind"] = p->KindInfo.Code;
        o["kindName"] = p->KindInfo.Name;
        o["name"] = p->Name;
        o["bounds"] = BoundsOf(p);
        const QJsonArray children = ObjectsOf(*p->Children);
        if (!children.isEmpty())
            o["children"] = children;
        out.append(o);
    }
    return out;
}

QJsonObject VersionOf()
{
    QJsonObject v;
    v["number"] = FileVersion.Number;
    v["date"] = DateTimeToDate(FileVersion.Date).toString(Qt::ISODate);
    return v;
}
} // namespace

bool FileOutline(const QString& fileName, QJsonObject& outline, QString& error)
{
    PrepareSettings();
    TBatchDialogs* dialogs = InstallBatchDialogs();
    if (dialogs)
        dialogs->Messages.clear();
    if (!QFileInfo(fileName).isFile()) {
        error = QStringLiteral("%1: no such file").arg(fileName);
        return false;
    }
    const QString ext = QFileInfo(fileName).suffix();
    QWidget host;
    host.resize(1024, 768);
    if (ext.compare(QStringLiteral("KvO"), Qt::CaseInsensitive) == 0 ||
        ext.compare(QStringLiteral("~KvO"), Qt::CaseInsensitive) == 0) {
        TDynMultiPanel holder(nullptr, &host);
        TDynPanel* previousParent = CurrentParent;
        CurrentParent = &holder;
        const bool ok = holder.Children->LoadFromFile(fileName);
        CurrentParent = previousParent;
        if (!ok) {
            error = dialogs && !dialogs->Messages.isEmpty() ? dialogs->Messages.join(' ')
                                                             : QStringLiteral("%1: cannot be read").arg(fileName);
            return false;
        }
        outline = QJsonObject{{"file", fileName}, {"type", "object"}, {"version", VersionOf()},
                              {"objects", ObjectsOf(*holder.Children)}};
        return true;
    }
    TDYNProject project(nullptr, &host);
    if (!project.LoadProject(fileName)) {
        error = dialogs && !dialogs->Messages.isEmpty() ? dialogs->Messages.join(' ')
                                                         : QStringLiteral("%1: cannot be read").arg(fileName);
        return false;
    }
    QJsonArray forms;
    for (int i = 0; i < project.FormCount(); ++i) {
        TDynDBForm* f = project.Form(i);
        QJsonObject fo{{"kind", f->KindInfo.Code}, {"kindName", f->KindInfo.Name}, {"name", f->Name},
                       {"bounds", BoundsOf(f)}, {"headerOn", f->HeaderOn}, {"footerOn", f->FooterOn},
                       {"objects", ObjectsOf(*f->Children)}};
        forms.append(fo);
    }
    QJsonArray sources;
    for (int i = 0; i < project.DataSources.Count(); ++i) {
        const TComponent* c = project.DataSources.Items(i);
        const TKindInfo k = TKindRegistry::Get().DescriptorOf(c);
        QJsonObject so{{"kind", k.Code}, {"kindName", k.Name}};
        if (auto* s = dynamic_cast<const TCloneSource*>(c))
            so["name"] = s->Name;
        sources.append(so);
    }
    outline = QJsonObject{{"file", fileName}, {"type", "project"}, {"version", VersionOf()},
                          {"title", project.Title}, {"pictures", project.Pictures.Count()},
                          {"forms", forms}, {"dataSources", sources}};
    return true;
}

namespace {
// A new panel placed as the designer places one: in the rubber rectangle r, inside parent.
TDynRichEdit* AddPanel(TDynPanel* parent, TDynDBForm* form, const TRect& r, TColor color = clWhite)
{
    DrawRect = TDrawRect{0, 0, 0, 0, r.Left, r.Top, r.Right, r.Bottom};
    TDynDBForm* previous = CurrentForm;
    CurrentForm = form;
    auto* o = new TDynRichEdit(form, parent);
    CurrentForm = previous;
    parent->Children->Add(o);
    o->SetColor(color);
    o->show();
    return o;
}

// A panel that shows formatted text.
TDynRichEdit* AddRichText(TDynPanel* parent, TDynDBForm* form, const TRect& r, const QString& html)
{
    TDynRichEdit* o = AddPanel(parent, form, r);
    o->EnsureRichText()->setHtml(html);
    o->LayoutLines();
    o->UpdateLayout();
    return o;
}

// A sample's first page, selected as the designer selects a new form.
TDynDBForm* StartForm(TDYNProject& project)
{
    TDynDBForm* form = project.NewForm();
    form->Select();
    form->Activate();
    return form;
}

// The first sample: two forms, nested panels, rich text, header and footer, and a picture.
bool WriteFirstSample(const QString& dir, QString& file, QString& error)
{
    QWidget host;
    host.resize(1024, 768);
    TDYNProject project(nullptr, &host);
    project.CreatedText = QStringLiteral("Kivotek sample");
    TDynDBForm* first = StartForm(project);
    AddRichText(first, first, TRect(60, 80, 700, 200),
                QStringLiteral("<h2>Kivotek</h2><p>A <b>run-time</b> form and <i>report</i> designer. "
                               "<span style='color:#c00000'>Red</span>, <u>underlined</u> and "
                               "<s>struck</s> text.</p><ul><li>Forms</li><li>Reports</li><li>Labels</li></ul>"));
    TDynRichEdit* outer = AddPanel(first, first, TRect(60, 240, 460, 520), RGBColor(230, 240, 255));
    TDynRichEdit* inner = AddPanel(outer, first, TRect(20, 20, 220, 160), RGBColor(255, 250, 220));
    AddRichText(inner, first, TRect(10, 10, 190, 100), QStringLiteral("<p>A panel inside a panel.</p>"));
    // A picture made here, kept beside the project.
    QImage picture(120, 80, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor(40 + x, 80 + y, 200 - x / 2));
    const QString pictureFile = QDir(dir).filePath(QStringLiteral("KivotekSample.BMP"));
    if (!picture.save(pictureFile, "BMP")) {
        error = QStringLiteral("cannot write %1").arg(pictureFile);
        return false;
    }
    TDynRichEdit* framed = AddPanel(first, first, TRect(500, 240, 700, 380), clWhite);
    framed->TogglePicture(pictureFile);
    first->Header->ToggleOn();
    AddRichText(first->Header, first, TRect(10, 10, 400, 60), QStringLiteral("<p><b>Sample header</b></p>"));
    first->Footer->ToggleOn();
    AddRichText(first->Footer, first, TRect(10, 10, 400, 60), QStringLiteral("<p><i>Sample footer</i></p>"));
    first->UpdateLayout();

    TDynDBForm* second = StartForm(project);
    AddRichText(second, second, TRect(60, 80, 600, 180), QStringLiteral("<p>The second form of the sample.</p>"));
    file = QDir(dir).filePath(QStringLiteral("Sample1.KvR"));
    return project.SaveProject(file);
}
// The second sample: labels in every alignment, each shape with line styles and fills, edit fields.
bool WriteContentSample(const QString& dir, QString& file, QString& error)
{
    QWidget host;
    host.resize(1024, 768);
    TDYNProject project(nullptr, &host);
    project.CreatedText = QStringLiteral("Kivotek sample: labels, shapes and edit fields");
    TDynDBForm* form = StartForm(project);
    auto place = [&](const TRect& r) { DrawRect = TDrawRect{0, 0, 0, 0, r.Left, r.Top, r.Right, r.Bottom}; };
    CurrentForm = form;
    // Labels: three horizontal by three vertical alignments.
    for (int v = 0; v < 3; ++v)
        for (int h = 0; h < 3; ++h) {
            place(TRect::FromBounds(60 + h * 200, 60 + v * 70, 180, 56));
            auto* label = new TDynLabel(form, form);
            form->Children->Add(label);
            label->SetText(HAlignNames[size_t(h)] + QStringLiteral(" / ") + VAlignNames[size_t(v)]);
            label->SetContentAlignment(v, h);
            label->SetColor(RGBColor(255, 255, 230));
            label->show();
        }
    // Shapes: each kind, each line style, filled and not.
    const Int32 shapes[] = {gsLine, gsRectangle, gsCircle, gsEllipse};
    for (int i = 0; i < 4; ++i) {
        for (int style = 0; style < 5; ++style) {
            const int x = 60 + style * 130, y = 300 + i * 110;
            place(TRect::FromBounds(x, y, 100, i == 2 ? 100 : 80));
            auto* shape = new TDynGraphik(form, form, shapes[i]);
            form->Children->InsertGraphic(shape);
            shape->SetLineType(style);
            shape->SetLineWidth(style == 0 ? 3 : 1);
            if (i > 0 && style % 2 == 1)
                shape->SetColor(RGBColor(120 + style * 20, 180, 255 - style * 30));
            if (i > 0 && style == 4)
                shape->SetFillStyle(bsDiagCross, false);
            shape->UpdateLayout();
        }
    }
    // Edit fields.
    for (int i = 0; i < 3; ++i) {
        place(TRect::FromBounds(60 + i * 220, 760, 200, 40));
        auto* edit = new TDynEdit(form, form);
        form->Children->Add(edit);
        edit->show();
    }
    form->UpdateLayout();
    file = QDir(dir).filePath(QStringLiteral("Sample2.KvR"));
    if (!project.SaveProject(file)) {
        error = QStringLiteral("%1: cannot be written").arg(file);
        return false;
    }
    return true;
}
} // namespace

bool WriteDemoProjects(const QString& dir, QStringList& written, QString& error)
{
    PrepareSettings();
    InstallBatchDialogs();
    if (!QDir().mkpath(dir)) {
        error = QStringLiteral("%1: cannot create the directory").arg(dir);
        return false;
    }
    QString file;
    if (!WriteFirstSample(dir, file, error)) {
        if (error.isEmpty())
            error = QStringLiteral("%1: cannot be written").arg(file);
        return false;
    }
    written << file;
    if (!WriteContentSample(dir, file, error))
        return false;
    written << file;
    QString dataFile;
    if (!WriteDataSample(dir, dataFile, error)) {
        if (error.isEmpty())
            error = QStringLiteral("%1: cannot be written").arg(dataFile);
        return false;
    }
    written << dataFile;
    return true;
}

int RunBatch(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString usage = QStringLiteral("usage: kivotek-batch info FILE | kivotek-batch demo DIR");
    if (args.size() != 2) {
        err << usage << Qt::endl;
        return 2;
    }
    QString error;
    if (args[0] == QStringLiteral("info")) {
        QJsonObject outline;
        if (!FileOutline(args[1], outline, error)) {
            err << error.simplified() << Qt::endl;
            return 1;
        }
        out << QJsonDocument(outline).toJson(QJsonDocument::Indented);
        return 0;
    }
    if (args[0] == QStringLiteral("demo")) {
        QStringList written;
        if (!WriteDemoProjects(args[1], written, error)) {
            err << error.simplified() << Qt::endl;
            return 1;
        }
        for (const QString& f : written)
            out << f << Qt::endl;
        return 0;
    }
    err << usage << Qt::endl;
    return 2;
}
