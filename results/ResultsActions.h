#pragma once
// What the results screen's save-as and print buttons do. The screen connects them while the
// record has a workbook, for example:
//
//   ConnectTracked(saveAsButton->sigClick, screen,
//       [&](const IMMouseEvent&) { OnSaveAsClicked(record, rootWindow); return 0L; });
//   ConnectTracked(printButton->sigClick, screen, [&](const IMMouseEvent&) {
//       OnPrintClicked(record, rootWindow, ResultsRecord::MakePrintHeader(number, title, pupil));
//       return 0L; });
//
// Each opens its dialog above the screen, which stays usable. A dialog closes after its work
// is done; when the work fails it stays open and shows the reason under its buttons, so the
// user can correct the path or choose another printer. The record must outlive the dialogs
// (the main window, their parent, closes them when it goes). UI thread only.

#include "results/ResultsRecord.h"
#include "results/SaveAsDialog.h"
#include "results/SelectPrinterDialog.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where the printer dialog gets its printers from; the defaults ask the print system.
struct PrintServices {
    std::function<std::vector<std::wstring>()> destinations { &ResultsRecord::PrintDestinations };
    std::function<std::wstring()> defaultDestination { &ResultsRecord::DefaultDestination };
    // The printer of a name; null when it cannot be opened.
    std::function<std::unique_ptr<IMPrinterDC>(const std::wstring&)> openPrinter {
        &ResultsRecord::CreateSelectedPrinterDC };
};

// Opens the save-as dialog in `mainWindow` showing the results file's path, focused, with its
// save-as button saving the workbook to the typed path. Null (nothing opened) without a
// workbook or a window.
IMSaveAsDialog* OnSaveAsClicked(ResultsRecord& record, IMDialog* mainWindow);

// Opens the printer dialog in `mainWindow` listing the printers of `services`, the default
// selected, with its print button printing the record under `header` on the selected printer.
// Null (nothing opened) without a workbook or a window.
IMSelectPrinterDialog* OnPrintClicked(ResultsRecord& record, IMDialog* mainWindow, PrintHeader header,
    PrintServices services = {});

// The printer selected in `dialog`, opened with `openPrinter`; null when nothing is selected or
// the printer cannot be opened.
std::unique_ptr<IMPrinterDC> CreateSelectedPrinterDC(const IMSelectPrinterDialog& dialog,
    const std::function<std::unique_ptr<IMPrinterDC>(const std::wstring&)>& openPrinter);
