#pragma once
// The unit Variable: the settings and state shared by every part of the designer,
// with their start values, the typed constants and the small utility routines.
#include "platform/Color.h"
#include "platform/DateTime.h"
#include "platform/Font.h"
#include "platform/Types.h"
#include "shell/Texts.h"
#include <QString>
#include <array>

class TObjectgenerator;
class TDynPanel;
class TObjectList;
class TDynDBForm;
class TMemoryStream;

struct TVersion {
    QString Name;
    double Number = 0.0;
    TDateTime Date = 0.0;
};

// The designer's rubber rectangle: bounds, then the two corner points of the drag.
struct TDrawRect {
    Int32 Left = 0, Top = 0, Right = 0, Bottom = 0;
    Int32 X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    friend bool operator==(const TDrawRect&, const TDrawRect&) = default;
};

struct TDateParts {
    int Year = 0;
    int Quarter = 0;
    int Month = 0;
    int Week = 0;
    int DayOfWeek = 0; // 1 = Sunday .. 7 = Saturday
};

// ---- versions ----
extern TVersion DesignerVersion;
extern TVersion FileVersion;

// ---- language ----
extern int LanguageIndex;

// ---- zoom, grid, colours ----
extern int GridStep;
extern bool SnapToGrid;
extern QString NumericChars;
extern double ZoomPercent;
extern double ZoomFactor;
extern double LastZoomPercent;
extern TColor DesignerColor;
extern TDrawRect DrawRect;

// ---- printer and screen metrics ----
extern double PixelsPerMmX, PixelsPerMmY;
extern double FormPixelsPerMmX, FormPixelsPerMmY;
extern int PrinterDpiX, PrinterDpiY;
extern double ScreenPerPrinterX, ScreenPerPrinterY;
extern int PageWidthDots, PageHeightDots;
extern int PageOffsetX, PageOffsetY;
extern TRect PrintMargins; // left, top, right, bottom margin in dots
extern int PrintableWidthDots, PrintableHeightDots;
extern int PageHeightPixels;
constexpr int NoPrinterOffset = 24;

// ---- files and flags ----
extern QString WorkDir;
extern QString ConfigFileName;
extern QString CurrentFileName;
extern bool RulersVisible;
extern bool HelpLinesVisible;
extern bool Modified;
extern bool Loading;
extern bool AllLocked;
extern bool PaintingForOutput;
extern int FileScreenWidth, FileScreenHeight;
extern double ScreenScaleX, ScreenScaleY;

// ---- designer-wide references ----
extern TObjectgenerator* TheDesigner;
extern TDynPanel* SelectedObject;
extern TDynPanel* PreviousObject;
extern TObjectList* CurrentList;
extern TDynPanel* CurrentParent;
extern TDynDBForm* CurrentForm;
constexpr int NoPendingKind = -1;
extern int PendingKind;
extern bool KeepLogicalValues;
extern bool ObjectFileMode;
extern TMemoryStream* SharedStream;

// ---- typed constants ----
extern const std::array<QString, 3> HAlignNames;
extern const std::array<QString, 3> VAlignNames;
extern const std::array<QString, 30> SpaceStrings;
extern const std::array<QString, 6> DatePartNames;
extern const QString TitleNotExist;
extern const QString TitleUntitled;
extern const QString TextFileFilter;
extern const QString ObjectFileFilter;
extern const QString ProjectFileFilter;
extern const QString OpenFileFilter;
extern const QString ExtProject, ExtProjectBackup, ExtProjectTemp, ExtObject, ExtObjectBackup;
extern const QString HelpFileName;
extern const QString NoPrinterWarning;

// Sets every shared variable to its start value (program start; tests call it between cases).
// The work directory is the directory of the program file.
void InitVariables(const QString& programDir);

// ---- utility routines ----
double ParseNumber(const QString& text);
QString BoolText(bool value);
QString CopyChars(const QString& text, int start, int end);
TDrawRect NormalizeRect(const TDrawRect& r);
double LineAngle(TPoint p1, TPoint p2);
double PointLineDistance(TPoint p, TPoint a, TPoint b);
double PointDistance(TPoint p1, TPoint p2);
int Quadrant(TPoint origin, TPoint p);
int AngleQuadrant(double radians);
void DecodeDateParts(TDateTime date, TDateParts& parts);
void CopyFontScaled(TFont& dest, const TFont& source);
double MmToPixelsX(double mm);
double MmToPixelsY(double mm);
double PixelsToMmX(double pixels);
double PixelsToMmY(double pixels);
bool DirectoryExists(const QString& path);

// Reads the current printer's metrics into the shared variables; without a printer shows the
// warning and assumes an A4 page at 180 dpi.
void TakePrinterMetrics();
// The same, with the warning going to the given dialogs.
class TDialogs;
void TakePrinterMetricsWith(TDialogs& dialogs);
