#include "platform/Printer.h"
#include "platform/Dialogs.h"
#include <QPageLayout>
#include <QPrinterInfo>

namespace {
constexpr int PdfDpi = 180;
constexpr int PdfWidthDots = 1488;
constexpr int PdfHeightDots = 2104;
} // namespace

TPrinter& TPrinter::Get()
{
    static TPrinter printer;
    return printer;
}

TPrinter::TPrinter()
{
    Reset();
}

void TPrinter::Reset()
{
    if (printing_)
        Abort();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printerIndex_ = -1;
    outputFile_.clear();
    const QStringList names = Printers();
    if (!names.isEmpty()) {
        const QString def = QPrinterInfo::defaultPrinterName();
        printerIndex_ = qMax(0, static_cast<int>(names.indexOf(def)));
        printer_->setPrinterName(names[printerIndex_]);
    } else {
        ConfigurePdf();
    }
}

void TPrinter::ConfigurePdf()
{
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setResolution(PdfDpi);
    // The fallback page of the designer: 1488 x 2104 dots at 180 dpi. PDF page sizes are
    // whole points, so the PDF page is one dot row taller than the page the designer uses.
    const QPageSize size(QSizeF(double(PdfWidthDots) / PdfDpi, double(PdfHeightDots) / PdfDpi), QPageSize::Inch,
                         QStringLiteral("A4"), QPageSize::ExactMatch);
    printer_->setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer_->setFullPage(true);
}

QStringList TPrinter::Printers() const
{
    return QPrinterInfo::availablePrinterNames();
}

bool TPrinter::IsPdf() const
{
    return printer_->outputFormat() == QPrinter::PdfFormat;
}

void TPrinter::SetPdfResolution(int dpi)
{
    if (IsPdf() && dpi > 0 && !printing_)
        printer_->setResolution(dpi);
}

bool TPrinter::SetPrinterIndex(int index)
{
    const QStringList names = Printers();
    if (index < 0 || index >= names.size()) {
        printer_->setPrinterName(QString());
        ConfigurePdf();
        printerIndex_ = -1;
        return index == -1;
    }
    printer_->setOutputFormat(QPrinter::NativeFormat);
    printer_->setPrinterName(names[index]);
    printerIndex_ = index;
    return true;
}

int TPrinter::DpiX() const { return printer_->resolution(); }
int TPrinter::DpiY() const { return printer_->resolution(); }

int TPrinter::PageWidthDots() const
{
    if (IsPdf())
        return PdfWidthDots;
    return printer_->pageLayout().fullRectPixels(printer_->resolution()).width();
}

int TPrinter::PageHeightDots() const
{
    if (IsPdf())
        return PdfHeightDots;
    return printer_->pageLayout().fullRectPixels(printer_->resolution()).height();
}

int TPrinter::OffsetX() const
{
    if (IsPdf())
        return 0;
    return printer_->pageLayout().paintRectPixels(printer_->resolution()).left();
}

int TPrinter::OffsetY() const
{
    if (IsPdf())
        return 0;
    return printer_->pageLayout().paintRectPixels(printer_->resolution()).top();
}

bool TPrinter::BeginDoc(const QString& title)
{
    if (printing_)
        return false;
    if (IsPdf()) {
        QString file = outputFile_;
        if (file.isEmpty()) {
            TFileDialogRequest r;
            r.Title = QStringLiteral("Print to PDF");
            r.Filter = QStringLiteral("PDF files (*.pdf)|*.pdf");
            r.FileName = title.isEmpty() ? QStringLiteral("Kivotek.pdf") : title + QStringLiteral(".pdf");
            if (!TDialogs::Get().SaveFile(r))
                return false;
            file = r.FileName;
        }
        printer_->setOutputFileName(file);
    }
    printer_->setDocName(title);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        return false;
    }
    canvas_ = std::make_unique<TCanvas>(painter_.get(), TCanvasKind::Printer);
    printing_ = true;
    pageNumber_ = 1;
    return true;
}

bool TPrinter::NewPage()
{
    if (!printing_)
        return false;
    ++pageNumber_;
    return printer_->newPage();
}

bool TPrinter::EndDoc()
{
    if (!printing_)
        return false;
    canvas_.reset();
    const bool ok = painter_->end();
    painter_.reset();
    printing_ = false;
    pageNumber_ = 0;
    return ok;
}

void TPrinter::Abort()
{
    if (!printing_)
        return;
    printer_->abort();
    canvas_.reset();
    painter_->end();
    painter_.reset();
    printing_ = false;
    pageNumber_ = 0;
}

bool TPrinter::Setup()
{
    return TDialogs::Get().PrintSetup(*printer_);
}
