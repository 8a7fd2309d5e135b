// The common record of every object: the header of TNullPanel followed by fields 1 to 48, and
// the font block.
#include "objects/BilderListe.h"
#include "objects/DYNPanel.h"
#include "objects/KindRegistry.h"
#include "objects/ProjectContext.h"
#include "platform/MemoryStream.h"
#include "shell/Variable.h"
#include <QFileInfo>

namespace {
const QString NilName = QStringLiteral("nil");

// Font heights and sizes beyond this are no font a file of ours holds.
constexpr Int32 MaxFontExtent = 32767;

QString StyleText(const TFont& f)
{
    QString s;
    s += f.Bold ? '1' : '0';
    s += f.Italic ? '1' : '0';
    s += f.Underline ? '1' : '0';
    s += f.StrikeOut ? '1' : '0';
    return s;
}
} // namespace

void TDynPanel::WriteFont(TDynPanel*, const TFont& font, TMemoryStream& s)
{
    const double zoom = ZoomFactor > 0 ? ZoomFactor : 1.0;
    s.WriteInt32(font.Height());
    s.WriteInt32(RoundHalfEven(font.Size() / zoom));
    s.WriteInt32(font.Color);
    s.WriteInt32(font.Charset);
    WriteText(s, font.Name);
    WriteText(s, StyleText(font));
}

void TDynPanel::ReadFont(TDynPanel* object, TFont* font, TMemoryStream& s)
{
    // Everything is read before anything changes, so a short stream leaves the font as it was.
    // Without a font the block is read all the same, so the reader stays in step.
    const Int32 height = s.ReadInt32();
    const Int32 size = s.ReadInt32();
    const TColor color = s.ReadInt32();
    const Int32 charset = s.ReadInt32();
    const QString name = ReadText(s);
    const QString style = ReadText(s);
    if (!font)
        return;
    if (std::abs(static_cast<qint64>(height)) > MaxFontExtent || std::abs(static_cast<qint64>(size)) > MaxFontExtent)
        throw EStreamError("font of height " + std::to_string(height) + " and size " + std::to_string(size)
                           + " is out of range");
    font->SetHeight(height);
    if (size != 0)
        font->SetSize(size); // the size wins over the height
    font->Color = color;
    font->Charset = charset;
    font->Name = name;
    if (object)
        object->LogicalFontSize = font->Size();
    // A style text gives the whole style; an empty one leaves it as it is.
    if (!style.isEmpty()) {
        const auto on = [&style](int i) { return i < style.size() && style[i] == '1'; };
        font->Bold = on(0);
        font->Italic = on(1);
        font->Underline = on(2);
        font->StrikeOut = on(3);
    }
}

void TDynPanel::SaveToStream()
{
    StoreLogicalBounds();
    SnapshotFlags();
    TNullPanel::SaveToStream();
    TMemoryStream& s = Stream();
    const Int16 reserved16 = 0;
    const quint8 reservedByte = 0;
    const Int32 reserved32 = 0;

    WriteFieldValue(pheight);                       // 1
    WriteFieldValue(pwidth);                        // 2
    WriteFieldValue(ptop);                          // 3
    WriteFieldValue(pleft);                         // 4
    WriteFieldValue(BorderWidth);                   // 5
    WriteFieldValue(MarginBottom);                  // 6
    WriteFieldValue(MarginLeft);                    // 7
    WriteFieldValue(MarginRight);                   // 8
    WriteFieldValue(BorderSides);                   // 9
    WriteFieldValue(reserved16);                    // 10
    WriteFieldBool(DoubleBorder);                   // 11
    WriteFieldBool(GrowWithBorder);                 // 12
    WriteFieldBool(Autosize);                       // 13
    WriteFieldBool(Centered);                       // 14
    WriteFieldValue(reservedByte);                  // 15
    WriteFieldValue(Docking);                       // 16
    WriteFieldValue(VAlign);                        // 17
    WriteFieldValue(HAlign);                        // 18
    WriteFieldValue(reservedByte);                  // 19
    WriteFieldBool(Transparent);                    // 20
    WriteFieldBool(HeightChanged);                  // 21
    WriteFieldBool(WidthChanged);                   // 22
    WriteFieldBool(FirstPage);                      // 23
    WriteFieldValue(reserved32);                    // 24
    WriteFieldBool(StoredVisible);                  // 25
    WriteFieldValue(IdentityNumber);                // 26
    WriteFieldValue(PrintOffsetX);                  // 27
    WriteFieldValue(PrintOffsetY);                  // 28
    WriteFieldValue(Interaction);                   // 29
    WriteFieldValue(static_cast<quint8>(IsColumn)); // 30
    WriteFieldValue(BackColor);                     // 31
    WriteFieldValue(PreviousColor);                 // 32
    WriteFieldValue(PreviousBorderColor);           // 33
    WriteFieldValue(BorderFrame->Color);            // 34
    WriteFieldBool(Hatched);                        // 35
    WriteFieldValue(BrushStyle);                    // 36
    WriteFieldValue(KindParam);                     // 37
    WriteFieldBool(pLock);                          // 38
    WriteFieldBool(ReadOnly);                       // 39
    WriteText(s, DataSource ? DataSourceName : NilName); // 40
    WriteText(s, DataField ? FieldName : NilName);       // 41
    WriteText(s, CreatedText);                           // 42
    WriteText(s, Title);                                 // 43

    // 44: the picture reference, only in a project and never in an object file.
    const TProjectContext& project = ProjectContext();
    if (!ObjectFileMode && project.Active) {
        if (project.EmbedPictures) {
            Int32 index = -1;
            if (KindInfo.Code != kcDBImage && Picture && Picture->UseCount > 0 && project.Pictures)
                index = project.Pictures->IndexOf(Picture);
            WriteFieldValue(index);
        } else {
            WriteText(s, Picture ? PictureFile : QString());
        }
    }

    WriteFont(this, Font(), s);                     // 45
    WriteFieldValue(Modes);                         // 46
    WriteFieldValue(KindParam2);                    // 47
    WriteFieldBool(KeepAspect);                     // 48
}

void TDynPanel::LoadFromStream()
{
    hide();
    TNullPanel::LoadFromStream();
    TMemoryStream& s = Stream();
    if (RecordEnd != RecordStart && (RecordEnd < RecordStart || RecordEnd > s.Size()))
        throw EStreamError("record of '" + Name.toStdString() + "' ends at " + std::to_string(RecordEnd)
                           + ", outside the stream of " + std::to_string(s.Size()) + " bytes");

    Int16 reserved16 = 0;
    quint8 reservedByte = 0;
    Int32 reserved32 = 0;
    Int32 identity = IdentityNumber;
    quint8 isColumn = IsColumn ? 1 : 0;
    TColor borderColor = BorderFrame->Color;

    TNullPanel::ReadFieldValue(pheight);            // 1
    TNullPanel::ReadFieldValue(pwidth);             // 2
    TNullPanel::ReadFieldValue(ptop);               // 3
    TNullPanel::ReadFieldValue(pleft);              // 4
    TNullPanel::ReadFieldValue(BorderWidth);        // 5
    TNullPanel::ReadFieldValue(MarginBottom);       // 6
    TNullPanel::ReadFieldValue(MarginLeft);         // 7
    TNullPanel::ReadFieldValue(MarginRight);        // 8
    TNullPanel::ReadFieldValue(BorderSides);        // 9
    TNullPanel::ReadFieldValue(reserved16);         // 10
    ReadFieldBool(DoubleBorder);                    // 11
    ReadFieldBool(GrowWithBorder);                  // 12
    ReadFieldBool(Autosize);                        // 13
    ReadFieldBool(Centered);                        // 14
    TNullPanel::ReadFieldValue(reservedByte);       // 15
    TNullPanel::ReadFieldValue(Docking);            // 16
    TNullPanel::ReadFieldValue(VAlign);             // 17
    TNullPanel::ReadFieldValue(HAlign);             // 18
    TNullPanel::ReadFieldValue(reservedByte);       // 19
    ReadFieldBool(Transparent);                     // 20
    ReadFieldBool(HeightChanged);                   // 21
    ReadFieldBool(WidthChanged);                    // 22
    ReadFieldBool(FirstPage);                       // 23
    TNullPanel::ReadFieldValue(reserved32);         // 24
    ReadFieldBool(StoredVisible);                   // 25
    TNullPanel::ReadFieldValue(identity);           // 26: kept, so that saving again writes it again
    IdentityNumber = identity;
    TNullPanel::ReadFieldValue(PrintOffsetX);       // 27
    TNullPanel::ReadFieldValue(PrintOffsetY);       // 28
    TNullPanel::ReadFieldValue(Interaction);        // 29
    TNullPanel::ReadFieldValue(isColumn);           // 30
    IsColumn = isColumn != 0;
    TNullPanel::ReadFieldValue(BackColor);          // 31
    TNullPanel::ReadFieldValue(PreviousColor);      // 32
    TNullPanel::ReadFieldValue(PreviousBorderColor); // 33
    TNullPanel::ReadFieldValue(borderColor);        // 34
    BorderColor = BorderFrame->Color = borderColor;
    ReadFieldBool(Hatched);                         // 35
    TNullPanel::ReadFieldValue(BrushStyle);         // 36
    TNullPanel::ReadFieldValue(KindParam);          // 37
    ReadFieldBool(pLock);                           // 38
    ReadFieldBool(ReadOnly);                        // 39

    DataSourceName = ReadText(s);                   // 40
    FieldName = ReadText(s);                        // 41
    CreatedText = ReadText(s);                      // 42
    Title = ReadText(s);                            // 43

    // 44: the picture reference.
    const TProjectContext& project = ProjectContext();
    if (!ObjectFileMode && project.Active) {
        if (project.EmbedPictures) {
            Int32 index = -1;
            TNullPanel::ReadFieldValue(index);
            if (KindInfo.Code != kcDBImage) {
                // An index outside the list is no picture.
                TBKImage* entry = nullptr;
                if (project.Pictures && index >= 0 && index < project.Pictures->Count())
                    entry = project.Pictures->Entry(index);
                if (entry != Picture) {
                    // An object loaded a second time gives up the picture it had; the entry stays
                    // in the list so that the indexes read after this one still hold.
                    if (Picture)
                        Picture->UseCount = std::max(0, Picture->UseCount - 1);
                    Picture = entry;
                    if (entry)
                        ++entry->UseCount;
                }
                PictureFile = entry ? entry->FileName : QString();
            }
        } else {
            const QString file = ReadText(s);
            if (!(Picture && PictureFile == file)) {
                if (Picture)
                    ReleasePicture();
                if (!file.isEmpty() && QFileInfo::exists(file)) {
                    PictureFile = file;
                    TogglePicture(file);
                } else {
                    PictureFile.clear();
                }
            }
        }
    }

    TFont font = Font();                            // 45
    ReadFont(this, &font, s);
    // The file holds the size at zoom 1; on screen the font follows the zoom, so that saving
    // again writes the same size.
    if (ZoomFactor != 1.0 && LogicalFontSize > 0)
        font.SetSize(RoundHalfEven(LogicalFontSize * ZoomFactor));
    SetFont(font);

    ResetFrames();
    ApplyScale(ZoomFactor);
    SetContentAlignment(VAlign, HAlign);
    if (Content)
        SetContentColor(BackColor);
    SetLocked(pLock);
    SetHint(Name);
    RebindAfterLoad();

    TNullPanel::ReadFieldValue(Modes);              // 46
    TNullPanel::ReadFieldValue(KindParam2);         // 47
    ReadFieldBool(KeepAspect);                      // 48
    if (Docking == 100)
        Docking = 7;
}

namespace {
// The plain common object is the simple panel (kind 20). Its record is not closed.
const TKindRegistrar SimpelPanelKind(PanelKind<TDynPanel>(
    kcSimpel, [](TDynPanel& o) { o.SaveToStream(); }, [](TDynPanel& o) { o.LoadFromStream(); }));
} // namespace
