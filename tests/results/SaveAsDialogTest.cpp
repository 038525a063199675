// The save-as dialog driven as the teacher uses it: through window messages on a headless
// main window with the manual clock.

#include "results/ResultsActions.h"

#include "../widgets/WidgetFixture.h"
#include "ResultsTestSupport.h"

#include "graphics/PngWriter.h"
#include "platform/Display.h"
#include "platform/Text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace results_test;
using ::testing::HasSubstr;

// Window coordinates of the dialog's buttons (the dialog lies at 220, 225).
constexpr int kSaveX = 220 + 30 + 74, kSaveY = 225 + 79 + 23;
constexpr int kCloseX = 220 + 221 + 55, kCloseY = 225 + 79 + 23;

class SaveAsDialogTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        ASSERT_TRUE(record.OpenResultsWorkbook(L"Ваня").ok);
        record.RecordGameStatistics(12, 3);
        ownFile = fs::path(WideToUtf8(record.Workbook()->FilePath()));
    }

    // Opens the dialog and notes when it closes.
    IMSaveAsDialog* Open()
    {
        IMSaveAsDialog* dialog = OnSaveAsClicked(record, window);
        if (dialog)
            ConnectTracked(dialog->sigClosed, dialog, [this](const IMEvent&) { closed = true; return 0L; });
        Pass();
        return dialog;
    }
    // Replaces the field's text by typing: Backspace over the old text, then the new one.
    // Replaces the field's text by typing: Delete from the start over the old text, then the
    // new text.
    void Retype(IMSaveAsDialog* dialog, const std::wstring& text)
    {
        const size_t old = dialog->GetPath().size();
        for (size_t i = 0; i < old; ++i)
            window->InjectMessage(WM_KEYDOWN, VK_LEFT, 1);
        for (size_t i = 0; i < old; ++i)
            window->InjectMessage(WM_KEYDOWN, VK_DELETE, 1);
        Pass();
        Type(text);
    }

    // A deep data folder, so that the results path is wider than the field.
    TempFolder data;
    ScopedEnv xdg { "XDG_DATA_HOME", (data.path / "school" / "computer-class" / "shared-data").string() };
    ResultsRecord record;
    fs::path ownFile;
    bool closed { false };
};

TEST_F(SaveAsDialogTest, OpensCentredShowingTheResultsPathWithTheCaretAtItsEnd)
{
    IMSaveAsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetRect(), IMSaveAsDialog::kRect);

    const std::wstring path = dialog->GetPath();
    EXPECT_EQ(path, record.Workbook()->FilePath());
    EXPECT_EQ(WideToUtf8(path), (data.path / "school/computer-class/shared-data/TUVO/00734 Игра «Тирлан».xls").string());
    IMTextEdit* edit = dialog->PathField()->Edit();
    EXPECT_EQ(edit->GetCaret(), static_cast<int>(path.size()));
    // Scrolled: the text starts left of the field and the caret is inside it.
    EXPECT_LT(edit->GetRect().left, 0);
    const RECT caret = edit->Caret()->GetRect();
    EXPECT_GT(caret.left, 0);
    EXPECT_LE(caret.right, RectWidth(dialog->PathField()->GetRect()));

    // The dialog came up focused, so typing goes into the field.
    Type(L"x");
    EXPECT_EQ(dialog->GetPath(), path + L"x");
}

TEST_F(SaveAsDialogTest, ATypedPathGetsACopyAndTheRecordKeepsItsOwnFile)
{
    IMSaveAsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    const std::wstring ownPath = record.Workbook()->FilePath();
    const fs::path copy = data.path / "копия.xls";
    Retype(dialog, Utf8ToWide(copy.string()));
    EXPECT_EQ(dialog->GetPath(), Utf8ToWide(copy.string()));
    Click(kSaveX, kSaveY);

    EXPECT_TRUE(closed);
    ASSERT_TRUE(fs::exists(copy));
    const std::vector<Sheet> sheets = ReadWithSsconvert(copy);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "Ваня");
    EXPECT_THAT(sheets[0].rows, ::testing::Contains(CsvRow { "Количество перетаскиваний предметов", "12" }));

    EXPECT_EQ(record.Workbook()->FilePath(), ownPath);
    EXPECT_FALSE(fs::exists(ownFile)) << "only the copy is written now";
    ASSERT_TRUE(record.SaveResultsOnClose().ok);
    EXPECT_TRUE(fs::exists(ownFile));
}

TEST_F(SaveAsDialogTest, TheUntouchedPathWritesTheUsualFile)
{
    ASSERT_NE(Open(), nullptr);
    Click(kSaveX, kSaveY);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(fs::exists(ownFile));
}

TEST_F(SaveAsDialogTest, TheCloseButtonAndEnterWriteNothing)
{
    IMSaveAsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    const std::wstring path = dialog->GetPath();

    Key(VK_RETURN);
    Type(L"\r");
    EXPECT_EQ(dialog->GetPath(), path) << "Enter inserts nothing";
    EXPECT_FALSE(closed) << "Enter presses no button";
    EXPECT_FALSE(fs::exists(ownFile));

    Click(kCloseX, kCloseY);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(fs::exists(ownFile));
    EXPECT_EQ(record.Workbook()->FilePath(), path);
}

TEST_F(SaveAsDialogTest, APathIntoAMissingFolderIsReportedOnTheDialogWhichStaysOpen)
{
    IMSaveAsDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    const fs::path missing = data.path / "нет такой папки";
    Retype(dialog, Utf8ToWide((missing / "копия.xls").string()));
    Click(kSaveX, kSaveY);

    EXPECT_FALSE(closed);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_THAT(WideToUtf8(dialog->Message()), HasSubstr("не сохранены"));
    EXPECT_THAT(WideToUtf8(dialog->Message()), HasSubstr("копия.xls"));
    // The note lies below the buttons, inside the dialog, which grew to hold it.
    const IMTextLabel* note = nullptr;
    for (const auto& [layer, controls] : dialog->GetChildren())
        for (IMControl* c : controls)
            if (auto* label = dynamic_cast<IMTextLabel*>(c); label && label->GetText() == dialog->Message())
                note = label;
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->textColour, IMSaveAsDialog::kMessageColour);
    EXPECT_GE(note->GetRect().top, dialog->SaveAsButton()->GetRect().bottom);
    EXPECT_LE(note->GetRect().bottom, RectHeight(dialog->GetRect()));
    EXPECT_GT(RectHeight(note->GetRect()), 0);

    Pass();
    const std::vector<uint32_t> pixels = window->Display()->ReadPixels();
    ASSERT_EQ(pixels.size(), 800u * 600u);
    EXPECT_TRUE(WritePng((fs::read_symlink("/proc/self/exe").parent_path() / "save-as-dialog.png").string(), 800,
        600, pixels));

    // Correcting the path saves, and the dialog goes.
    const fs::path copy = data.path / "копия.xls";
    Retype(dialog, Utf8ToWide(copy.string()));
    Click(kSaveX, kSaveY);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(fs::exists(copy));
}

TEST_F(SaveAsDialogTest, WithoutAWorkbookNothingOpens)
{
    ResultsRecord empty;
    EXPECT_EQ(OnSaveAsClicked(empty, window), nullptr);
    EXPECT_EQ(OnSaveAsClicked(record, nullptr), nullptr);
    Pass();
    EXPECT_TRUE(window->GetChildren().empty());
}

} // namespace
