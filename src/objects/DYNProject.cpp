#include "objects/DYNProject.h"
#include "data/CloneTable.h"
#include "data/HostData.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/DynDBForm.h"
#include "objects/ProjectContext.h"
#include "objects/RScrollBox.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/MemoryStream.h"
#include "platform/Screen.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "shell/Variable.h"
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {
TDYNProject* currentProject = nullptr;

// Makes a stream the shared stream for the length of a save or load.
class SharedStreamScope {
public:
    explicit SharedStreamScope(TMemoryStream* s) : previous_(SharedStream) { SharedStream = s; }
    ~SharedStreamScope() { SharedStream = previous_; }

private:
    TMemoryStream* previous_;
};
} // namespace

TDYNProject* TDYNProject::Current()
{
    return currentProject;
}

TDYNProject::TDYNProject(TComponent* owner, QWidget* parent) : TDynPanel(owner, parent)
{
    KindInfo = KindByCode(kcProject);
    Name = Texts(160);
    PropertySet = PropertySets::Project();
    CollectPropertyRows();
    SetLocked(true);
    BorderWidth = 0;
    BorderPixels = PreviousBorderPixels = 0;
    Interaction = 0;
    BackColor = DesignerColor;
    ProjectWorkDir = WorkDir;
    Children->ListOwner = this;
    PageControl = new QTabWidget(parent ? parent : this);
    PageControl->setTabPosition(QTabWidget::South);
    PageControl->hide();
    if (parent)
        PageControl->setGeometry(parent->rect());
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int) {
        if (!Loading)
            PageChanged();
    });
    currentProject = this;
    auto& ctx = ProjectContext();
    ctx.Pictures = &Pictures;
    ctx.DataSources = &DataSources;
    ctx.EmbedPictures = EmbedPictures;
    ctx.Active = true;
}

TDYNProject::~TDYNProject()
{
    ClearProject();
    if (currentProject == this) {
        currentProject = nullptr;
        ProjectContext() = TProjectContext{};
    }
    delete PageControl;
}

TDynDBForm* TDYNProject::Form(int i) const
{
    return dynamic_cast<TDynDBForm*>(Children->Items(i));
}

void TDYNProject::ClearProject()
{
    if (CurrentForm && Children->Contains(CurrentForm))
        CurrentForm = nullptr;
    if (CurrentList && CurrentList != Children.get())
        CurrentList = nullptr;
    CurrentParent = nullptr;
    SelectedObject = PreviousObject = nullptr;
    while (Children->Count() > 0) {
        TDynDBForm* form = Form(Children->Count() - 1);
        QWidget* tab = form ? form->Tab : nullptr;
        Children->FreeAt(Children->Count() - 1);
        delete tab;
    }
    DataSources.Clear();
    Pictures.Clear();
}

void TDYNProject::Activate()
{
    SelectedObject = this;
}

TDynDBForm* TDYNProject::NewForm()
{
    auto* tab = new TFormTab(PageControl);
    const int index = PageControl->addTab(tab, QString());
    auto* form = new TDynDBForm(this, tab);
    PageControl->setTabText(index, form->Name);
    Children->Add(form);
    form->OwnerList = Children.get();
    CurrentParent = form;
    CurrentForm = form;
    CurrentList = form->Children.get();
    if (auto* d = Designer())
        d->RefreshDesigner();
    ZoomFactor = 1.0;
    if (!Loading) {
        form->SetZoom(ZoomItem100);
        PageControl->show();
        form->show();
    }
    return form;
}

void TDYNProject::PageChanged()
{
    TDynDBForm* form = nullptr;
    QWidget* page = PageControl->currentWidget();
    for (int i = 0; i < FormCount() && !form; ++i)
        if (Form(i) && Form(i)->Tab == page)
            form = Form(i);
    if (!form && FormCount() > 0)
        form = Form(0);
    if (!form)
        return;
    form->Select();
    form->Activate();
    form->SetZoom(ZoomItem100); // with rulers shown they move onto this form's page
}

void TDYNProject::UpdateActiveForm()
{
    if (TDynDBForm* form = CurrentForm) {
        form->ComputeAvailableArea();
        form->PlaceScrollBox();
    }
}

void TDYNProject::CollectHostDataSources()
{
    for (TDataSource* source : HostDataSources()) {
        TDataSet* ds = source ? source->DataSet() : nullptr;
        if (!ds)
            continue;
        // A data source the project wraps already is not wrapped twice.
        bool wrapped = false;
        for (TComponent* item : DataSources.All())
            if (auto* w = dynamic_cast<TCloneDataSource*>(item); w && w->DataSource == source)
                wrapped = true;
        if (wrapped)
            continue;
        if (!ds->Active())
            ds->Open(); // a data source that cannot be opened is skipped
        if (!ds->Active())
            continue;
        TCloneDataSource* wrapper = nullptr;
        if (dynamic_cast<TTable*>(ds))
            wrapper = TCloneDataSource::WrapTable(this, source);
        else if (dynamic_cast<TQuery*>(ds))
            wrapper = TCloneDataSource::WrapQuery(this, source);
        if (!wrapper)
            continue;
        ds->Refresh();
        DataSources.Add(wrapper);
    }
}

bool TDYNProject::SaveProject(const QString& fileName)
{
    const QString dir = QFileInfo(fileName).absolutePath();
    if (!DirectoryExists(dir)) {
        TDialogs::Get().MessageDlg(Texts(156) + dir + Texts(157), TMsgDlgType::Error, mbOK);
        return false;
    }
    TMemoryStream stream;
    SharedStreamScope scope(&stream);
    ProjectContext().EmbedPictures = EmbedPictures;
    try {
        stream.WriteDouble(DesignerVersion.Number);
        stream.WriteDouble(DesignerVersion.Date);
        stream.WriteInt32(TScreen::Height());
        stream.WriteInt32(TScreen::Width());
        WriteText(stream, CreatedText);
        WriteText(stream, WorkDir);
        Title = fileName.left(fileName.indexOf(QChar(0)) >= 0 ? fileName.indexOf(QChar(0)) : fileName.size());
        stream.WriteByte(AllLocked ? 1 : 0);
        WriteText(stream, Title);
        stream.WriteByte(EmbedPictures ? 1 : 0);
        Pictures.SaveToStream(stream);
        DataSources.SaveToStream(stream);
        Children->SaveToStream(stream);
        // The previous good file is replaced only once the new one is written whole.
        stream.SaveToFile(fileName);
    } catch (const EStreamError&) {
        if (fileName != BackupFileName)
            TDialogs::Get().MessageDlg(Texts(151) + fileName + Texts(152), TMsgDlgType::Confirmation, mbOK);
        return false;
    }
    return true;
}

bool TDYNProject::LoadProject(const QString& fileName)
{
    TMemoryStream stream;
    SharedStreamScope scope(&stream);
    const bool wasLoading = Loading;
    Loading = true;
    bool ok = false;
    QString problem;
    try {
        stream.LoadFromFile(fileName);
        FileVersion.Number = stream.ReadDouble();
        FileVersion.Date = stream.ReadDouble();
        FileScreenHeight = stream.ReadInt32();
        FileScreenWidth = stream.ReadInt32();
        CreatedText = ReadText(stream);
        ProjectWorkDir = ReadText(stream);
        if (DesignerVersion.Number < FileVersion.Number) {
            TDialogs::Get().MessageDlg(Texts(158) + FloatToStr(FileVersion.Number) + Texts(159),
                                       TMsgDlgType::Confirmation, mbYesNoCancel);
            Loading = wasLoading;
            if (FormCount() == 0)
                NewForm();
            return false;
        }
        CurrentForm = nullptr;
        pLock = stream.ReadByte() != 0;
        Title = ReadText(stream);
        EmbedPictures = stream.ReadByte() != 0;
        ProjectContext().EmbedPictures = EmbedPictures;
        Pictures.LoadFromStream(stream);
        DataSources.LoadFromStream(stream);
        Children->LoadFromStream(stream);
        ok = true;
    } catch (const EStreamError& e) {
        problem = QString::fromUtf8(e.what());
    } catch (const std::exception& e) {
        problem = QString::fromUtf8(e.what());
    }
    Loading = wasLoading;
    if (!ok) {
        // Nothing half-built stays: the project is empty with one new form.
        ClearProject();
        NewForm();
        TDialogs::Get().MessageDlg(QStringLiteral("The project file %1 could not be read: %2").arg(fileName, problem),
                                   TMsgDlgType::Error, mbOK);
        return false;
    }
    PageControl->show();
    if (FormCount() > 0) {
        PageControl->setCurrentIndex(0);
        PageChanged();
    }
    if (CurrentForm)
        CurrentForm->SetZoom(ZoomItem100);
    return true;
}
