// The printer dialog driven through window messages on a headless main window with the manual
// clock, with the printer names and the printer itself supplied by the test.

#include "results/ResultsActions.h"

#include "../widgets/WidgetFixture.h"
#include "ResultsTestSupport.h"

#include "graphics/PngWriter.h"
#include "platform/Display.h"
#include "platform/Printer.h"
#include "platform/Text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace results_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Window coordinates of the dialog's buttons (the dialog lies at 220, 125).
constexpr int kPrintX = 220 + 30 + 42, kPrintY = 125 + 179 + 23;
constexpr int kCloseX = 220 + 221 + 55, kCloseY = 125 + 179 + 23;

// A page device that refuses to start a job.
class RefusingPrinter final : public IMPrinterDC {
public:
    int32_t PageWidth() const override { return 2000; }
    int32_t PageHeight() const override { return 3000; }
    int32_t LineHeight() const override { return 50; }
    int32_t AverageCharWidth() const override { return 20; }
    int32_t TextWidth(std::wstring_view text) override { return 20 * static_cast<int32_t>(text.size()); }
    void TextOut(int32_t, int32_t, std::wstring_view) override { ++drawn; }
    bool StartDoc(std::wstring_view) override { return false; }
    bool StartPage() override { return true; }
    bool EndPage() override { return true; }
    bool EndDoc() override { return true; }
    void AbortDoc() override { }
    std::wstring LastError() const override { return L"в принтере нет бумаги"; }
    static inline int drawn = 0;
};

class PrinterDialogTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        ASSERT_TRUE(record.OpenResultsWorkbook(L"Ваня").ok);
        record.RecordGameStatistics(12, 3);
        services.destinations = [this] { return printers; };
        services.defaultDestination = [this] { return defaultPrinter; };
        services.openPrinter = [this](const std::wstring& name) -> std::unique_ptr<IMPrinterDC> {
            opened.push_back(name);
            if (refuse)
                return std::make_unique<RefusingPrinter>();
            if (name == L"Сломанный")
                return nullptr;
            return Printer::ForFile(pdf);
        };
    }

    IMSelectPrinterDialog* Open()
    {
        IMSelectPrinterDialog* dialog = OnPrintClicked(record, window,
            ResultsRecord::MakePrintHeader(L"00734", L"Игра «Тирлан»", L"Ваня"), services);
        if (dialog)
            ConnectTracked(dialog->sigClosed, dialog, [this](const IMEvent&) { closed = true; return 0L; });
        Pass();
        Pass();
        return dialog;
    }
    // Clicks a list item where its text begins.
    void ClickItem(IMTextLabel* item)
    {
        RECT r = item->GetRect();
        int x = r.left + 3, y = r.top + RectHeight(r) / 2;
        for (IMDialog* p = item->parent; p && p != window; p = p->parent) {
            x += p->GetRect().left;
            y += p->GetRect().top;
        }
        Click(x, y);
    }
    std::string PrintedText() { return RunCommand("pdftotext -layout " + Quoted(pdf) + " -"); }

    TempFolder data;
    ScopedEnv xdg { "XDG_DATA_HOME", data.path.string() };
    fs::path pdf = data.path / "printout.pdf";
    ResultsRecord record;
    std::vector<std::wstring> printers { L"Кабинет 12", L"PDF", L"Сломанный" };
    std::wstring defaultPrinter { L"PDF" };
    bool refuse { false };
    std::vector<std::wstring> opened;
    PrintServices services;
    bool closed { false };
};

std::vector<std::wstring> ItemTexts(const IMSelectPrinterDialog& dialog)
{
    std::vector<std::wstring> texts;
    for (IMTextLabel* item : dialog.PrinterList()->Items())
        texts.push_back(item->GetText());
    return texts;
}

TEST_F(PrinterDialogTest, ListsTheGivenPrintersInOrderWithTheDefaultSelected)
{
    struct Case {
        std::vector<std::wstring> printers;
        std::wstring defaultPrinter;
        int selected; // index of the selected item, -1 for none
    };
    const Case cases[] = {
        { { L"Кабинет 12", L"PDF", L"Laser" }, L"PDF", 1 },
        { { L"PDF", L"Laser", L"PDF" }, L"PDF", 2 },     // the last equal name wins
        { { L"Кабинет 12", L"PDF" }, L"", -1 },          // no default printer
        { { L"Кабинет 12", L"PDF" }, L"pdf", -1 },       // names compare exactly
        { { L"Кабинет 12", L"PDF" }, L"Кабинет", -1 },
    };
    for (const Case& c : cases) {
        auto* dialog = new IMSelectPrinterDialog(window, c.printers, c.defaultPrinter);
        Pass();
        EXPECT_EQ(dialog->GetRect(), IMSelectPrinterDialog::kRect);
        EXPECT_EQ(ItemTexts(*dialog), c.printers);
        IMTextLabel* expected = c.selected < 0 ? nullptr : dialog->PrinterList()->Items()[static_cast<size_t>(c.selected)];
        EXPECT_EQ(dialog->PrinterList()->Selected(), expected) << WideToUtf8(c.defaultPrinter);
        dialog->Close();
        Pass();
    }
}

TEST_F(PrinterDialogTest, ThePrintButtonPrintsTheRecordOnTheSelectedPrinter)
{
    IMSelectPrinterDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->SelectedPrinter(), L"PDF");
    EXPECT_TRUE(dialog->Message().empty());

    Pass();
    const std::vector<uint32_t> pixels = window->Display()->ReadPixels();
    ASSERT_EQ(pixels.size(), 800u * 600u);
    EXPECT_TRUE(WritePng((fs::read_symlink("/proc/self/exe").parent_path() / "printer-dialog.png").string(), 800,
        600, pixels));

    // Another name moves the selection, and back again.
    ClickItem(dialog->PrinterList()->Items()[0]);
    EXPECT_EQ(dialog->SelectedPrinter(), L"Кабинет 12");
    ClickItem(dialog->PrinterList()->Items()[1]);
    ASSERT_EQ(dialog->SelectedPrinter(), L"PDF");

    Click(kPrintX, kPrintY);
    EXPECT_THAT(opened, ElementsAre(L"PDF"));
    EXPECT_TRUE(closed);
    ASSERT_TRUE(fs::exists(pdf));
    const std::string text = PrintedText();
    EXPECT_THAT(text, HasSubstr("Игра «Тирлан»"));
    EXPECT_THAT(text, HasSubstr("00734"));
    EXPECT_THAT(text, HasSubstr("Ваня"));
    EXPECT_THAT(text, HasSubstr("Количество перетаскиваний предметов"));
    EXPECT_LT(text.find("Название"), text.find("Номер ЦОР"));
    EXPECT_LT(text.find("Номер ЦОР"), text.find("Ученик"));
}

TEST_F(PrinterDialogTest, WithoutPrintersTheListIsEmptyAndPrintingDoesNothing)
{
    printers.clear();
    IMSelectPrinterDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->PrinterList()->Items().empty());
    EXPECT_EQ(dialog->PrinterList()->Selected(), nullptr);
    EXPECT_EQ(dialog->Message(), L"Принтеры не найдены.");

    Click(kPrintX, kPrintY);
    Click(kPrintX, kPrintY);
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(closed);
    EXPECT_FALSE(fs::exists(pdf));

    Click(kCloseX, kCloseY);
    EXPECT_TRUE(closed);
}

TEST_F(PrinterDialogTest, FailuresAreShownOnTheDialogWhichStaysOpen)
{
    struct Case {
        const char* what;
        std::wstring defaultPrinter;
        bool refuse;
        std::vector<std::wstring> opened;
        const char* message;
    };
    const Case cases[] = {
        { "nothing selected", L"", false, {}, "Выберите принтер" },
        { "printer cannot be opened", L"Сломанный", false, { L"Сломанный" }, "«Сломанный» недоступен" },
        { "job refused", L"PDF", true, { L"PDF" }, "нет бумаги" },
    };
    for (const Case& c : cases) {
        defaultPrinter = c.defaultPrinter;
        refuse = c.refuse;
        opened.clear();
        closed = false;
        IMSelectPrinterDialog* dialog = Open();
        ASSERT_NE(dialog, nullptr);
        Click(kPrintX, kPrintY);
        EXPECT_EQ(opened, c.opened) << c.what;
        EXPECT_FALSE(closed) << c.what;
        EXPECT_THAT(WideToUtf8(dialog->Message()), HasSubstr(c.message)) << c.what;
        EXPECT_GE(RectHeight(dialog->GetRect()), RectHeight(IMSelectPrinterDialog::kRect));
        EXPECT_FALSE(fs::exists(pdf)) << c.what;
        EXPECT_EQ(RefusingPrinter::drawn, 0) << c.what;

        // The pupil can still pick a working printer and print.
        refuse = false;
        ClickItem(dialog->PrinterList()->Items()[1]);
        Click(kPrintX, kPrintY);
        EXPECT_TRUE(closed) << c.what;
        EXPECT_TRUE(fs::exists(pdf)) << c.what;
        fs::remove(pdf);
        Pass();
    }
}

TEST_F(PrinterDialogTest, TheCloseButtonPrintsNothingAndNoWorkbookOpensNothing)
{
    ASSERT_NE(Open(), nullptr);
    Click(kCloseX, kCloseY);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(fs::exists(pdf));

    Pass();
    ResultsRecord empty;
    EXPECT_EQ(OnPrintClicked(empty, window, {}, services), nullptr);
    EXPECT_EQ(OnPrintClicked(record, nullptr, {}, services), nullptr);
    Pass();
    EXPECT_TRUE(window->GetChildren().empty());
}

} // namespace
