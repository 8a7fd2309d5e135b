#pragma once
// The property table: the fixed description of every row the property panel knows, in table
// order. Each entry names the row's editor kind, its sheet, its name, the text-table index of its
// caption and the bit of the property set that shows it.
#include <QString>
#include <array>

struct TPropertyTableEntry {
    const char* EditorKind;   // "P" click row, "E" edit row, "D" drop-down row
    const char* Sheet;        // "tab1", "tab2", "tab3"
    const char* RowName;      // e.g. "CFont"
    const char* CaptionIndex; // index of the caption in the text table, as decimal text
    int Bit;                  // the row's bit in the property set

    char EditorType() const { return EditorKind[0]; }
    // The sheet as 0..2.
    int SheetIndex() const { return Sheet[3] - '1'; }
    int CaptionText() const { return QString::fromLatin1(CaptionIndex).toInt(); }
};

constexpr int PropertyTableCount = 97;

// The 97 entries in table order.
const std::array<TPropertyTableEntry, PropertyTableCount>& PropertyTable();

// The entry number of a row name, or -1.
int PropertyRowIndex(const QString& rowName);

// The rows by their entry number. The handlers of the property panel tell rows apart by these.
namespace Prop {
enum TRowIndex : int {
    CSeriendruck = 0,
    CPrintTabelleZeilen,
    CGroup,
    CDatumGruppieren1,
    CDatumGruppieren,
    CZeitangabe,
    CFilter,
    CvorKomma,
    CnachKomma,
    CFormel,
    CSort,                // 10
    CProzentwert,
    CDBSumKind,
    CDataFieldV,
    CDataField,
    CSpaltenfelder,
    CTextvisible,
    CDataSource,
    CTabstop,
    CTaborder,
    CBarCodetext,         // 20
    CBarCodeTextTyp,
    CBarCodeCheck,
    CBarCodeTyp,
    CBarCodeWinkel,
    CBarCodeModul,
    CBarCodeRatio,
    CBarCodeCheckSumMethode,
    CDatum,
    CName,
    CsaveAs,              // 30
    Csave,
    CPicturesave,
    CWorkDir,
    CLanguage,
    CAutosave,
    CselIns,
    Cseldel,
    CRowsel,
    CColsel,
    CRowLinewidth,        // 40
    CColLinewidth,
    CScrollbars,
    CRowLines,
    CColLines,
    CRowTitleLines,
    CColTitleLines,
    CColumns,
    CRows,
    CCelle,
    Czentriert,           // 50
    Cminheightwidth,
    CTextAusrichtungV,
    CTextAusrichtungH,
    CTextladen,
    CRowsstripe,
    CRowsstripeColor,
    CTitleColor,
    CColor,
    CTitleFont,
    CFont,                // 60
    COrientation,
    CAutosize,
    CReadOnly,
    CRaster,
    CRasterEin,
    CGridEin,
    CHilfEin,
    CLinealEin,
    CHeader,
    CFooter,              // 70
    CfirstPage,
    CPicture,
    CBrushStyleImage,
    CText,
    Ctransparent,
    CBorderColor,
    CBorder,
    CStrichstaerke,
    CLinientyp,
    CBorderImage,         // 80
    CDoubleBorder,
    CPositionImage,
    CVisible,
    CTitle,
    CRadius,
    CLaenge,
    CWinkel,
    CAbstandVert,
    CAbstandHorz,
    CheightEdit,          // 90
    CwidthEdit,
    CtopEdit,
    CleftEdit,
    CPreview,
    Czoom,
    Cfixieren,            // 96
};
static_assert(Cfixieren == PropertyTableCount - 1);
} // namespace Prop
