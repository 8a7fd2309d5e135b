#pragma once
// TDynPanel: the common object. Appearance (fill, border, transparency, picture, font,
// title), placement of a hosted control, docking, the rubber-band resize, the selection
// protocol with the designer, data binding and painting onto any canvas.
#include "objects/DYNSimpelPanel.h"
#include "platform/Canvas.h"
#include <QImage>
#include <QVariant>
#include <optional>

class TBKImage;
class TBorderDraw;
class TCloneDataSource;
class TField;

constexpr int PositionRowBit = 26; // the "Position" row of the property panel

class TDynPanel : public TDYNSimpelPanel {
    Q_OBJECT
public:
    TDynPanel(TComponent* owner, QWidget* parent);
    ~TDynPanel() override;

    // ---- appearance and options ----
    TColor BorderColor = clBlack;
    bool Hatched = false;
    quint8 BrushStyle = 0;
    bool ShowContent = true;
    bool DoubleBorder = false;
    bool ReadOnly = false;
    bool Autosize = false;
    bool StoredVisible = true;
    bool Transparent = false;
    bool GrowWithBorder = true;
    bool FirstPage = false;
    bool KeepAspect = false;
    TBKImage* Picture = nullptr;
    QString PictureFile;
    double AspectRatio = 1.0;
    bool IsColumn = false;
    // ---- data ----
    TCloneDataSource* DataSource = nullptr;
    TField* DataField = nullptr;
    QString DataSourceName;
    QString FieldName = QStringLiteral("nil");
    QVariant FieldValue;
    double FieldDateValue = 0;
    QVariant Value;
    Int32 Modes = 0;
    Int32 KindParam = 0, KindParam2 = 0;
    TColor PreviousColor = clWhite, PreviousBorderColor = clBlack;
    QString Title = QStringLiteral("Untitled");
    QString CreatedText;
    TFont TitleFont;
    Int32 TitleFontSize = 0;
    Int32 ScrollBarsChoice = 0;
    // ---- rubber-band resize ----
    Int32 RubberWidth = 0, RubberHeight = 0;
    Int32 MouseScreenX = 0, MouseScreenY = 0, LastScreenX = 0, LastScreenY = 0;
    // ---- paint geometry ----
    double ScaleX = 1.0, ScaleY = 1.0;
    Int32 PrintOffsetX = 0, PrintOffsetY = 0;
    TRect CanvasBorder, CanvasContent, CanvasContentFrame;
    Int32 CanvasBorderPixels = 0;
    TRect CanvasMargins;
    TRect PaintRect, InnerRect, ClipRect, FillRect;
    Int32 InnerBorderPixels = 0;

    quint8 ModeA() const { return static_cast<quint8>(Modes & 0xFF); }
    quint8 ModeB() const { return static_cast<quint8>((Modes >> 8) & 0xFF); }

    // ---- the virtual protocol ----
    virtual void SelectOnClick();
    virtual void BeginDragMove(int x, int y);
    virtual void DragMoveTo(int x, int y);
    virtual void EndDragMove();
    virtual void BeginDragSize(int x, int y, QPoint screen);
    virtual void DragSizeTo(int x, int y, QPoint screen);
    virtual void EndDragSize();
    virtual void PlaceContent();
    virtual void Activate() {}
    virtual void Select();
    virtual void TakeSelection();
    virtual void AlignAndPaint();
    virtual void CenterHorizontally();
    virtual void SetContentAlignment(Int32 vertical, Int32 horizontal);
    virtual void SetScrollBars(Int32) {}
    virtual void SetFillStyle(int brushStyle, bool hatched);
    virtual void SetColor(TColor color);
    virtual void SetBorderColor(TColor color);
    virtual void SetBorderPixels(Int32 width);
    virtual void SaveObject();
    virtual void SaveObjectAs();
    virtual void InsertIntoCurrentList();
    virtual void SetReadOnly(bool value) { ReadOnly = value; }
    virtual void SetObjectFont(const TFont& font);
    virtual void SetContentColor(TColor) {}
    virtual void SetObjectName(const QString& name) { Name = name; }
    virtual void RebuildName() { Name = KindInfo.Name + NumberText; }
    virtual void MeasureContent() {}
    virtual void Repaint();
    virtual void PaintTo(TCanvas& canvas);
    virtual void DrawText(const QString& text);
    virtual void TogglePicture(const QString& fileName);
    virtual void ToggleAutosize() { Autosize = !Autosize; }
    virtual void SetTransparent(bool value);
    virtual void ApplyZoom(double factor) { ApplyScale(factor); }
    virtual void SetBorderWidth(Int32 width);
    virtual void ToggleDoubleBorder();
    virtual void SetFixedColor(TColor) {}
    virtual void ToggleGridFlag() {}
    virtual void SetGridColor(TColor) {}
    virtual void ToggleHorzLines() {}
    virtual void ToggleVertLines() {}
    virtual void ToggleFixedVertLines() {}
    virtual void ToggleFixedHorzLines() {}
    virtual void SetTitleFont(const TFont& font);
    virtual void SetModeA(quint8 value) { Modes = (Modes & ~0xFF) | value; }
    virtual void SetModeB(quint8 value) { Modes = (Modes & ~0xFF00) | (Int32(value) << 8); }
    virtual void RefreshData() {}
    virtual void LoadContentFile(const QString&) {}
    virtual void BindDataSource(TCloneDataSource* source);
    virtual void BindField(TField* field);
    virtual void Rebind();
    virtual void SetColCount(int) {}
    virtual void SetRowCount(int) {}
    virtual void SetZoom(int) {}
    virtual void SetTitle(const QString& text) { Title = text; }
    virtual void SetBorderSides(Int16 code);
    virtual void ToggleVisible();
    virtual bool IsShown() const { return Visible(); }
    virtual void DataEvent(int, qint64) {}
    virtual void DataChanged() {}
    virtual void ResetValue(int) { Value = 0; }
    // Whether this container shows its header (kind 101) or footer (102).
    virtual bool HasHeaderFooterOn(Int32) const { return false; }
    // A database form paints its own additions after the common body.
    virtual void PaintOwnAdditions(TCanvas&) {}

    // ---- the record (DYNPanelRecord.cpp) ----
    // The common record: header and the 48 fields, in file order.
    void SaveToStream() override;
    void LoadFromStream() override;
    // The font block of a record.
    static void WriteFont(TDynPanel* object, const TFont& font, TMemoryStream& stream);
    static void ReadFont(TDynPanel* object, TFont* font, TMemoryStream& stream);

    // ---- overrides of the geometry layer ----
    void UpdateLayout() override;
    void MouseDownLeft(int x, int y, QPoint screen) override;
    void MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons) override;
    void MouseUpLeft(int x, int y, QPoint screen) override;
    void MouseDownRight(int x, int y, QPoint screen) override;

    // ---- non-virtual operations ----
    void RecalcFrames();
    TRect InsetBySides(int code, TRect rect, int width) const;
    void ResetFrames();
    static void UpdateChildren(TDynPanel* container);
    static void ShowChildren(TDynPanel* container, bool visible);
    void ShowUnlessHidden();
    void MakeMinimal();
    TCloneDataSource* FindDataSource() const;
    TField* FindField();
    void ReadFieldValue();
    using TNullPanel::ReadFieldValue; // the typed record reads keep their name
    static bool IsNumericField(const TField* field);
    bool HasBinding() const { return DataSource && DataField; }
    void RebindAfterLoad();
    void SnapshotFlags();
    // Docked bounds inside the container's content frame.
    std::optional<TRect> DockedBounds() const;

    // ---- painting ----
    void PaintBody(TCanvas& canvas);
    void ComputePaintGeometry(TCanvas& canvas);
    void ClipToContainer(TCanvas& canvas);
    static void DrawAlignedText(TCanvas& canvas, const TRect& rect, int brushStyle, int alignment,
                                const TFont& font, const QString& text);
    bool IsOwnSurface(const TCanvas& canvas) const;
    // The container as an object of the family, or nil (a form page, the host).
    TDynPanel* ContainerObject() const;
    // The canvas a graphic shape paints on: its container's surface.
    TCanvas* SurfaceCanvas();

protected:
    void UnlinkFromSource();
    void ReleasePicture();
    // Whether the container is the host control (the form pages and the host are not objects).
    bool ContainerIsHost() const { return ContainerObject() == nullptr; }
    void PaintPicture(TCanvas& canvas);
    QImage capturedBackground_;
};
