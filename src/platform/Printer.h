#pragma once
// TPrinter: the one process-wide printer. Over QPrinter: the system's printers when there are
// any; otherwise a PDF printer at 180 x 180 dpi on an A4 page of 1488 x 2104 dots.
#include "platform/Canvas.h"
#include <QPrinter>
#include <QStringList>
#include <memory>

class TPrinter {
public:
    static TPrinter& Get();

    QStringList Printers() const;        // the system's printers
    bool HasPrinters() const { return !Printers().isEmpty(); }
    bool IsPdf() const;                  // printing into a PDF file
    int PrinterIndex() const { return printerIndex_; }
    bool SetPrinterIndex(int index);     // -1: the PDF printer

    // Device capabilities of the current printer.
    int DpiX() const;
    int DpiY() const;
    int PageWidthDots() const;           // physical page
    int PageHeightDots() const;
    int OffsetX() const;                 // physical offset of the printable area
    int OffsetY() const;

    // The PDF file the next document goes to; empty asks through the file dialog at BeginDoc.
    void SetOutputFile(const QString& path) { outputFile_ = path; }
    const QString& OutputFile() const { return outputFile_; }

    bool BeginDoc(const QString& title = QString());
    bool NewPage();
    bool EndDoc();
    void Abort();
    bool Printing() const { return printing_; }
    int PageNumber() const { return pageNumber_; }
    TCanvas* Canvas() { return canvas_.get(); }
    QPrinter& Device() { return *printer_; }
    // Runs the printer set-up dialog; true when the user confirmed it.
    bool Setup();

    // The resolution of the PDF printer (180 dpi unless changed).
    void SetPdfResolution(int dpi);
    // Back to the start state (tests).
    void Reset();

private:
    TPrinter();
    void ConfigurePdf();
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TCanvas> canvas_;
    int printerIndex_ = -1;
    bool printing_ = false;
    int pageNumber_ = 0;
    QString outputFile_;
};
