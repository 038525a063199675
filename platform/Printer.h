#pragma once
// Printing. IMPrinterDC is what a printout needs from a page device: the page size, the
// metrics and width of text in its default face, drawing text at a point, and page and job
// brackets, all in device pixels. Printer is the real one: pages are drawn with cairo onto a
// PDF and either sent to a CUPS destination as one job or, for a file printer, written to a
// PDF file of one's choice.
//
// Called on the user-interface thread only. Nothing here throws; failures are reported by
// return values and LastError().

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IMPrinterDC {
public:
    virtual ~IMPrinterDC() = default;

    // Printable page size in device pixels; (0, 0) is the top-left corner of the printable area.
    virtual int32_t PageWidth() const = 0;
    virtual int32_t PageHeight() const = 0;
    // Distance from one line of text to the next, and the average character width, of the
    // default face.
    virtual int32_t LineHeight() const = 0;
    virtual int32_t AverageCharWidth() const = 0;
    // Advance width of `text` in the default face.
    virtual int32_t TextWidth(std::wstring_view text) = 0;
    // Draws `text` with the top-left corner of its line box at (x, y).
    virtual void TextOut(int32_t x, int32_t y, std::wstring_view text) = 0;

    // Job and page brackets; false when the device refused (see LastError).
    virtual bool StartDoc(std::wstring_view jobTitle) = 0;
    virtual bool StartPage() = 0;
    virtual bool EndPage() = 0;
    virtual bool EndDoc() = 0;
    // Drops a started job: nothing is printed.
    virtual void AbortDoc() = 0;
    // A few words on the last failure, for the screen.
    virtual std::wstring LastError() const = 0;
};

// Paper size and the unprintable margins at its edges, in hundredths of a millimetre (CUPS's
// unit). The page a printout sees is the printable area inside the margins.
struct PaperSize {
    int32_t width { 21000 };
    int32_t length { 29700 };
    int32_t left { 0 };
    int32_t top { 0 };
    int32_t right { 0 };
    int32_t bottom { 0 };
};

class Printer final : public IMPrinterDC {
public:
    // Device pixels per inch of every printer.
    static constexpr int32_t dotsPerInch = 300;
    // Size of the default face, in points.
    static constexpr double facePoints = 12.0;

    // A printer for the CUPS destination `name`, on its default paper; null when there is no
    // such destination (or no CUPS scheduler).
    static std::unique_ptr<Printer> ForDestination(const std::wstring& name);
    // A printer that writes its one job to the PDF file `pdf`, without CUPS.
    static std::unique_ptr<Printer> ForFile(const std::filesystem::path& pdf, PaperSize paper = {});

    ~Printer() override;
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    int32_t PageWidth() const override { return pageWidth; }
    int32_t PageHeight() const override { return pageHeight; }
    int32_t LineHeight() const override { return lineHeight; }
    int32_t AverageCharWidth() const override { return averageCharWidth; }
    int32_t TextWidth(std::wstring_view text) override;
    void TextOut(int32_t x, int32_t y, std::wstring_view text) override;
    bool StartDoc(std::wstring_view jobTitle) override;
    bool StartPage() override;
    bool EndPage() override;
    bool EndDoc() override;
    void AbortDoc() override;
    std::wstring LastError() const override { return lastError; }

    // The CUPS job id of the last job sent, 0 before any (and for a file printer).
    int LastJobId() const { return lastJobId; }

private:
    Printer(std::string destination, std::filesystem::path pdf, PaperSize paper);
    void CloseSurface();

    struct Cairo;
    std::unique_ptr<Cairo> cairo;
    std::string destination {};       // CUPS destination, empty for a file printer
    std::filesystem::path output {};  // the PDF being written
    PaperSize paper {};
    int32_t pageWidth { 0 };
    int32_t pageHeight { 0 };
    int32_t lineHeight { 0 };
    int32_t averageCharWidth { 0 };
    int32_t ascent { 0 };
    int32_t originX { 0 };  // the printable area's corner on the paper
    int32_t originY { 0 };
    bool inDoc { false };
    bool inPage { false };
    int lastJobId { 0 };
    std::wstring jobTitle {};
    std::wstring lastError {};
};

// The local print destinations in the order CUPS reports them; empty without CUPS.
std::vector<std::wstring> LocalPrinters();
// The default destination's name, or empty when there is none.
std::wstring DefaultPrinter();
