#include "shell/Variable.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <stdexcept>

TVersion DesignerVersion;
TVersion FileVersion;
int LanguageIndex = 0;
int GridStep = 20;
bool SnapToGrid = true;
QString NumericChars = QStringLiteral(",.0123456789");
double ZoomPercent = 100.0;
double ZoomFactor = 1.0;
double LastZoomPercent = 100.0;
TColor DesignerColor = clInfoBk;
TDrawRect DrawRect{0, 0, 10, 10, 0, 0, 0, 0};
double PixelsPerMmX = 0, PixelsPerMmY = 0;
double FormPixelsPerMmX = 0, FormPixelsPerMmY = 0;
int PrinterDpiX = 0, PrinterDpiY = 0;
double ScreenPerPrinterX = 0, ScreenPerPrinterY = 0;
int PageWidthDots = 0, PageHeightDots = 0;
int PageOffsetX = 0, PageOffsetY = 0;
TRect PrintMargins;
int PrintableWidthDots = 0, PrintableHeightDots = 0;
int PageHeightPixels = 0;
QString WorkDir;
QString ConfigFileName;
QString CurrentFileName;
bool RulersVisible = false;
bool HelpLinesVisible = false;
bool Modified = false;
bool Loading = false;
bool AllLocked = false;
bool PaintingForOutput = false;
int FileScreenWidth = 0, FileScreenHeight = 0;
double ScreenScaleX = 0, ScreenScaleY = 0;
TObjectgenerator* TheDesigner = nullptr;
TDynPanel* SelectedObject = nullptr;
TDynPanel* PreviousObject = nullptr;
TObjectList* CurrentList = nullptr;
TDynPanel* CurrentParent = nullptr;
TDynDBForm* CurrentForm = nullptr;
int PendingKind = NoPendingKind;
bool KeepLogicalValues = false;
bool ObjectFileMode = false;
TMemoryStream* SharedStream = nullptr;

const std::array<QString, 3> HAlignNames = {QStringLiteral("LeftJustify"), QStringLiteral("Center"),
                                            QStringLiteral("RightJustify")};
const std::array<QString, 3> VAlignNames = {QStringLiteral("Top"), QStringLiteral("Center"), QStringLiteral("Bottom")};

namespace {
std::array<QString, 30> MakeSpaceStrings()
{
    std::array<QString, 30> a;
    for (int i = 0; i < 30; ++i)
        a[static_cast<size_t>(i)] = QString(i, ' ');
    return a;
}
} // namespace

const std::array<QString, 30> SpaceStrings = MakeSpaceStrings();
const std::array<QString, 6> DatePartNames = {QStringLiteral("Datum"), QStringLiteral("Jahr"),
                                              QStringLiteral("Quartal"), QStringLiteral("Monat"),
                                              QStringLiteral("Woche"), QStringLiteral("Tag")};
const QString TitleNotExist = QStringLiteral("notExist");
const QString TitleUntitled = QStringLiteral("Untitled");
const QString TextFileFilter = QStringLiteral("Rich Textfiles (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");
const QString ObjectFileFilter =
    QStringLiteral("Objectfiles (*.KvO)|*.KvO|Objecbackuptfiles (*.~KvO)|*.~KvO|All files (*.*)|*.*");
const QString ProjectFileFilter = QStringLiteral(
    "Reportfiles (*.KvR)|*.KvR|ReportBackupfiles (*.~KvR)|*.~KvR|  tmpBackupfiles (*.~~KvR)|*.~~KvR|  All files (*.*)|*.*");
const QString OpenFileFilter = QStringLiteral(
    "Reportfiles (*.KvR)|*.KvR|ReportBackupfiles (*.~KvR)|*.~KvR|tmpBackupfiles (*.~~KvR)|*.~~KvR|Objectfiles "
    "(*.KvO)|*.KvO|Objecbackuptfiles (*.~KvO)|*.~KvO|All files (*.*)|*.*");
const QString ExtProject = QStringLiteral(".KvR");
const QString ExtProjectBackup = QStringLiteral(".~KvR");
const QString ExtProjectTemp = QStringLiteral(".~~KvR");
const QString ExtObject = QStringLiteral(".KvO");
const QString ExtObjectBackup = QStringLiteral(".~KvO");
const QString HelpFileName = QStringLiteral("Pellumin Help 5  8  2002.hlp");
const QString NoPrinterWarning = QStringLiteral("Kein Drucker vorhanden, 180dpi/ A4 wird gewählt !");

void InitVariables(const QString& programDir)
{
    DesignerVersion = {};
    FileVersion = {};
    LanguageIndex = 0;
    GridStep = 20;
    SnapToGrid = true;
    NumericChars = QStringLiteral(",.0123456789");
    ZoomPercent = 100.0;
    ZoomFactor = 1.0;
    LastZoomPercent = 100.0;
    DesignerColor = clInfoBk;
    DrawRect = TDrawRect{0, 0, 10, 10, 0, 0, 0, 0};
    PixelsPerMmX = PixelsPerMmY = 0;
    FormPixelsPerMmX = FormPixelsPerMmY = 0;
    PrinterDpiX = PrinterDpiY = 0;
    ScreenPerPrinterX = ScreenPerPrinterY = 0;
    PageWidthDots = PageHeightDots = 0;
    PageOffsetX = PageOffsetY = 0;
    PrintMargins = {};
    PrintableWidthDots = PrintableHeightDots = 0;
    PageHeightPixels = 0;
    WorkDir = QDir(programDir).absolutePath();
    if (!WorkDir.endsWith('/'))
        WorkDir += '/';
    ConfigFileName.clear();
    CurrentFileName.clear();
    RulersVisible = HelpLinesVisible = false;
    Modified = Loading = AllLocked = PaintingForOutput = false;
    FileScreenWidth = FileScreenHeight = 0;
    ScreenScaleX = ScreenScaleY = 0;
    TheDesigner = nullptr;
    SelectedObject = PreviousObject = nullptr;
    CurrentList = nullptr;
    CurrentParent = nullptr;
    CurrentForm = nullptr;
    PendingKind = NoPendingKind;
    KeepLogicalValues = ObjectFileMode = false;
    SharedStream = nullptr;
}

double ParseNumber(const QString& text)
{
    const QChar sep = FormatSettings().DecimalSeparator;
    QString kept;
    for (QChar c : text) {
        if (!NumericChars.contains(c))
            continue;
        kept += (c == ',' || c == '.') ? sep : c;
    }
    double value = 0;
    if (!TryStrToFloat(kept, value))
        return 60.0;
    return value;
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString CopyChars(const QString& text, int start, int end)
{
    if (text.size() < end || start < 0 || end < start)
        return {};
    return text.mid(start, end - start + 1);
}

TDrawRect NormalizeRect(const TDrawRect& r)
{
    TDrawRect out;
    out.Left = std::min(r.X1, r.X2);
    out.Right = std::max(r.X1, r.X2);
    out.Top = std::min(r.Y1, r.Y2);
    out.Bottom = std::max(r.Y1, r.Y2);
    out.X1 = out.Left;
    out.Y1 = out.Top;
    out.X2 = out.Right;
    out.Y2 = out.Bottom;
    return out;
}

double LineAngle(TPoint p1, TPoint p2)
{
    if (p1.X == p2.X)
        return p2.Y < p1.Y ? 90.0 : 270.0;
    double a = std::atan(double(p1.Y - p2.Y) / double(p2.X - p1.X)) * 180.0 / M_PI;
    if (p1.X < p2.X && p2.Y > p1.Y)
        a += 360.0;
    if (p1.X > p2.X)
        a += 180.0;
    return a;
}

double PointLineDistance(TPoint p, TPoint a, TPoint b)
{
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0) // a line of no length: the distance to its one point
        return PointDistance(p, a);
    return std::fabs(dx * p.Y - dy * p.X + dy * a.X - dx * a.Y) / len;
}

double PointDistance(TPoint p1, TPoint p2)
{
    const double dx = p1.X - p2.X, dy = p1.Y - p2.Y;
    return std::sqrt(dx * dx + dy * dy);
}

int Quadrant(TPoint origin, TPoint p)
{
    const bool left = p.X < origin.X;
    const bool above = p.Y < origin.Y;
    if (!left && above)
        return 1;
    if (left && above)
        return 2;
    if (left)
        return 3;
    return 4;
}

int AngleQuadrant(double radians)
{
    const double degrees = radians * 180.0 / M_PI;
    if (degrees >= 0 && degrees <= 90)
        return 1;
    if (degrees > 90 && degrees <= 180)
        return 2;
    if (degrees > 180 && degrees <= 270)
        return 3;
    return 4;
}

void DecodeDateParts(TDateTime date, TDateParts& parts)
{
    const QDate d = DateTimeToDate(date);
    parts.Year = d.year();
    parts.Month = d.month();
    parts.Quarter = (d.month() - 1) / 3 + 1;
    parts.DayOfWeek = DayOfWeek(date);
    parts.Week = 0;
    try {
        if (!d.isValid())
            throw std::runtime_error("invalid date");
        const QDate jan1(d.year(), 1, 1);
        const int w1 = DayOfWeek(DateToDateTime(jan1));
        const int wd = DayOfWeek(DateToDateTime(d) - 1); // Monday-based weekday of the date
        const int days = static_cast<int>(jan1.daysTo(d));
        int week = (days + 7 - wd + ((w1 >= 2 && w1 <= 5) ? 7 : 0)) / 7;
        const bool fromPreviousYear = week == 0;
        if (fromPreviousYear) {
            const QDate prevJan1(d.year() - 1, 1, 1);
            const QDate prevDec31(d.year() - 1, 12, 31);
            if (DayOfWeek(DateToDateTime(prevJan1)) > 5)
                week = 52;
            else
                week = DayOfWeek(DateToDateTime(prevDec31)) >= 5 ? 53 : 52;
        }
        // Only a week 53 counted in the date's own year can be the first week of the next
        // one; a week 53 carried over from the previous year stays 53.
        if (week == 53 && !fromPreviousYear) {
            const QDate dec31(d.year(), 12, 31);
            if (w1 > 5 || DayOfWeek(DateToDateTime(dec31)) < 5)
                week = 1;
        }
        parts.Week = week;
    } catch (...) {
        parts.Week = 0;
    }
}

void CopyFontScaled(TFont& dest, const TFont& source)
{
    dest.Charset = source.Charset;
    dest.Color = source.Color;
    dest.SetHeight(source.Height());
    dest.Name = source.Name;
    dest.Bold = source.Bold;
    dest.Italic = source.Italic;
    dest.Underline = source.Underline;
    dest.StrikeOut = source.StrikeOut;
    dest.SetSize(RoundHalfEven(source.Size() * ZoomFactor));
}

double MmToPixelsX(double mm) { return RoundHalfEven(mm * FormPixelsPerMmX); }
double MmToPixelsY(double mm) { return RoundHalfEven(mm * FormPixelsPerMmY); }
double PixelsToMmX(double pixels) { return FormPixelsPerMmX > 0 ? RoundHalfEven(pixels / FormPixelsPerMmX) : 0.0; }
double PixelsToMmY(double pixels) { return FormPixelsPerMmY > 0 ? RoundHalfEven(pixels / FormPixelsPerMmY) : 0.0; }

bool DirectoryExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void TakePrinterMetrics()
{
    TakePrinterMetricsWith(TDialogs::Get());
}

void TakePrinterMetricsWith(TDialogs& dialogs)
{
    TPrinter& printer = TPrinter::Get();
    if (printer.HasPrinters() && !printer.IsPdf()) {
        PrinterDpiX = printer.DpiX();
        PrinterDpiY = printer.DpiY();
        PageWidthDots = printer.PageWidthDots();
        PageHeightDots = printer.PageHeightDots();
        PageOffsetX = printer.OffsetX();
        PageOffsetY = printer.OffsetY();
    } else {
        dialogs.MessageDlg(NoPrinterWarning, TMsgDlgType::Warning, mbOK);
        PrinterDpiX = PrinterDpiY = 180;
        PageWidthDots = 1488;
        PageHeightDots = 2104;
        PageOffsetX = PageOffsetY = NoPrinterOffset;
    }
    const int mx = PageOffsetX > 0 ? PageOffsetX + 10 : 10;
    const int my = PageOffsetY > 0 ? PageOffsetY + 10 : 10;
    PrintMargins = TRect(mx, my, mx, my);
    const double ppi = TScreen::PixelsPerInch();
    ScreenPerPrinterX = ppi / PrinterDpiX;
    ScreenPerPrinterY = ppi / PrinterDpiY;
    PixelsPerMmX = PixelsPerMmY = ppi / 25.4;
    PrintableWidthDots = PageWidthDots - PrintMargins.Left - PrintMargins.Right;
    PrintableHeightDots = PageHeightDots - PrintMargins.Top - PrintMargins.Bottom;
    PageHeightPixels = RoundHalfEven(PrintableHeightDots * ScreenPerPrinterY);
}
