// Sections: text conversion | the template | the XML library | construction | rows | saving |
// printing

#include "results/ResultsWorkbook.h"

#include "platform/Debug.h"
#include "platform/Printer.h"
#include "platform/Text.h"
#include "results/NarrowText.h"
#include "results/ResultsFile.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace X = XERCES_CPP_NAMESPACE;
namespace fs = std::filesystem;

namespace {

// ---- Text conversion ------------------------------------------------------------------------

// True for the characters XML 1.0 allows in a document.
bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// Wide text as the DOM's UTF-16. Characters XML cannot hold become "?", so that a stray
// control character typed into a name cannot make the saved file unreadable.
std::u16string ToXml(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if (!IsXmlChar(c))
            c = U'?';
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::wstring FromXml(const XMLCh* text)
{
    std::wstring out;
    if (text == nullptr)
        return out;
    for (const XMLCh* p = text; *p != 0; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

// A text as it is stored in the workbook: narrowed to the code page, then widened again.
std::u16string Stored(std::wstring_view text) { return ToXml(WidenText(NarrowText(text))); }

fs::path FileSystemPath(const std::string& narrowed) { return fs::path(WideToUtf8(WidenText(narrowed))); }

std::string XmlMessage(const XMLCh* message) { return WideToUtf8(FromXml(message)); }

// ---- The template ---------------------------------------------------------------------------

// A new workbook: the document properties, the window settings and the styles, no worksheet.
// Its items are joined by seven tabs and a space, as the whitespace of the workbook format's
// own template.
#define SEP "\t\t\t\t\t\t\t "
constexpr std::string_view workbookTemplate =
    "<?xml version=\"1.0\"?>" SEP
    "<?mso-application progid=\"Excel.Sheet\"?>" SEP
    "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"" SEP
    "xmlns:o=\"urn:schemas-microsoft-com:office:office\"" SEP
    "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"" SEP
    "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"" SEP
    "xmlns:html=\"http://www.w3.org/TR/REC-html40\">" SEP
    "<DocumentProperties xmlns=\"urn:schemas-microsoft-com:office:office\">" SEP
    "<Version>11.6360</Version>" SEP
    "</DocumentProperties>" SEP
    "<ExcelWorkbook xmlns=\"urn:schemas-microsoft-com:office:excel\">" SEP
    "<WindowHeight>10005</WindowHeight>" SEP
    "<WindowWidth>10005</WindowWidth>" SEP
    "<WindowTopX>120</WindowTopX>" SEP
    "<WindowTopY>135</WindowTopY>" SEP
    "<ProtectStructure>False</ProtectStructure>" SEP
    "<ProtectWindows>False</ProtectWindows>" SEP
    "</ExcelWorkbook>" SEP
    "<Styles>" SEP
    "<Style ss:ID=\"Default\" ss:Name=\"Normal\">" SEP
    "<Alignment ss:Vertical=\"Bottom\"/>" SEP
    "<Borders/>" SEP
    "<Font ss:FontName=\"Arial Cyr\" x:CharSet=\"204\"/>" SEP
    "<Interior/>" SEP
    "<NumberFormat/>" SEP
    "<Protection/>" SEP
    "</Style>" SEP
    "<Style ss:ID=\"s21\">" SEP
    "<NumberFormat ss:Format=\"Short Date\"/>" SEP
    "</Style>" SEP
    "<Style ss:ID=\"s22\">" SEP
    "<NumberFormat ss:Format=\"Short Time\"/>" SEP
    "</Style>" SEP
    "</Styles>" SEP
    "</Workbook>";
#undef SEP
static_assert(workbookTemplate.size() == 1322);

// ---- The XML library ------------------------------------------------------------------------

// One use of the XML library; the library counts its users and shuts down with the last.
class XercesUse {
public:
    XercesUse()
    {
        try {
            X::XMLPlatformUtils::Initialize();
        } catch (const X::XMLException& e) {
            throw std::runtime_error("XML library: " + XmlMessage(e.getMessage()));
        }
    }
    ~XercesUse() { X::XMLPlatformUtils::Terminate(); }
    XercesUse(const XercesUse&) = delete;
    XercesUse& operator=(const XercesUse&) = delete;
};

// Every external entity reads as empty: a results file never reaches outside itself, neither
// to a local file nor to the network.
class NoExternalEntities final : public X::XMLEntityResolver {
public:
    X::InputSource* resolveEntity(X::XMLResourceIdentifier* resource) override
    {
        static const XMLByte nothing[1] = { 0 };
        const XMLCh* id = resource != nullptr && resource->getSystemId() != nullptr ? resource->getSystemId() : u"";
        return new X::MemBufInputSource(nothing, 0, id, false);
    }
};

// Keeps the first fatal error of a parse.
class ParseErrors final : public X::ErrorHandler {
public:
    void warning(const X::SAXParseException&) override { }
    void error(const X::SAXParseException& e) override { Record(e); }
    void fatalError(const X::SAXParseException& e) override { Record(e); }
    void resetErrors() override
    {
        count = 0;
        first.clear();
    }
    int count { 0 };
    std::string first {};

private:
    void Record(const X::SAXParseException& e)
    {
        if (count++ == 0)
            first = XmlMessage(e.getMessage()) + " (line " + std::to_string(e.getLineNumber()) + ")";
    }
};

X::DOMElement* FirstElement(X::DOMElement* below, const XMLCh* name)
{
    X::DOMNodeList* list = below->getElementsByTagName(name);
    return list->getLength() > 0 ? static_cast<X::DOMElement*>(list->item(0)) : nullptr;
}

} // namespace

// ---- Construction ---------------------------------------------------------------------------

struct ResultsWorkbook::Document {
    XercesUse xerces;  // first in, last out: the library outlives everything below
    X::DOMImplementation* implementation { nullptr };
    NoExternalEntities resolver;
    ParseErrors errors;
    X::SecurityManager limits;
    std::unique_ptr<X::XercesDOMParser> parser;
    X::DOMDocument* dom { nullptr };  // owned by the parser
    X::DOMElement* worksheet { nullptr };
    std::string filePath;       // Windows-1251
    std::string worksheetName;  // Windows-1251

    enum class Parsed { Workbook, Malformed, NotWorkbook };

    Document()
    {
        implementation = X::DOMImplementationRegistry::getDOMImplementation(u"LS");
        if (implementation == nullptr)
            throw std::runtime_error("XML library: no DOM implementation with LS");
        parser = std::make_unique<X::XercesDOMParser>();
        // Plain well-formedness: no validation, no DTD from outside, no entity from outside.
        parser->setValidationScheme(X::XercesDOMParser::Val_Never);
        parser->setDoNamespaces(false);
        parser->setLoadExternalDTD(false);
        parser->setSkipDTDValidation(true);
        parser->setDisableDefaultEntityResolution(true);
        parser->setXMLEntityResolver(&resolver);
        parser->setCreateEntityReferenceNodes(false);
        // Bounds the expansion of entities declared inside the file itself.
        limits.setEntityExpansionLimit(10000);
        parser->setSecurityManager(&limits);
        parser->setErrorHandler(&errors);
    }

    ~Document()
    {
        parser.reset();  // releases the document
    }

    // Parses `bytes`; `systemId` names them in messages.
    Parsed Parse(const char* bytes, size_t size, const XMLCh* systemId, std::string& problem)
    {
        dom = nullptr;
        errors.resetErrors();
        try {
            X::MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes), size, systemId, false);
            parser->parse(source);
        } catch (const X::XMLException& e) {
            problem = XmlMessage(e.getMessage());
            return Parsed::Malformed;
        } catch (const X::DOMException& e) {
            problem = XmlMessage(e.getMessage());
            return Parsed::Malformed;
        } catch (const X::SAXException& e) {
            problem = XmlMessage(e.getMessage());
            return Parsed::Malformed;
        } catch (const X::OutOfMemoryException&) {
            problem = "out of memory";
            return Parsed::Malformed;
        }
        X::DOMDocument* parsed = parser->getDocument();
        if (errors.count > 0 || parsed == nullptr || parsed->getDocumentElement() == nullptr) {
            problem = errors.count > 0 ? errors.first : "no document element";
            return Parsed::Malformed;
        }
        if (X::XMLString::compareString(parsed->getDocumentElement()->getTagName(), u"Workbook") != 0) {
            problem = "the document element is not a Workbook";
            return Parsed::NotWorkbook;
        }
        dom = parsed;
        return Parsed::Workbook;
    }

    void UseTemplate()
    {
        std::string problem;
        if (Parse(workbookTemplate.data(), workbookTemplate.size(), u"EmptyXML", problem) != Parsed::Workbook)
            throw std::runtime_error("the built-in workbook template does not parse: " + problem);
    }

    X::DOMElement* NewElement(const XMLCh* name) { return dom->createElement(name); }

    void SelectWorksheet()
    {
        const std::u16string name = ToXml(WidenText(worksheetName));
        X::DOMElement* root = dom->getDocumentElement();
        // A deep node list counts its length by walking the whole tree: step through it instead.
        X::DOMNodeList* sheets = root->getElementsByTagName(u"Worksheet");
        for (XMLSize_t i = 0; X::DOMNode* node = sheets->item(i); ++i) {
            auto* sheet = static_cast<X::DOMElement*>(node);
            if (X::XMLString::compareString(sheet->getAttribute(u"ss:Name"), name.c_str()) == 0) {
                worksheet = sheet;
                return;
            }
        }
        worksheet = NewElement(u"Worksheet");
        worksheet->setAttribute(u"ss:Name", name.c_str());
        root->appendChild(worksheet);
        X::DOMElement* table = NewElement(u"Table");
        worksheet->appendChild(table);
        for (const XMLCh* width : { u"240", u"96" }) {
            X::DOMElement* column = NewElement(u"Column");
            column->setAttribute(u"ss:AutoFitWidth", u"0");
            column->setAttribute(u"ss:Width", width);
            table->appendChild(column);
        }
    }

    X::DOMElement* FindOrAddTable()
    {
        if (X::DOMElement* table = FirstElement(worksheet, u"Table")) {
            // A table saved by a spreadsheet program may state its row count; rows added
            // here would exceed it and the program would refuse the file. The count is
            // optional: without it the rows are counted on reading.
            table->removeAttribute(u"ss:ExpandedRowCount");
            return table;
        }
        X::DOMElement* table = NewElement(u"Table");
        worksheet->appendChild(table);
        return table;
    }
};

ResultsWorkbook::ResultsWorkbook(const std::wstring& path, const std::wstring& worksheetName)
    : document(std::make_unique<Document>())
{
    Document& d = *document;
    d.filePath = NarrowText(path);
    d.worksheetName = NarrowText(worksheetName);
    const fs::path file = FileSystemPath(d.filePath);

    std::string bytes;
    int error = 0;
    std::string problem;
    const ResultsFile::ReadResult read = ResultsFile::ReadWhole(file, bytes, error);
    bool usable = false;
    if (read == ResultsFile::ReadResult::Read) {
        const std::u16string systemId = ToXml(FilePath());
        usable = d.Parse(bytes.data(), bytes.size(), systemId.c_str(), problem) == Document::Parsed::Workbook;
    } else if (read == ResultsFile::ReadResult::Unreadable) {
        problem = "cannot be read (errno " + std::to_string(error) + ")";
    }

    if (read != ResultsFile::ReadResult::Absent && !usable) {
        // Whatever is there may be a teacher's only copy: move it aside before starting anew.
        DebugOutput("results file " + file.string() + ": " + problem);
        int keepError = 0;
        if (auto kept = ResultsFile::KeepAside(file, static_cast<int64_t>(std::time(nullptr)), keepError)) {
            openMessage = L"Файл результатов не удалось прочитать; он сохранён как «"
                + Utf8ToWide(kept->string()) + L"», начат новый файл.";
        } else {
            ownFileProtected = true;
            openMessage = L"Файл результатов «" + FilePath() + L"» не удалось прочитать ("
                + ResultsFile::ErrorText(keepError) + L"); он не будет перезаписан.";
        }
    }
    if (!usable)
        d.UseTemplate();
    d.SelectWorksheet();
}

ResultsWorkbook::~ResultsWorkbook() = default;

std::wstring ResultsWorkbook::FilePath() const { return WidenText(document->filePath); }

// ---- Rows -----------------------------------------------------------------------------------

void ResultsWorkbook::AddRow(const std::wstring& label, const std::wstring& value, const std::wstring& type)
{
    Document& d = *document;
    try {
        X::DOMElement* row = d.NewElement(u"Row");
        d.FindOrAddTable()->appendChild(row);
        const std::u16string texts[2][2] = { { u"String", Stored(label) }, { Stored(type), Stored(value) } };
        for (const auto& [cellType, text] : texts) {
            X::DOMElement* cell = d.NewElement(u"Cell");
            row->appendChild(cell);
            X::DOMElement* data = d.NewElement(u"Data");
            cell->appendChild(data);
            data->setAttribute(u"ss:Type", cellType.c_str());
            data->appendChild(d.dom->createTextNode(text.c_str()));
        }
    } catch (const X::DOMException& e) {
        DebugOutput("results row not added: " + XmlMessage(e.getMessage()));
    } catch (const X::OutOfMemoryException&) {
        DebugOutput("results row not added: out of memory");
    }
}

void ResultsWorkbook::AddEmptyRow()
{
    Document& d = *document;
    try {
        d.FindOrAddTable()->appendChild(d.NewElement(u"Row"));
    } catch (const X::DOMException& e) {
        DebugOutput("results row not added: " + XmlMessage(e.getMessage()));
    } catch (const X::OutOfMemoryException&) {
        DebugOutput("results row not added: out of memory");
    }
}

// ---- Saving ---------------------------------------------------------------------------------

ResultsStatus ResultsWorkbook::Save(const std::wstring& path)
{
    Document& d = *document;
    const std::string target = path.empty() ? d.filePath : NarrowText(path);
    const std::wstring shown = WidenText(target);
    if (target == d.filePath && ownFileProtected)
        return ResultsStatus::Failure(L"Результаты не сохранены: файл «" + shown
            + L"» не удалось прочитать, и он не будет перезаписан.");
    if (target.empty())
        return ResultsStatus::Failure(L"Результаты не сохранены: не указано имя файла.");

    std::string bytes;
    try {
        X::MemBufFormatTarget memory;
        X::DOMLSOutput* output = d.implementation->createLSOutput();
        X::DOMLSSerializer* writer = d.implementation->createLSSerializer();
        output->setByteStream(&memory);
        output->setEncoding(u"UTF-8");
        const bool written = writer->write(d.dom, output);
        writer->release();
        output->release();
        if (!written)
            return ResultsStatus::Failure(L"Результаты не сохранены: ошибка записи XML.");
        bytes.assign(reinterpret_cast<const char*>(memory.getRawBuffer()), memory.getLen());
    } catch (const X::XMLException& e) {
        DebugOutput("results not serialised: " + XmlMessage(e.getMessage()));
        return ResultsStatus::Failure(L"Результаты не сохранены: ошибка записи XML.");
    } catch (const X::DOMException& e) {
        DebugOutput("results not serialised: " + XmlMessage(e.getMessage()));
        return ResultsStatus::Failure(L"Результаты не сохранены: ошибка записи XML.");
    } catch (const X::OutOfMemoryException&) {
        return ResultsStatus::Failure(L"Результаты не сохранены: не хватило памяти.");
    }

    if (const int error = ResultsFile::ReplaceWhole(FileSystemPath(target), bytes); error != 0) {
        DebugOutput("results not saved to " + FileSystemPath(target).string() + ": errno " + std::to_string(error));
        return ResultsStatus::Failure(
            L"Результаты не сохранены в «" + shown + L"»: " + ResultsFile::ErrorText(error) + L".");
    }
    return ResultsStatus {};
}

// ---- Printing -------------------------------------------------------------------------------

ResultsStatus ResultsWorkbook::Print(IMPrinterDC* printer, const PrintHeader& header)
{
    if (printer == nullptr)
        return ResultsStatus::Failure(L"Принтер не выбран.");
    Document& d = *document;
    X::DOMElement* table = FirstElement(d.worksheet, u"Table");
    if (table == nullptr)
        return ResultsStatus::Failure(L"Нечего печатать: в листе ученика нет таблицы.");

    const int32_t pageWidth = printer->PageWidth();
    const int32_t pageHeight = printer->PageHeight();
    const int32_t line = printer->LineHeight();
    const int32_t charWidth = printer->AverageCharWidth();
    const int32_t half = pageWidth / 2;
    auto failed = [printer](const wchar_t* what) {
        const std::wstring reason = printer->LastError();
        printer->AbortDoc();
        return ResultsStatus::Failure(std::wstring(what) + (reason.empty() ? L"." : L": " + reason + L"."));
    };

    if (!printer->StartDoc(L"Print1: Printing")) {
        const std::wstring reason = printer->LastError();
        return ResultsStatus::Failure(L"Печать не началась" + (reason.empty() ? L"." : L": " + reason + L"."));
    }
    if (!printer->StartPage())
        return failed(L"Печать прервана");

    int32_t y = line;
    for (const auto& [label, value] : header) {
        printer->TextOut(charWidth, y, label);
        const int32_t width = printer->TextWidth(label);
        printer->TextOut(charWidth + std::max(half, width + charWidth), y, value);
        y += line;
    }
    y += line;

    X::DOMNodeList* rows = table->getElementsByTagName(u"Row");
    for (XMLSize_t r = 0; X::DOMNode* node = rows->item(r); ++r) {
        auto* row = static_cast<X::DOMElement*>(node);
        int32_t x = charWidth;
        X::DOMNodeList* cells = row->getElementsByTagName(u"Data");
        for (XMLSize_t c = 0; X::DOMNode* cell = cells->item(c); ++c) {
            const std::wstring text = CodePageText(FromXml(cell->getTextContent()));
            printer->TextOut(x, y, text);
            x += std::max(half, printer->TextWidth(text) + charWidth);
        }
        y += line;
        // A new page only when another row is to come, so that no blank sheet ends the job.
        if (y + line >= pageHeight && rows->item(r + 1) != nullptr) {
            if (!printer->EndPage() || !printer->StartPage())
                return failed(L"Печать прервана");
            y = line;
        }
    }
    if (!printer->EndPage())
        return failed(L"Печать прервана");
    if (!printer->EndDoc()) {
        const std::wstring reason = printer->LastError();
        return ResultsStatus::Failure(L"Принтер не принял задание" + (reason.empty() ? L"." : L": " + reason + L"."));
    }
    return ResultsStatus {};
}
