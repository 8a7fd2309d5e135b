// The property panel of the designer: the 97 rows, the three grids that list the rows of the
// selected object, the value texts and the three input paths (a click on a value cell, Enter in
// the value editor, a choice in a drop-down), and the data binding rows.
#include "content/DynGraphik.h"
#include "content/DynLabel.h"
#include "content/Header.h"
#include "data/CloneTable.h"
#include "designer/BorderImage.h"
#include "designer/BrushStyleImage.h"
#include "designer/ObComboBox.h"
#include "designer/ObPanel.h"
#include "designer/Objectgenerator.h"
#include "designer/PickerWindow.h"
#include "designer/PositionImage.h"
#include "designer/PropertyTable.h"
#include "objects/BilderListe.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/ProjectContext.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/Screen.h"
#include "platform/db/DataSet.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLayout>
#include <QPainter>
#include <cmath>

using namespace Prop;

namespace {

const QString NoSourceText = QStringLiteral("  ---------------------");
const QString NoSourceItem = QStringLiteral(" None");
const QString PictureFilter =
    QStringLiteral("All (*.bmp;*.jpg)|*.bmp;*.jpg|Bitmaps (*.bmp)|*.bmp|Jpeg  (*.jpg)|*.jpg");
const QString BackupName = QStringLiteral("tmpBackUp.~~KVR");

// Standard sets of the kinds whose classes live in other units: the Database row puts them back
// when such an object is bound.
TPropertySet ReportTableSet()
{
    return MakePropertySet({3, 4, 5, 6, 23, 24, 30, 31, 33, 34, 52, 54, 55, 56, 57, 70, 71, 73, 85, 88, 90, 96, 97, 98, 110});
}
TPropertySet SumFieldSet()
{
    return MakePropertySet({3, 4, 5, 6, 23, 24, 25, 26, 27, 28, 30, 31, 33, 34, 70, 71, 72, 73, 74, 79, 83, 84, 85, 88, 90,
                            105, 106, 107, 108, 111});
}
TPropertySet BarcodeSet()
{
    return MakePropertySet({3, 4, 6, 24, 31, 33, 64, 65, 66, 67, 68, 69, 79, 83, 84, 85, 88, 90, 105});
}
// The rows of a bound object that go with its data source.
TPropertySet DataRowsSet()
{
    return MakePropertySet({11, 79, 83, 84, 88, 90, 93, 96, 105, 106, 107, 108, 110, 111});
}

bool IsDataRow(int index)
{
    switch (index) {
    case CFilter: case CGroup: case CDatumGruppieren1: case CDatumGruppieren: case CZeitangabe:
    case CDataSource: case CDataField: case CDataFieldV: case CDBSumKind:
        return true;
    default:
        return false;
    }
}


TDYNProject* ProjectOf(const TObjectgenerator& d)
{
    return d.Project ? d.Project : TDYNProject::Current();
}

// The form a form row acts on: the selected form, else the current form.
TDynForm* FormOf(TDynPanel* o)
{
    if (auto* f = dynamic_cast<TDynForm*>(o))
        return f;
    return CurrentForm;
}

TDynDBForm* DBFormOf(TDynPanel* o)
{
    if (auto* f = dynamic_cast<TDynDBForm*>(o))
        return f;
    return CurrentForm;
}

double MillimetresPerPixelBase()
{
    if (FormPixelsPerMmX > 0)
        return FormPixelsPerMmX;
    if (PixelsPerMmX > 0)
        return PixelsPerMmX;
    return TScreen::PixelsPerInch() / 25.4;
}

// A length in logical pixels as millimetres with one decimal ("%6.1f").
QString LengthText(double pixels)
{
    const double mm = RoundHalfEven(pixels * 10.0 / MillimetresPerPixelBase()) / 10.0;
    QString s = QString::asprintf("%6.1f", mm);
    s.replace(u'.', FormatSettings().DecimalSeparator);
    return s;
}

QString FontText(const TFont& font, int logicalSize)
{
    return font.Name + QStringLiteral(" / ") + QString::number(logicalSize > 0 ? logicalSize : font.Size());
}

QString AlignName(const std::array<QString, 3>& names, int value)
{
    return names[value == 0 ? 0 : value == 2 ? 2 : 1];
}

QString DatePartName(int value)
{
    return value >= 0 && value < int(DatePartNames.size()) ? DatePartNames[size_t(value)] : QString();
}

TFont FontFromDialog(const QFont& qf, TColor color, const TFont& base)
{
    TFont f = base;
    f.Name = qf.family();
    int size = qf.pointSize();
    if (size <= 0)
        size = static_cast<int>(std::lround(qf.pointSizeF()));
    if (size > 0)
        f.SetSize(size);
    f.Bold = qf.bold();
    f.Italic = qf.italic();
    f.Underline = qf.underline();
    f.StrikeOut = qf.strikeOut();
    f.Color = color;
    return f;
}

// Date and time texts as the user types them, in the short date format or close to it.
QStringList DatePatterns()
{
    const QString f = FormatSettings().ShortDateFormat;
    QString loose = f;
    loose.replace(QStringLiteral("dd"), QStringLiteral("d")).replace(QStringLiteral("MM"), QStringLiteral("M"));
    QStringList out{f, loose, QStringLiteral("yyyy-MM-dd")};
    out.removeDuplicates();
    return out;
}

QStringList TimePatterns()
{
    QStringList out{FormatSettings().LongTimeFormat, QStringLiteral("h:mm:ss"), QStringLiteral("h:mm")};
    out.removeDuplicates();
    return out;
}

// The project's date text for a typed text; false when the text is neither a date nor a time.
bool DateTextFor(const QString& typed, QString& result)
{
    const QString text = typed.simplified();
    const TFormatSettings& fs = FormatSettings();
    for (const QString& d : DatePatterns())
        for (const QString& t : TimePatterns()) {
            const QDateTime dt = QDateTime::fromString(text, d + u' ' + t);
            if (dt.isValid()) {
                result = dt.toString(fs.ShortDateFormat + u' ' + fs.LongTimeFormat);
                return true;
            }
        }
    for (const QString& d : DatePatterns()) {
        const QDate date = QDate::fromString(text, d);
        if (date.isValid()) {
            result = date.toString(fs.ShortDateFormat);
            return true;
        }
    }
    for (const QString& t : TimePatterns()) {
        const QTime time = QTime::fromString(text, t);
        if (time.isValid()) {
            result = time.toString(fs.LongTimeFormat);
            return true;
        }
    }
    return false;
}

// A modal window of the property rows: the designer's colour, no border icons, centred on the
// screen.
void PrepareRowWindow(QDialog& w, int width, int height)
{
    w.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, ToQColor(DesignerColor));
    w.setPalette(pal);
    w.setAutoFillBackground(true);
    w.resize(width, height);
    w.move((TScreen::Width() - width) / 2, (TScreen::Height() - height) / 2);
}

// Assigns an entry of the project's picture list to the object, counting the use.
void AssignPicture(TDynPanel* o, TBKImage* entry)
{
    TBilderList* list = ProjectContext().Pictures;
    if (!o || !entry || !list || !list->Contains(entry) || o->Picture == entry)
        return;
    if (o->Picture)
        o->TogglePicture(QString());
    o->Picture = entry;
    ++entry->UseCount;
    o->PictureFile = entry->FileName;
    if (o->KindInfo.Code != kcDBForm && entry->Width() > 0 && entry->Height() > 0) {
        o->AspectRatio = entry->Height() < o->Width() ? double(entry->Height()) / entry->Width()
                                                      : double(entry->Width()) / entry->Height();
        if (o->KeepAspect)
            o->SetHeight(2 * o->BorderPixels + RoundHalfEven((o->Width() - 2 * o->BorderPixels) * o->AspectRatio));
    }
    o->UpdateLayout();
}

// A field of the object's dataset: the item's field while the dataset still has it, else the
// field of the item's name.
TField* CurrentField(TDynPanel* o, TField* item, const QString& name)
{
    if (!o->DataSource || !o->DataSource->DataSet)
        return nullptr;
    TDataSet* ds = o->DataSource->DataSet;
    for (int i = 0; i < ds->FieldCount(); ++i)
        if (ds->Fields(i) == item)
            return item;
    return ds->FindField(name);
}

} // namespace

// ---- building and freeing the rows ----

void TObjectgenerator::BuildPropertyRows()
{
    DestroyPropertyRows();
    for (int s = 0; s < 3; ++s) {
        QWidget* sheet = PropertyPages && s < PropertyPages->count() ? PropertyPages->widget(s) : this;
        if (!PropertyGrids[size_t(s)]) {
            auto* grid = new TObStringGrid(sheet);
            if (sheet->layout())
                sheet->layout()->addWidget(grid);
            grid->OnSelectCell = [this, s](int col, int row) { CellClicked(s, col, row); };
            grid->OnDrawCell = [this, grid](QPainter& p, int col, int row, const QRect& rect) {
                PaintCell(*grid, p, col, row, rect);
            };
            grid->OnKeyDown = [this](int key) {
                if (key == Qt::Key_Return || key == Qt::Key_Enter)
                    CommitValue(ValueEdit ? ValueEdit->text() : QString());
            };
            PropertyGrids[size_t(s)] = grid;
        }
    }
    ApplyGridMetrics();
    if (PropertyPages) {
        CurrentGrid = PropertyGrids[size_t(std::max(0, PropertyPages->currentIndex()))];
        if (!PropertyPages->property("kivoRowsHooked").toBool()) {
            PropertyPages->setProperty("kivoRowsHooked", true);
            connect(PropertyPages, &QTabWidget::currentChanged, this, [this](int index) {
                if (index < 0 || index > 2)
                    return;
                CurrentGrid = PropertyGrids[size_t(index)];
                CurrentCol = 1;
                CurrentRow = 0;
            });
        }
    }
    Rows.reserve(PropertyTableCount);
    for (int i = 0; i < PropertyTableCount; ++i) {
        const int s = PropertyTable()[size_t(i)].SheetIndex();
        QWidget* sheet = PropertyGrids[size_t(s)] ? PropertyGrids[size_t(s)]->parentWidget() : this;
        auto* row = new TObPanel(this, i, sheet);
        Rows.push_back(row);
        GlobalPropertyRows().push_back(row);
    }
}

void TObjectgenerator::DestroyPropertyRows()
{
    CloseDropDown();
    for (TObStringGrid* g : PropertyGrids)
        if (g) {
            g->SetRowCount(1);
            g->SetObjects(0, nullptr);
            g->Filled = false;
        }
    for (TObPanel* row : Rows)
        delete row; // each leaves the process-wide list
    Rows.clear();
}

TObPanel* TObjectgenerator::RowByName(const QString& rowName) const
{
    const int i = PropertyRowIndex(rowName);
    return i >= 0 && i < int(Rows.size()) ? Rows[size_t(i)] : nullptr;
}

void TObjectgenerator::ApplyGridMetrics()
{
    for (TObStringGrid* g : PropertyGrids) {
        if (!g)
            continue;
        g->ColWidths[0] = std::max(1, TotalWidth - ValueWidth - 6);
        g->ColWidths[1] = std::max(1, ValueWidth);
        g->DefaultRowHeight = std::max(1, LineHeight - 1);
        g->GridLineWidth = 1;
        g->setFont(font());
        QPalette pal = g->palette();
        pal.setColor(QPalette::Window, ToQColor(DesignerColor));
        g->setPalette(pal);
    }
    for (TObPanel* r : Rows)
        r->UpdateMetrics(TotalWidth, ValueWidth, LineHeight);
}

// ---- showing the rows of the selected object ----

void TObjectgenerator::ShowRows()
{
    if (!Visible() || !RowsShown || PagesHidden || AllLocked || !SelectedObject || SelectedObject == PreviousObject)
        return;
    TDynPanel* o = SelectedObject;
    if (o->PropertySet.none()) {
        if (ObjectCombo) {
            const QSignalBlocker block(ObjectCombo);
            ObjectCombo->setCurrentIndex(-1);
        }
        return;
    }
    if (ObjectCombo)
        for (size_t i = 0; i < ComboObjects.size() && int(i) < ObjectCombo->count(); ++i)
            if (ComboObjects[i] == o) {
                const QSignalBlocker block(ObjectCombo);
                ObjectCombo->setCurrentIndex(int(i));
                break;
            }
    // An object made before the rows existed collects them now.
    if (o->PropertyRows.Count() == 0)
        o->CollectPropertyRows();
    const bool setChanged = !PreviousObject || PreviousObject->PropertySet != o->PropertySet;
    if ((setChanged || !GridsShow(o)) && !Loading) {
        RebuildGrids(o);
        return;
    }
    // The same rows for another object: an edit or a list begun for the previous one ends here.
    CloseDropDown();
    RepaintGrid(CurrentGrid);
    RefreshValues();
}

bool TObjectgenerator::GridsShow(const TDynPanel* o) const
{
    std::array<int, 3> next{1, 1, 1};
    for (TPropertyRowBase* b : o->PropertyRows.Rows()) {
        auto* r = dynamic_cast<TObPanel*>(b);
        if (!r)
            continue;
        TObStringGrid* g = PropertyGrids[size_t(r->Sheet)];
        if (!g || !g->Filled || g->Objects(next[size_t(r->Sheet)]++) != r)
            return false;
    }
    for (int s = 0; s < 3; ++s)
        if (PropertyGrids[size_t(s)] && PropertyGrids[size_t(s)]->RowCount() != next[size_t(s)])
            return false;
    return true;
}

void TObjectgenerator::RebuildGrids(TDynPanel* o)
{
    CloseDropDown();
    if (ValueEdit)
        ValueEdit->hide();
    ApplyGridMetrics();
    for (TObStringGrid* g : PropertyGrids)
        if (g) {
            g->SetRowCount(1);
            g->SetObjects(0, nullptr);
            g->Filled = false;
        }
    if (PropertyGrids[0])
        BlankWidth = std::max(1, QFontMetrics(PropertyGrids[0]->font()).horizontalAdvance(u' '));
    if (PropertyPages)
        PropertyPages->hide();
    for (TPropertyRowBase* b : o->PropertyRows.Rows()) {
        auto* r = dynamic_cast<TObPanel*>(b);
        TObStringGrid* g = r ? PropertyGrids[size_t(r->Sheet)] : nullptr;
        if (!g)
            continue;
        const int n = g->RowCount();
        g->SetRowCount(n + 1);
        g->SetObjects(n, r);
        r->GridRow = n;
        r->Top = g->CellRect(1, n).top();
        r->UpdateMetrics(TotalWidth, ValueWidth, LineHeight);
    }
    for (TObStringGrid* g : PropertyGrids)
        if (g) {
            g->SetRowHeight(0, 0);
            g->Filled = true;
            g->update();
        }
    RowsHeight = PropertyGrids[0] ? PropertyGrids[0]->RowsHeight() : 0;
    if (CurrentGrid)
        CurrentRow = std::min(CurrentRow, CurrentGrid->RowCount() - 1);
    if (PropertyPages) {
        PropertyPages->show();
        if (QWidget* page = PropertyPages->currentWidget())
            page->show();
    }
}

void TObjectgenerator::RefreshValues()
{
    for (TObStringGrid* g : PropertyGrids)
        if (g)
            g->update();
}

void TObjectgenerator::RepaintGrid(TObStringGrid* grid)
{
    if (ValueEdit)
        ValueEdit->hide();
    if (grid)
        grid->update();
}

// ---- value texts ----

QString TObjectgenerator::RowRawValue(const TObPanel& row, bool& number) const
{
    number = false;
    TDynPanel* o = SelectedObject;
    if (!o)
        return {};
    const bool hasSource = o->DataSource != nullptr;
    if (IsDataRow(row.Index) && !hasSource)
        return row.Index == CDataSource ? NoSourceText : QString();
    auto* graphic = dynamic_cast<TDynGraphik*>(o);
    auto* project = dynamic_cast<TDYNProject*>(o);
    auto* form = dynamic_cast<TDynForm*>(o);
    auto* dbForm = dynamic_cast<TDynDBForm*>(o);
    const double zoom = ZoomFactor > 0 ? ZoomFactor : 1.0;
    auto length = [&number](double pixels) {
        number = true;
        return LengthText(pixels);
    };
    auto integer = [&number](double value) {
        number = true;
        return QString::number(RoundHalfEven(value));
    };
    switch (row.Index) {
    case CSeriendruck:
        if (TDynDBForm* f = DBFormOf(o))
            return BoolText(f->SerialPrint);
        return {};
    case CDatumGruppieren1: return DatePartName(o->ModeB());
    case CDatumGruppieren:
    case CZeitangabe: return DatePartName(o->ModeA());
    case CFilter: return o->DataSource->DataSet ? o->DataSource->DataSet->Filter() : QString();
    case CTextvisible: return BoolText(o->ShowContent);
    case CDataSource: return o->DataSourceName;
    case CDataField: return o->FieldName;
    case CDatum: return project ? project->CreatedText : QString();
    case CName: return o->Name;
    case CsaveAs:
    case Csave: return o->Title;
    case CPicturesave: return project ? BoolText(project->EmbedPictures) : QString();
    case CWorkDir: return project ? project->ProjectWorkDir : QString();
    case CAutosave: return BoolText(AutosaveOn);
    case Czentriert: return BoolText(o->Centered);
    case Cminheightwidth:
        return o->Content ? BoolText(o->Width() == o->PreferredWidth && o->Height() == o->PreferredHeight) : QString();
    case CTextAusrichtungV: return AlignName(VAlignNames, o->VAlign);
    case CTextAusrichtungH: return AlignName(HAlignNames, o->HAlign);
    case CTitleFont: return FontText(o->TitleFont, o->TitleFontSize);
    case CFont: return FontText(o->Font(), o->LogicalFontSize);
    case CAutosize: return BoolText(o->Autosize);
    case CReadOnly: return BoolText(o->ReadOnly);
    case CRaster: return form ? length(form->GridLogical) : QString();
    case CRasterEin: return form ? BoolText(form->SnapToGrid) : QString();
    case CGridEin: return form ? BoolText(form->ShowGrid) : QString();
    case CHilfEin: return BoolText(HelpLinesVisible);
    case CLinealEin: return BoolText(RulersVisible);
    case CHeader: return dbForm ? BoolText(dbForm->HeaderOn) : QString();
    case CFooter: return dbForm ? BoolText(dbForm->FooterOn) : QString();
    case CfirstPage: return BoolText(o->FirstPage);
    case Ctransparent: return BoolText(o->Transparent);
    case CBorder: return length(o->BorderWidth);
    case CStrichstaerke: return graphic ? length(graphic->LineWidth) : QString();
    case CDoubleBorder: return BoolText(o->DoubleBorder);
    case CVisible: return BoolText(o->IsShown());
    case CRadius: return graphic ? length(graphic->Radius / zoom) : QString();
    case CLaenge: return graphic ? length(graphic->Length / zoom) : QString();
    case CWinkel: return graphic ? integer(graphic->Angle) : QString();
    case CheightEdit: return length(o->pheight);
    case CwidthEdit: return length(o->pwidth);
    case CtopEdit: return length(o->ptop);
    case CleftEdit: return length(o->pleft);
    case Czoom: return form ? integer(form->ZoomPercent) : QString();
    case Cfixieren: return BoolText(o->Locked());
    default: return {};
    }
}

QString TObjectgenerator::RowValueText(const TObPanel& row) const
{
    bool number = false;
    const QString value = RowRawValue(row, number);
    if (value.isEmpty() || value == NoSourceText)
        return value;
    const QFont f = PropertyGrids[0] ? PropertyGrids[0]->font() : font();
    const int width = QFontMetrics(f).horizontalAdvance(value);
    if (!number && width >= ValueWidth - 12)
        return value;
    const int blanks = std::clamp((ValueWidth - width - 12) / std::max(1, BlankWidth), 0, int(SpaceStrings.size()) - 1);
    return SpaceStrings[size_t(blanks)] + value;
}

// ---- painting a cell ----

void TObjectgenerator::PaintCell(TObStringGrid& grid, QPainter& p, int col, int row, const QRect& rect)
{
    if (Loading)
        return;
    TObPanel* r = grid.Objects(row);
    const int textY = rect.top() + 1;
    p.setFont(grid.font());
    if (col == 1 && grid.Filled && r) {
        p.fillRect(rect, Qt::white);
        QColor pen = Qt::black;
        TDynPanel* o = SelectedObject;
        if (o) {
            switch (r->Index) {
            case CFont: pen = ToQColor(o->Font().Color); break;
            case CTitleFont: pen = ToQColor(o->TitleFont.Color); break;
            case CColor: p.fillRect(rect, ToQColor(o == this ? DesignerColor : o->BackColor)); break;
            case CBorderColor: p.fillRect(rect, ToQColor(o->BorderColor)); break;
            case CBrushStyleImage: TBrushStyleImage::PaintSample(p, rect, *o); break;
            case CBorderImage: TBorderImage::PaintSample(p, rect, *o); break;
            case CPositionImage: TPositionImage::PaintSample(p, rect, *o); break;
            default: break;
            }
        }
        const QString text = RowValueText(*r);
        if (!text.isEmpty()) {
            p.setPen(pen);
            p.drawText(QRect(rect.left() + 2, textY, rect.width() - 2, rect.height()),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        }
    } else {
        p.fillRect(rect, ToQColor(DesignerColor));
        if (r) {
            p.setPen(Qt::black);
            p.drawText(QRect(rect.left() + 2, textY, rect.width() - 2, rect.height()),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, r->ShortCaption);
        }
    }
}

// ---- a click on a value cell ----

void TObjectgenerator::CellClicked(int sheet, int col, int row)
{
    if (sheet < 0 || sheet > 2)
        return;
    TObStringGrid* grid = PropertyGrids[size_t(sheet)];
    if (!grid || col != 1 || !grid->Filled)
        return;
    CurrentGrid = grid;
    CurrentCol = col;
    CurrentRow = row;
    CloseDropDown();
    RepaintGrid(grid);
    TObPanel* r = grid->Objects(row);
    if (!r)
        return;
    if (r->IsEditRow()) {
        if (!ValueEdit)
            return;
        if (ValueEdit->parentWidget() != r->SheetControl)
            ValueEdit->setParent(r->SheetControl);
        ValueEdit->setGeometry(grid->x() + grid->ColWidths[0] + grid->GridLineWidth, grid->y() + r->Top, ValueWidth,
                               LineHeight);
        ValueEdit->show();
        ValueEdit->raise();
        ValueEdit->setFocus();
        return;
    }
    ClickRow(*r);
    RepaintGrid(CurrentGrid);
}

void TObjectgenerator::ClickRow(TObPanel& r)
{
    TDynPanel* o = SelectedObject;
    TDialogs& dialogs = TDialogs::Get();
    if (r.IsDropDownRow()) {
        BuildDropDown(r);
        return;
    }
    if (!o)
        return;
    switch (r.Index) {
    case CFont:
    case CTitleFont: {
        const TFont& current = r.Index == CFont ? o->Font() : o->TitleFont;
        TFont base = current;
        const int logical = r.Index == CFont ? o->LogicalFontSize : o->TitleFontSize;
        if (logical > 0)
            base.SetSize(logical);
        QFont qf = base.ToQFont();
        if (base.Size() > 0)
            qf.setPointSize(base.Size());
        TColor color = base.Color;
        if (!dialogs.ChooseFont(qf, color))
            return;
        const TFont chosen = FontFromDialog(qf, color, base);
        if (r.Index == CFont)
            o->SetObjectFont(chosen);
        else
            o->SetTitleFont(chosen);
        Modified = true;
        if (o == this) {
            // The designer's own metrics changed: the rows are laid out again.
            RebuildGrids(o);
        }
        return;
    }
    case CTextladen: {
        TFileDialogRequest request;
        request.Filter = TextFileFilter;
        request.InitialDir = WorkDir;
        if (dialogs.OpenFile(request)) {
            o->LoadContentFile(request.FileName);
            Modified = true;
        }
        return;
    }
    case CColor:
    case CBorderColor:
    case CRowsstripeColor:
    case CTitleColor: {
        TColor color = r.Index == CColor ? (o == this ? DesignerColor : o->BackColor)
                       : r.Index == CBorderColor ? o->BorderColor
                                                 : clWhite;
        if (!dialogs.ChooseColor(color))
            color = NoColorChange;
        switch (r.Index) {
        case CColor: o->SetColor(color); break;
        case CBorderColor: o->SetBorderColor(color); break;
        case CRowsstripeColor: o->SetGridColor(color); break;
        default: o->SetFixedColor(color); break;
        }
        if (color != NoColorChange)
            Modified = true;
        return;
    }
    default:
        break;
    }
    RunClickAction(r, o);
}

void TObjectgenerator::RunClickAction(TObPanel& r, TDynPanel* o)
{
    TDialogs& dialogs = TDialogs::Get();
    bool acted = true;
    switch (r.Index) {
    case CSeriendruck:
        if (TDynDBForm* f = DBFormOf(o))
            f->ToggleSerialPrint();
        break;
    case CFilter:
    case CSort:
    case CSpaltenfelder: {
        if (!o->DataSource) {
            dialogs.MessageDlg(Texts(410) + QStringLiteral("  ") + o->Name, TMsgDlgType::Information, mbOK);
            return;
        }
        const TPropertyWindows& windows = PropertyWindows();
        const auto& fill = r.Index == CFilter ? windows.FilterPanel
                           : r.Index == CSort ? windows.SortPanel
                                              : windows.ColumnFieldsPanel;
        if (!fill)
            return;
        QDialog window(this);
        if (r.Index == CFilter)
            PrepareRowWindow(window, 744, 362);
        else if (r.Index == CSort)
            PrepareRowWindow(window, 744, 516);
        else
            PrepareRowWindow(window, 540, 560);
        fill(window, o);
        dialogs.ExecModal(window);
        break;
    }
    case CTextvisible:
        if (auto* label = dynamic_cast<TDynLabel*>(o))
            label->ToggleShowContent();
        else
            acted = false;
        break;
    case CsaveAs: o->SaveObjectAs(); acted = false; break;
    case Csave: o->SaveObject(); acted = false; break;
    case CPicturesave:
        if (auto* project = dynamic_cast<TDYNProject*>(o)) {
            project->EmbedPictures = !project->EmbedPictures;
            if (project == TDYNProject::Current())
                ProjectContext().EmbedPictures = project->EmbedPictures;
        }
        break;
    case CAutosave: SetAutosave(!AutosaveOn); break;
    case CRowLines: o->ToggleHorzLines(); break;
    case CColLines: o->ToggleVertLines(); break;
    case CRowTitleLines: o->ToggleFixedHorzLines(); break;
    case CColTitleLines: o->ToggleFixedVertLines(); break;
    case CRowsstripe: o->ToggleGridFlag(); break;
    case Czentriert: o->CenterHorizontally(); break;
    case Cminheightwidth: o->MakeMinimal(); break;
    case CAutosize: o->ToggleAutosize(); break;
    case CReadOnly: o->SetReadOnly(!o->ReadOnly); break;
    case CRasterEin:
        if (TDynForm* f = FormOf(o))
            f->SetSnapToGrid(!f->SnapToGrid);
        break;
    case CGridEin:
        if (TDynForm* f = FormOf(o))
            f->SetShowGrid(!f->ShowGrid);
        break;
    case CHilfEin: SetHelpLines(!HelpLinesVisible); break;
    case CLinealEin: SetRulers(!RulersVisible, true); break;
    case CHeader:
    case CFooter:
        if (TDynDBForm* f = DBFormOf(o)) {
            THeader* part = r.Index == CHeader ? static_cast<THeader*>(f->Header) : f->Footer;
            if (part)
                part->ToggleFromRow();
        }
        break;
    case CfirstPage:
        o->FirstPage = !o->FirstPage;
        o->UpdateLayout();
        break;
    case CBrushStyleImage:
    case CBorderImage:
    case CPositionImage: {
        const TPickerKind kind = r.Index == CBrushStyleImage ? TPickerKind::FillStyle
                                 : r.Index == CBorderImage   ? TPickerKind::BorderSides
                                                             : TPickerKind::Position;
        TPickerWindow::Open(kind, this);
        RepaintGrid(PropertyGrids[1]);
        break;
    }
    case CText:
        if (PropertyWindows().TextEditor) {
            HideAllHandles();
            PropertyWindows().TextEditor(o);
            o->UpdateLayout();
            PlaceHandles();
        } else {
            acted = false;
        }
        break;
    case Ctransparent: o->SetTransparent(!o->Transparent); break;
    case CDoubleBorder: o->ToggleDoubleBorder(); break;
    case CVisible: o->ToggleVisible(); break;
    case Cfixieren:
        o->SetpLock(!o->Locked());
        o->pLock = o->Locked();
        PlaceHandles();
        break;
    default:
        // Rows of kinds that other units bring (barcode, grids, report table, row and column
        // panels, preview): nothing to do for the kinds that exist.
        acted = false;
        break;
    }
    if (acted)
        Modified = true;
}

// ---- drop-downs ----

void TObjectgenerator::BuildDropDown(TObPanel& r)
{
    CloseDropDown();
    TObStringGrid* grid = PropertyGrids[size_t(r.Sheet)];
    if (!grid)
        return;
    auto* box = new TObComboBox(&r, r.SheetControl, TotalWidth, ValueWidth);
    r.Editor = box;
    OpenDropDown = box;
    const QRect cell = grid->CellRect(1, r.GridRow);
    box->setGeometry(grid->x() + cell.left(), grid->y() + r.Top, cell.width(), std::max(1, LineHeight - 2));
    FillDropDown(*box);
    box->OnChange = [this](TObComboBox* b) { DropDownChanged(b); };
    box->OnExit = [this](TObComboBox* b) {
        if (OpenDropDown == b)
            CloseDropDown();
    };
    box->show();
    box->raise();
    box->setFocus();
}

void TObjectgenerator::FillDropDown(TObComboBox& box)
{
    TDynPanel* o = SelectedObject;
    const int index = box.Row ? box.Row->Index : -1;
    const QSignalBlocker block(&box);
    box.clear();
    box.Sorted = false;
    auto addAll = [&box](const QStringList& items) {
        for (const QString& s : items)
            box.AddItem(s);
    };
    int shown = -1;
    switch (index) {
    case CPicture: {
        box.AddItem(Texts(73));
        box.AddItem(Texts(150));
        if (TBilderList* list = ProjectContext().Pictures)
            for (int i = 0; i < list->Count(); ++i) {
                TBKImage* e = list->Entry(i);
                const QString name = e->ShortName.isEmpty() ? QFileInfo(e->FileName).fileName() : e->ShortName;
                box.AddItem(name, e);
            }
        break;
    }
    case CGroup: box.AddItem(Texts(264)); break;
    case CDataField:
    case CDataFieldV:
        box.AddItem(Texts(274));
        if (o && o->DataSource && o->DataSource->DataSet && o->KindInfo.Code != kcDBGrid) {
            TDataSet* ds = o->DataSource->DataSet;
            std::vector<TField*> fields;
            for (int i = 0; i < ds->FieldCount(); ++i)
                fields.push_back(ds->Fields(i));
            std::stable_sort(fields.begin(), fields.end(), [](TField* a, TField* b) {
                return QString::compare(a->FieldName(), b->FieldName(), Qt::CaseInsensitive) < 0;
            });
            for (TField* f : fields)
                box.AddItem(f->FieldName(), f);
        }
        break;
    case CDataSource: {
        box.Sorted = true;
        box.AddItem(NoSourceItem);
        if (TDYNProject* project = ProjectOf(*this))
            for (int i = 0; i < project->DataSources.Count(); ++i)
                if (auto* s = dynamic_cast<TCloneDataSource*>(project->DataSources.Items(i)))
                    box.AddItem(s->Name, s);
        break;
    }
    case CBarCodeCheckSumMethode: addAll({QStringLiteral("None"), QStringLiteral("Modulo10")}); break;
    case CBarCodeTextTyp:
        addAll({QStringLiteral("bNone"), QStringLiteral("bCode"), QStringLiteral("bTyp"), QStringLiteral("bBoth")});
        break;
    case CBarCodeTyp:
        addAll({QStringLiteral("Code_2_5_interleaved"), QStringLiteral("Code_2_5_industrial"),
                QStringLiteral("Code_2_5_matrix"), QStringLiteral("Code39"), QStringLiteral("Code39Extended"),
                QStringLiteral("Code128A"), QStringLiteral("Code128B"), QStringLiteral("Code128C"),
                QStringLiteral("Code93"), QStringLiteral("Code93Extended"), QStringLiteral("CodeMSI"),
                QStringLiteral("CodePostNet"), QStringLiteral("CodeCodabar"), QStringLiteral("CodeEAN8"),
                QStringLiteral("CodeEAN13"), QStringLiteral("CodeUPC_A"), QStringLiteral("CodeUPC_E0"),
                QStringLiteral("CodeUPC_E1"), QStringLiteral("CodeUPC_Supp2"), QStringLiteral("CodeUPC_Supp5"),
                QStringLiteral("CodeEAN128A"), QStringLiteral("CodeEAN128B"), QStringLiteral("CodeEAN128C")});
        break;
    case CLanguage:
        for (int i = 1; i <= 5; ++i)
            box.AddItem(LanguageNames[i]);
        break;
    case CFormel: addAll({Texts(258), Texts(125), Texts(126), Texts(127), Texts(128)}); break;
    case CDatumGruppieren1:
    case CDatumGruppieren:
    case CZeitangabe:
        for (const QString& s : DatePartNames)
            box.AddItem(s);
        break;
    case CLinientyp: box.SetLineTypeItems({Texts(251), Texts(252), Texts(253), Texts(254), Texts(255)}); break;
    case CTextAusrichtungV:
        addAll({QStringLiteral("Top"), QStringLiteral("Center"), Texts(266)});
        shown = 0;
        break;
    case CTextAusrichtungH:
        addAll({Texts(267), QStringLiteral("Center"), Texts(268)});
        shown = 0;
        break;
    case CScrollbars: addAll({QStringLiteral("None"), Texts(269), Texts(270), Texts(271)}); break;
    case Czoom:
        addAll({Texts(272), Texts(273)});
        for (size_t i = 2; i < ZoomItems.size(); ++i)
            box.AddItem(ZoomItems[i]);
        break;
    default:
        // Choose row / column, Active rows and Function are filled by their kinds.
        break;
    }
    box.setCurrentIndex(shown);
}

void TObjectgenerator::RefillPictureDropDown()
{
    if (OpenDropDown && OpenDropDown->Row && OpenDropDown->Row->Index == CPicture)
        FillDropDown(*OpenDropDown);
}

void TObjectgenerator::CloseDropDown()
{
    TObComboBox* box = OpenDropDown;
    OpenDropDown = nullptr;
    if (!box)
        return;
    if (box->Row && box->Row->Editor == box)
        box->Row->Editor = nullptr;
    box->Row = nullptr;
    box->OnChange = nullptr;
    box->OnExit = nullptr;
    box->hide();
    box->deleteLater();
    if (CurrentGrid)
        CurrentGrid->update();
}

void TObjectgenerator::DropDownChanged(TObComboBox* box)
{
    if (AllLocked || !box || box != OpenDropDown || !box->Row)
        return;
    Modified = true;
    const int i = box->currentIndex();
    TDynPanel* o = SelectedObject;
    switch (box->Row->Index) {
    case CDataSource: BindDataSourceRow(i); return;
    case CDataField: BindFieldRow(i); break;
    case CLanguage:
        if (i >= 0)
            LanguageIndex = i;
        break;
    case CPicture:
        if (!o || i < 0)
            break;
        if (i == 0) {
            TFileDialogRequest request;
            request.Filter = PictureFilter;
            request.InitialDir = WorkDir;
            if (TDialogs::Get().OpenFile(request) && QFileInfo(request.FileName).isFile()) {
                // A picture already shown is released first, so that the chosen one takes its place.
                if (o->Picture)
                    o->TogglePicture(QString());
                o->TogglePicture(request.FileName);
            }
        } else if (i == 1) {
            if (o->Picture)
                o->TogglePicture(QString());
        } else {
            AssignPicture(o, box->ItemAs<TBKImage>(i));
        }
        if (OpenDropDown == box)
            FillDropDown(*box);
        break;
    case Czoom:
        if (TDynForm* f = FormOf(o); f && i >= 0)
            f->SetZoom(i);
        break;
    case CScrollbars:
        if (o && i >= 0)
            o->SetScrollBars(i);
        break;
    case CLinientyp:
        if (auto* g = dynamic_cast<TDynGraphik*>(o); g && i >= 0)
            g->SetLineType(i);
        break;
    case CTextAusrichtungV:
        if (o && i >= 0)
            o->SetContentAlignment(i, -1);
        break;
    case CTextAusrichtungH:
        if (o && i >= 0)
            o->SetContentAlignment(-1, i);
        break;
    case CDatumGruppieren1:
        if (o && i >= 0)
            o->SetModeB(static_cast<quint8>(i));
        break;
    case CDatumGruppieren:
        if (o && i >= 0)
            o->SetModeA(static_cast<quint8>(i));
        break;
    case CZeitangabe:
        if (o && i >= 0) {
            o->SetModeA(static_cast<quint8>(i));
            o->Repaint();
        }
        break;
    default:
        // Active rows, Grouping, Formular, Function, the barcode rows and Choose row / column
        // belong to kinds other units bring.
        break;
    }
    RefreshValues();
}

// ---- the data binding rows ----

void TObjectgenerator::BindDataSourceRow(int itemIndex)
{
    TDynPanel* o = SelectedObject;
    TObComboBox* box = OpenDropDown;
    if (!o || !box || itemIndex < 0 || itemIndex >= box->count())
        return;
    auto* source = box->ItemAs<TCloneDataSource>(itemIndex);
    TDYNProject* project = ProjectOf(*this);
    if (source && !(project && project->DataSources.Contains(source)))
        return; // the source left the project while the list was open
    if (!source && !o->DataSource)
        return;
    Modified = true;
    TPropertySet& set = o->PropertySet;
    if (!source || source == o->DataSource) {
        // Choosing the bound source again (or none) unbinds the object.
        set &= ~DataRowsSet();
        source = nullptr;
    } else {
        switch (o->KindInfo.Code) {
        case kcNavigator: set &= ~MakePropertySet({84, 88, 90}); break;
        case kcReport: set = ReportTableSet() | MakePropertySet({88, 90}); break;
        case kcDBGrid: set |= MakePropertySet({84}); break;
        case kcDBForm: set |= MakePropertySet({11, 88, 90}); break;
        case kcDataSum: set = SumFieldSet() | MakePropertySet({88, 90}); break;
        case kcBarCode: set = BarcodeSet(); break;
        default: set |= MakePropertySet({84, 88, 90}); break;
        }
    }
    o->BindDataSource(source);
    o->CollectPropertyRows();
    PreviousObject = nullptr;
    ShowRows();
}

void TObjectgenerator::BindFieldRow(int itemIndex)
{
    TDynPanel* o = SelectedObject;
    TObComboBox* box = OpenDropDown;
    if (!o)
        return;
    if (!o->DataSource) {
        if (box) {
            const QSignalBlocker block(box);
            box->clear();
        }
        return;
    }
    if (!box || itemIndex < 0 || itemIndex >= box->count())
        return;
    if (o->KindInfo.Code == kcDBGrid) {
        // The database grid shows or hides its columns itself (its kind brings the column panels).
        Modified = true;
        return;
    }
    TField* item = box->ItemAs<TField>(itemIndex);
    o->BindField(item ? CurrentField(o, item, box->itemText(itemIndex)) : nullptr);
    Modified = true;
}

// ---- commit of an edit row ----

void TObjectgenerator::CommitValue(const QString& text)
{
    if (!CurrentGrid || CurrentCol != 1)
        return;
    TObPanel* r = CurrentGrid->Objects(CurrentRow);
    if (!r || !r->IsEditRow())
        return;
    RepaintGrid(CurrentGrid);
    TDynPanel* o = SelectedObject;
    if (text.isEmpty() || !o) {
        PlaceHandles();
        return;
    }
    double v = ParseNumber(text);
    Int32 i = 1, p = 1;
    if (std::isfinite(v) && std::abs(v) < 2.0e9 && std::abs(PixelsPerMmY * v) < 2.0e9) {
        i = RoundHalfEven(v);
        p = RoundHalfEven(PixelsPerMmY * v);
    } else {
        v = 1.0;
    }
    const bool isDBForm = o->KindInfo.Code == kcDBForm;
    auto* graphic = dynamic_cast<TDynGraphik*>(o);
    auto* richEdit = dynamic_cast<TDynRichEdit*>(o);
    TDYNProject* project = dynamic_cast<TDYNProject*>(o);
    switch (r->Index) {
    case CWorkDir:
        if (project && DirectoryExists(text)) {
            QString dir = QFileInfo(text).absoluteFilePath();
            if (!dir.endsWith(u'/'))
                dir += u'/';
            project->ProjectWorkDir = dir;
            WorkDir = dir;
            BackupFileName = WorkDir + BackupName;
        }
        break;
    case CTitle: o->SetTitle(text); break;
    case CDatum:
        if (project) {
            QString dateText;
            if (DateTextFor(text, dateText))
                project->CreatedText = dateText;
        }
        break;
    case CtopEdit: if (!isDBForm) o->Setptop(p); break;
    case CleftEdit: if (!isDBForm) o->Setpleft(p); break;
    case CwidthEdit: if (!isDBForm) o->Setpwidth(p); break;
    case CheightEdit: if (!isDBForm) o->Setpheight(p); break;
    case CAbstandHorz: if (richEdit) richEdit->SetExtraA(p); break;
    case CAbstandVert: if (richEdit) richEdit->SetExtraB(p); break;
    case CBorder: o->SetBorderWidth(p); break;
    case CStrichstaerke: if (graphic) graphic->SetLineWidth(p); break;
    case CRaster:
        if (TDynForm* f = FormOf(o))
            f->SetGrid(p);
        break;
    case CLaenge: if (graphic) graphic->SetLength(p); break;
    case CRadius: if (graphic) graphic->SetRadius(p); break;
    case CWinkel: if (graphic) graphic->SetAngle(i); break;
    case CRows: o->SetRowCount(i); break;
    case CColumns: o->SetColCount(i); break;
    case CName:
        o->SetObjectName(text);
        FillObjectCombo();
        break;
    default:
        // The barcode, sum field, grid line and tab order rows belong to kinds other units bring.
        break;
    }
    Modified = true;
    RefreshValues();
    PlaceHandles();
}
