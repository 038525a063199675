// Sections: cairo state | construction | text | job and pages | destinations

#include "platform/Printer.h"

#include "platform/Debug.h"
#include "platform/Text.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* faceName = "Liberation Sans";
constexpr double pointsPerInch = 72.0;
constexpr double hundredthsOfMillimetrePerInch = 2540.0;

int32_t ToDevicePixels(int32_t hundredthsOfMillimetre)
{
    return static_cast<int32_t>(std::lround(hundredthsOfMillimetre * Printer::dotsPerInch / hundredthsOfMillimetrePerInch));
}

double ToPoints(int32_t hundredthsOfMillimetre) { return hundredthsOfMillimetre * pointsPerInch / hundredthsOfMillimetrePerInch; }

// Device pixels in, PDF points out; the default face in its size; metrics not hinted, so that a
// measuring context and a drawing context agree on every width.
void PrepareContext(cairo_t* cr)
{
    const double scale = pointsPerInch / Printer::dotsPerInch;
    cairo_scale(cr, scale, scale);
    cairo_select_font_face(cr, faceName, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, Printer::facePoints * Printer::dotsPerInch / pointsPerInch);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_source_rgb(cr, 0, 0, 0);
}

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

bool WriteFile(const fs::path& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::wstring CupsError() { return Utf8ToWide(cupsLastErrorString() ? cupsLastErrorString() : "CUPS"); }

// The default paper of a destination: the user's "media" option, else the printer's
// media-default, with the margins the printer reports for it; A4 when neither is known.
// (cupsGetDestMediaDefault is not used: it answers Letter for queues whose default is A4.)
PaperSize DefaultPaper(cups_dest_t* dest)
{
    std::string keyword;
    if (const char* media = cupsGetOption("media", dest->num_options, dest->options))
        keyword = media;
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (keyword.empty() && info != nullptr) {
        if (ipp_attribute_t* media = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media")) {
            if (const char* value = ippGetString(media, 0, nullptr))
                keyword = value;
        }
    }
    PaperSize paper;
    bool known = false;
    if (!keyword.empty() && info != nullptr) {
        cups_size_t size {};
        if (cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, keyword.c_str(), 0, &size) && size.width > 0
            && size.length > 0) {
            paper = PaperSize { size.width, size.length, size.left, size.top, size.right, size.bottom };
            known = true;
        }
    }
    if (info != nullptr)
        cupsFreeDestInfo(info);
    if (!known && !keyword.empty()) {
        pwg_media_t* media = pwgMediaForPWG(keyword.c_str());
        if (media == nullptr)
            media = pwgMediaForLegacy(keyword.c_str());
        if (media == nullptr)
            media = pwgMediaForPPD(keyword.c_str());
        if (media != nullptr && media->width > 0 && media->length > 0)
            paper = PaperSize { media->width, media->length };
    }
    return paper;
}

} // namespace

// ---- Cairo state ----------------------------------------------------------------------------

struct Printer::Cairo {
    cairo_surface_t* measureSurface { nullptr };
    cairo_t* measure { nullptr };
    cairo_surface_t* pdfSurface { nullptr };
    cairo_t* pdf { nullptr };
    std::string pdfBytes {};

    ~Cairo()
    {
        DropPdf();
        if (measure)
            cairo_destroy(measure);
        if (measureSurface)
            cairo_surface_destroy(measureSurface);
    }
    void DropPdf()
    {
        if (pdf)
            cairo_destroy(pdf);
        if (pdfSurface)
            cairo_surface_destroy(pdfSurface);
        pdf = nullptr;
        pdfSurface = nullptr;
    }
};

// ---- Construction ---------------------------------------------------------------------------

Printer::Printer(std::string destinationName, fs::path pdf, PaperSize paperSize)
    : cairo(std::make_unique<Cairo>()), destination(std::move(destinationName)), output(std::move(pdf)), paper(paperSize)
{
    const bool marginsFit = paper.left >= 0 && paper.top >= 0 && paper.right >= 0 && paper.bottom >= 0
        && paper.left + paper.right < paper.width && paper.top + paper.bottom < paper.length;
    if (paper.width <= 0 || paper.length <= 0)
        paper = PaperSize {};
    else if (!marginsFit)
        paper = PaperSize { paper.width, paper.length };
    pageWidth = ToDevicePixels(paper.width - paper.left - paper.right);
    pageHeight = ToDevicePixels(paper.length - paper.top - paper.bottom);
    originX = ToDevicePixels(paper.left);
    originY = ToDevicePixels(paper.top);

    cairo->measureSurface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
    cairo->measure = cairo_create(cairo->measureSurface);
    PrepareContext(cairo->measure);
    cairo_font_extents_t font {};
    cairo_font_extents(cairo->measure, &font);
    lineHeight = static_cast<int32_t>(std::ceil(font.height));
    ascent = static_cast<int32_t>(std::lround(font.ascent));
    cairo_text_extents_t x {};
    cairo_text_extents(cairo->measure, "x", &x);
    averageCharWidth = std::max<int32_t>(1, static_cast<int32_t>(std::lround(x.x_advance)));
    if (lineHeight <= 0)
        lineHeight = 1;
}

Printer::~Printer()
{
    if (inDoc)
        AbortDoc();
}

std::unique_ptr<Printer> Printer::ForDestination(const std::wstring& name)
{
    if (name.empty())
        return nullptr;
    const std::string utf8 = WideToUtf8(name);
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, utf8.c_str(), nullptr);
    if (dest == nullptr) {
        DebugOutput("printer " + utf8 + " not found: " + WideToUtf8(CupsError()));
        return nullptr;
    }
    const PaperSize paper = DefaultPaper(dest);
    cupsFreeDests(1, dest);
    return std::unique_ptr<Printer>(new Printer(utf8, fs::path(), paper));
}

std::unique_ptr<Printer> Printer::ForFile(const fs::path& pdf, PaperSize paper)
{
    return std::unique_ptr<Printer>(new Printer(std::string(), pdf, paper));
}

// ---- Text -----------------------------------------------------------------------------------

int32_t Printer::TextWidth(std::wstring_view text)
{
    const std::string utf8 = WideToUtf8(text);
    cairo_text_extents_t extents {};
    cairo_text_extents(cairo->measure, utf8.c_str(), &extents);
    return static_cast<int32_t>(std::lround(extents.x_advance));
}

void Printer::TextOut(int32_t x, int32_t y, std::wstring_view text)
{
    if (!inPage || text.empty())
        return;
    const std::string utf8 = WideToUtf8(text);
    cairo_move_to(cairo->pdf, originX + x, originY + y + ascent);
    cairo_show_text(cairo->pdf, utf8.c_str());
}

// ---- Job and pages --------------------------------------------------------------------------

bool Printer::StartDoc(std::wstring_view title)
{
    if (inDoc) {
        lastError = L"задание уже начато";
        return false;
    }
    cairo->pdfBytes.clear();
    cairo->pdfSurface = cairo_pdf_surface_create_for_stream(
        AppendToString, &cairo->pdfBytes, ToPoints(paper.width), ToPoints(paper.length));
    if (cairo_surface_status(cairo->pdfSurface) != CAIRO_STATUS_SUCCESS) {
        lastError = L"не удалось подготовить страницы";
        cairo->DropPdf();
        return false;
    }
    jobTitle = title;
    const std::string utf8 = WideToUtf8(title);
    cairo_pdf_surface_set_metadata(cairo->pdfSurface, CAIRO_PDF_METADATA_TITLE, utf8.c_str());
    cairo->pdf = cairo_create(cairo->pdfSurface);
    PrepareContext(cairo->pdf);
    inDoc = true;
    return true;
}

bool Printer::StartPage()
{
    if (!inDoc || inPage) {
        lastError = L"страница не может начаться";
        return false;
    }
    inPage = true;
    return true;
}

bool Printer::EndPage()
{
    if (!inPage) {
        lastError = L"страница не начата";
        return false;
    }
    cairo_show_page(cairo->pdf);
    inPage = false;
    if (cairo_status(cairo->pdf) != CAIRO_STATUS_SUCCESS) {
        lastError = Utf8ToWide(cairo_status_to_string(cairo_status(cairo->pdf)));
        return false;
    }
    return true;
}

bool Printer::EndDoc()
{
    if (!inDoc) {
        lastError = L"задание не начато";
        return false;
    }
    if (inPage)
        EndPage();
    cairo_surface_finish(cairo->pdfSurface);
    const cairo_status_t status = cairo_surface_status(cairo->pdfSurface);
    cairo->DropPdf();
    inDoc = false;
    if (status != CAIRO_STATUS_SUCCESS) {
        lastError = Utf8ToWide(cairo_status_to_string(status));
        return false;
    }

    if (destination.empty()) {
        if (!WriteFile(output, cairo->pdfBytes)) {
            lastError = L"не удалось записать «" + Utf8ToWide(output.string()) + L"»";
            return false;
        }
        return true;
    }

    // CUPS takes the job from a file: a private one in the temporary folder, gone afterwards.
    std::string temporary = (fs::temp_directory_path() / "tirlan-print-XXXXXX.pdf").string();
    const int fd = ::mkstemps(temporary.data(), 4);
    if (fd < 0) {
        lastError = L"не удалось создать временный файл";
        return false;
    }
    ::close(fd);
    bool sent = false;
    if (WriteFile(temporary, cairo->pdfBytes)) {
        const std::string title8 = WideToUtf8(jobTitle);
        lastJobId = cupsPrintFile2(CUPS_HTTP_DEFAULT, destination.c_str(), temporary.c_str(), title8.c_str(), 0, nullptr);
        sent = lastJobId > 0;
        if (!sent)
            lastError = CupsError();
    } else {
        lastError = L"не удалось записать временный файл";
    }
    ::unlink(temporary.c_str());
    cairo->pdfBytes.clear();
    return sent;
}

void Printer::AbortDoc()
{
    cairo->DropPdf();
    cairo->pdfBytes.clear();
    inDoc = false;
    inPage = false;
}

// ---- Destinations ---------------------------------------------------------------------------

std::vector<std::wstring> LocalPrinters()
{
    std::vector<std::wstring> names;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        if (dest.instance != nullptr)
            continue;
        // Queues shared by another server are not this computer's printers.
        const char* type = cupsGetOption("printer-type", dest.num_options, dest.options);
        if (type != nullptr && (std::strtoul(type, nullptr, 10) & CUPS_PRINTER_REMOTE) != 0)
            continue;
        names.push_back(Utf8ToWide(dest.name));
    }
    cupsFreeDests(count, dests);
    return names;
}

std::wstring DefaultPrinter()
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::wstring name;
    if (cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests))
        name = Utf8ToWide(dest->name);
    cupsFreeDests(count, dests);
    return name;
}
