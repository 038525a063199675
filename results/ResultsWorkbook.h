#pragma once
// The pupils' results as an XML Spreadsheet 2003 workbook (UTF-8, saved as ".xls"), held in
// memory as a DOM tree: one worksheet per pupil, each a table of two columns (label, value)
// and one row per record line.
//
// A workbook starts from its file when one exists, else from a built-in template. A file that
// exists but cannot be read, is not well-formed XML or is not a workbook is moved aside under
// a dated name before a fresh workbook takes its place; if it cannot be moved, the workbook
// refuses to save over it. Every text that enters the workbook passes through NarrowText.
// Nothing here throws to the caller except the constructor, and that only when the XML
// library cannot start or memory runs out.

#include "results/ResultsStatus.h"

#include <map>
#include <memory>
#include <string>

class IMPrinterDC;

// The lines above the rows of a printout, label to value, printed in label order.
using PrintHeader = std::map<std::wstring, std::wstring>;

class ResultsWorkbook {
public:
    // Opens the workbook at `path` and selects the worksheet `worksheetName`, adding it (with
    // its table and two columns) when the workbook has none of that name.
    ResultsWorkbook(const std::wstring& path, const std::wstring& worksheetName);
    ~ResultsWorkbook();
    ResultsWorkbook(const ResultsWorkbook&) = delete;
    ResultsWorkbook& operator=(const ResultsWorkbook&) = delete;

    // What the screen should be told about opening (an old file kept aside); empty if nothing.
    const std::wstring& OpenMessage() const { return openMessage; }

    // Appends a two-cell row: the label as a String cell, the value as a cell of `type`.
    void AddRow(const std::wstring& label, const std::wstring& value, const std::wstring& type);
    // Appends a row without cells.
    void AddEmptyRow();

    // Writes the whole workbook to `path`, or to its own file when `path` is empty. The file is
    // replaced whole or not at all. The workbook's own path never changes.
    ResultsStatus Save(const std::wstring& path);

    // The workbook's own file path, as narrowed at construction.
    std::wstring FilePath() const;

    // Prints the header and then every row of the current worksheet, one line per row, two
    // columns, starting a new page when the next line would not fit. A null printer, or a
    // worksheet without a table, prints nothing and starts no job.
    ResultsStatus Print(IMPrinterDC* printer, const PrintHeader& header);

private:
    struct Document;
    std::unique_ptr<Document> document;
    std::wstring openMessage {};
    // True when an unusable file at the own path could not be moved aside.
    bool ownFileProtected { false };
};
