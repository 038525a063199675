#include "results/ResultsActions.h"

#include <utility>

namespace {

const wchar_t* const kNoPrinters = L"Принтеры не найдены.";
const wchar_t* const kChoosePrinter = L"Выберите принтер в списке.";

// Saves to the field's path; closes the dialog on success, else shows why and stays open.
long SaveFromDialog(ResultsRecord& record, IMSaveAsDialog& dialog)
{
    const ResultsStatus status = record.SaveResultsAs(dialog.GetPath());
    if (!status.ok) {
        dialog.ShowMessage(status.message.empty() ? L"Результаты не сохранены." : status.message);
        return 0;
    }
    return dialog.Close();
}

// Prints on the selected printer; closes the dialog on success, else shows why and stays open.
long PrintFromDialog(ResultsRecord& record, IMSelectPrinterDialog& dialog, const PrintHeader& header,
    const PrintServices& services)
{
    if (dialog.PrinterList()->Items().empty()) {
        dialog.ShowMessage(kNoPrinters);
        return 0;
    }
    const std::wstring name = dialog.SelectedPrinter();
    if (name.empty()) {
        dialog.ShowMessage(kChoosePrinter);
        return 0;
    }
    std::unique_ptr<IMPrinterDC> printer = CreateSelectedPrinterDC(dialog, services.openPrinter);
    if (!printer) {
        dialog.ShowMessage(L"Принтер «" + name + L"» недоступен.");
        return 0;
    }
    const ResultsStatus status = record.PrintResults(std::move(printer), header);
    if (!status.ok) {
        dialog.ShowMessage(status.message.empty() ? L"Результаты не напечатаны." : status.message);
        return 0;
    }
    return dialog.Close();
}

} // namespace

IMSaveAsDialog* OnSaveAsClicked(ResultsRecord& record, IMDialog* mainWindow)
{
    if (!record.Workbook() || !mainWindow)
        return nullptr;
    auto* dialog = new IMSaveAsDialog(mainWindow);
    dialog->SetPath(record.Workbook()->FilePath());
    dialog->SetFocus(true);
    ConnectTracked(dialog->SaveAsButton()->sigClick, dialog,
        [&record, dialog](const IMMouseEvent&) { return SaveFromDialog(record, *dialog); });
    return dialog;
}

IMSelectPrinterDialog* OnPrintClicked(ResultsRecord& record, IMDialog* mainWindow, PrintHeader header,
    PrintServices services)
{
    if (!record.Workbook() || !mainWindow)
        return nullptr;
    const std::vector<std::wstring> printers = services.destinations ? services.destinations()
                                                                     : std::vector<std::wstring> {};
    const std::wstring defaultPrinter = services.defaultDestination ? services.defaultDestination() : std::wstring {};
    auto* dialog = new IMSelectPrinterDialog(mainWindow, printers, defaultPrinter);
    if (printers.empty())
        dialog->ShowMessage(kNoPrinters);
    ConnectTracked(dialog->PrintButton()->sigClick, dialog,
        [&record, dialog, header = std::move(header), services = std::move(services)](const IMMouseEvent&) {
            return PrintFromDialog(record, *dialog, header, services);
        });
    return dialog;
}

std::unique_ptr<IMPrinterDC> CreateSelectedPrinterDC(const IMSelectPrinterDialog& dialog,
    const std::function<std::unique_ptr<IMPrinterDC>(const std::wstring&)>& openPrinter)
{
    const std::wstring name = dialog.SelectedPrinter();
    if (name.empty() || !openPrinter)
        return nullptr;
    return openPrinter(name);
}
