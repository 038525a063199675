#pragma once
// The application's results record: which file it lives in, which rows a run writes and in
// which words, and when it reaches the disk. The application object holds one ResultsRecord
// and calls it at these moments:
//
//   OpenResultsWorkbook(name)   the pupil confirms a name on the start screen (start button or
//                               Enter). An empty name changes nothing. A workbook already
//                               open is saved first, then the file is opened again for the
//                               new name (the same name continues its worksheet).
//   RecordExerciseStart(start)  the exercise begins; `start` is the calendar time just read
//                               into exerciseStartTime (row 1). Reset instructionRepeats after.
//   RecordGameStatistics(d, c)  the next button after the third puzzle (rows 2 and 3).
//   RecordExerciseEnd(r, s, n)  the exercise screen has closed and no exercise follows:
//                               instruction repeats, start and now (rows 4, 5 and the empty 6).
//   SaveResultsOnClose()        the main window's sigClosed (connect it once, not per name).
//   SaveResultsAs(path)         the save-as dialog's button, with the typed path.
//   PrintDestinations(), DefaultDestination(), CreateSelectedPrinterDC(name) and
//   PrintResults(printer, MakePrintHeader(...))  the printer dialog's list and print button.
//   Workbook()                  null until a name is confirmed: the results screen then
//                               disables print and save-as.
//
// Every operation that can fail returns a ResultsStatus whose message the screen may show;
// nothing throws. Call on the user-interface thread only.

#include "platform/Printer.h"
#include "results/ResultsStatus.h"
#include "results/ResultsWorkbook.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>


// The start time as "05-March-2008 14:07" (local time, English month names).
std::wstring StartTimeText(int64_t calendarTime);
// A plain decimal integer: no grouping, no leading zeros, "-" for a negative value.
std::wstring NumberText(int64_t value);

class ResultsRecord {
public:
    // `windowTitle` names the results file: <data folder>/TUVO/<windowTitle>.xls.
    explicit ResultsRecord(std::wstring windowTitle = L"00734 Игра «Тирлан»");
    ~ResultsRecord();
    ResultsRecord(const ResultsRecord&) = delete;
    ResultsRecord& operator=(const ResultsRecord&) = delete;

    ResultsStatus OpenResultsWorkbook(const std::wstring& pupilName);
    // Adds a row to the current workbook; without one, nothing happens.
    void AddResultRow(std::wstring label, std::wstring value, std::wstring type);

    void RecordExerciseStart(int64_t startTime);
    void RecordGameStatistics(int32_t dragCount, int32_t extraClickCount);
    void RecordExerciseEnd(int32_t instructionRepeats, int64_t startTime, int64_t now);

    ResultsStatus SaveResultsOnClose();
    ResultsStatus SaveResultsAs(const std::wstring& path);

    // Prints the current worksheet on `printer`, which is released afterwards.
    ResultsStatus PrintResults(std::unique_ptr<IMPrinterDC> printer, const PrintHeader& header);
    static PrintHeader MakePrintHeader(
        const std::wstring& resourceNumber, const std::wstring& title, const std::wstring& pupilName);
    // The printer named `printerName`; null for an empty name or an unknown printer.
    static std::unique_ptr<IMPrinterDC> CreateSelectedPrinterDC(const std::wstring& printerName);
    static std::vector<std::wstring> PrintDestinations();
    static std::wstring DefaultDestination();

    // The full path of the results file as the next OpenResultsWorkbook will use it. Creates
    // the TUVO folder when missing; `problem` gets a message when TUVO is not a folder.
    std::wstring ResultsFilePath(std::wstring* problem = nullptr) const;

    ResultsWorkbook* Workbook() const { return workbook.get(); }

private:
    std::wstring windowTitle;
    std::unique_ptr<ResultsWorkbook> workbook {};
};
