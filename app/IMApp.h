#pragma once
// IMApp<T>: the generic application of an educational exercise, a template over its own
// subclass T. It owns the main window and the results record, keeps the exercise registry,
// the pupil's name and the instruction count, runs the registered exercises one after another
// and answers the help keys (F1, F12, Ctrl+I). The one instance is reached through
// T::Instance.
//
// Sections: instance and shut-down; texts and registry; the run; keys; screens; data.
//
// The screens (start, exit, credits, instruction, praise, results) are virtual; the versions
// here build the framework's own screens (app/StartScreen.h and the others), an application
// may replace any of them. Everything runs on the UI thread.

#include "app/Credits.h"
#include "app/DefaultInstruction.h"
#include "app/ExitDialog.h"
#include "app/Praise.h"
#include "app/ResultsScreen.h"
#include "app/StartScreen.h"
#include "framework/Dialog.h"
#include "framework/Event.h"
#include "framework/Messages.h"
#include "framework/Signal.h"
#include "framework/Window.h"
#include "platform/Cursor.h"
#include "platform/Keyboard.h"
#include "graphics/ResourceManager.h"
#include "results/ResultsActions.h"
#include "results/ResultsRecord.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>

// NOTE: GCC's -Wmaybe-uninitialized misreads the empty group of an ungrouped Signals2
// connection once connect() is inlined (seen with the sanitizers' optimisation).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

template <class T>
class IMApp {
public:
    using Factory = std::function<void(IMDialog*)>;
    using WindowMaker = std::function<IMWindow*(const std::wstring& title, bool windowed)>;

    // Milliseconds the default help page stays open before it closes itself.
    static constexpr uint32_t kPlainInstructionMs = 5000;

    // ---- instance and shut-down ----

    // The application, created on the first call (window, key handlers, exercises, seed);
    // every call counts one use. The main window may be missing when it could not be opened.
    static T* Instance(const std::wstring& windowTitle, bool windowed)
    {
        if (instance == nullptr) {
            T* app = new T();
            instance = app;
            app->mainWindow = windowMaker ? windowMaker(windowTitle, windowed) : IMWindow::Create(windowTitle, windowed);
            if (app->mainWindow != nullptr) {
                IMKeyboardSignal& keys = app->mainWindow->sigKeyDown;
                keys.connect([app](const IMKeyboardEvent& e) { return app->OnHelpKey(e); });
                keys.connect([app](const IMKeyboardEvent& e) { return app->OnKeyDown(e); });
                keys.connect([app](const IMKeyboardEvent& e) { return app->OnCreditsKey(e); });
                app->mainWindow->sigClosed.connect([app](const IMEvent&) { return app->SaveResults(); });
            }
            app->windowTitle = windowTitle;
            app->workbook = std::make_unique<ResultsRecord>(windowTitle);
            app->Init();
            std::srand(static_cast<unsigned>(CalendarNow()));
        }
        ++useCount;
        return instance;
    }

    // The instance, or null; does not count a use.
    static T* Current() { return instance; }
    static int UseCount() { return useCount; }

    // Gives back one use; the last one saves the results if the window did not, then deletes
    // the main window, the results record and the application.
    static void ReleaseInstance()
    {
        if (instance == nullptr || --useCount > 0)
            return;
        T* app = instance;
        app->SaveResults();
        delete app->mainWindow;
        app->mainWindow = nullptr;
        app->workbook.reset();
        delete app;
    }

    // How Instance opens the main window; tests install a headless one. Empty: the real window.
    static inline WindowMaker windowMaker {};
    // Where the calendar time (seconds since 1970) comes from; tests install one that follows
    // their clock. Empty: the system's.
    static inline std::function<int64_t()> calendarClock {};
    static int64_t CalendarNow() { return calendarClock ? calendarClock() : static_cast<int64_t>(std::time(nullptr)); }

    virtual ~IMApp()
    {
        if (instance == this)
            instance = nullptr;
        useCount = 0;
        instructionCloser.disconnect();
    }

    // The exit dialog's Retry: closes it; when an exercise runs, closes that too (its end is
    // recorded) and shows the start screen again. 1 when no exercise was running.
    virtual int Restart()
    {
        CloseExitDialog();
        if (exerciseDialog == nullptr)
            return 1;
        IMDialog* running = exerciseDialog;
        running->Close();
        nextExerciseName = exercises.empty() ? std::wstring() : exercises.begin()->first;
        exerciseDialog = nullptr;
        ShowStartScreen();
        return 0;
    }

    // Registers the exercises; nothing here.
    virtual void Init() { }

    // ---- screens ----

    // The start screen; it replaces a results screen still open (Retry from the exit dialog
    // during an exercise builds one just before).
    virtual void ShowStartScreen()
    {
        ++startScreenShows;
        if (mainWindow == nullptr)
            return;
        CloseResultsScreen();
        StartScreenActions actions;
        actions.start = [this](const std::wstring& name) { StartPressed(name); };
        actions.exit = [this] { mainWindow->Close(); };
        actions.options = optionsAction;
        startScreen = BuildStartScreen(mainWindow, { resourceNumber, title, description }, std::move(actions));
        TrackScreen(startScreen, startScreen);
    }
    // The results screen; print and save-as only with a workbook.
    virtual void ShowResultsScreen()
    {
        ++resultsScreenShows;
        if (mainWindow == nullptr)
            return;
        CloseResultsScreen();
        ResultsScreenActions actions;
        if (Workbook() != nullptr) {
            actions.print = [this] {
                if (workbook)
                    OnPrintClicked(*workbook, mainWindow, ResultsRecord::MakePrintHeader(resourceNumber, title, pupilName));
            };
            actions.saveAs = [this] {
                if (workbook)
                    OnSaveAsClicked(*workbook, mainWindow);
            };
        }
        // The results screen closes itself after this. The run starts again from the first
        // exercise, as after Retry in the exit dialog.
        actions.retry = [this] {
            resultsScreen = nullptr;
            nextExerciseName = exercises.empty() ? std::wstring() : exercises.begin()->first;
            ShowStartScreen();
        };
        actions.close = [this] { mainWindow->Close(); };
        resultsScreen = BuildResultsScreen(mainWindow, { resourceNumber, title, pupilName }, std::move(actions));
        TrackScreen(resultsScreen, resultsScreen);
    }
    // The praise with a close mark that closes `target`; this program never calls it.
    virtual void ShowPraise(IMDialog* target)
    {
        if (mainWindow != nullptr)
            BuildPraiseWithCloseMark(mainWindow, target, ChoosePraiseIndex());
    }
    // The praise with its cloud at (x, y); its end closes the exercise that was running when
    // it began (unless Retry closed that one already).
    virtual void ShowPraiseAt(int x, int y)
    {
        if (mainWindow == nullptr)
            return;
        IMDialog* praised = exerciseDialog;
        BuildPraiseAt(mainWindow, x, y, ChoosePraiseIndex(), [this, praised] {
            if (praised != nullptr && exerciseDialog == praised)
                exerciseDialog->Close();
        });
    }
    // The default help page, closing itself after five seconds.
    virtual void ShowInstruction(IMDialog* dialog)
    {
        BuildDefaultInstructionPage(dialog);
        CloseLater(dialog, kPlainInstructionMs);
    }
    // F12 opens the exit dialog; other keys are ignored.
    virtual int OnKeyDown(const IMKeyboardEvent& event)
    {
        if (event.Is(WM_KEYDOWN) && event.wParam == VK_F12)
            OpenExitDialog();
        return 0;
    }
    // The exit dialog over everything: Retry, Close, Cancel. The cursor it shows stays shown.
    virtual void OpenExitDialog()
    {
        if (exitDialog != nullptr || mainWindow == nullptr)
            return;
        ShowCursor(true);
        ExitDialogActions actions;
        actions.retry = [this] { Restart(); };
        actions.close = [this] { mainWindow->Close(); };
        actions.cancel = [this] { CloseExitDialog(); };
        int width = IMResourceManager::kBackBufferWidth;
        int height = IMResourceManager::kBackBufferHeight;
        if (resourceManager != nullptr && resourceManager->BackBufferWidth() > 0) {
            width = resourceManager->BackBufferWidth();
            height = resourceManager->BackBufferHeight();
        }
        exitDialog = BuildExitDialog(mainWindow, width, height, std::move(actions));
    }
    // The credits, once at a time.
    virtual void ShowCredits()
    {
        if (mainWindow != nullptr && !creditsShowing)
            BuildCredits(mainWindow, &creditsShowing);
    }

    // Hides and closes the exit dialog.
    void CloseExitDialog()
    {
        if (exitDialog == nullptr)
            return;
        IMDialog* dialog = exitDialog;
        exitDialog = nullptr;
        dialog->Hide();
        dialog->Close();
    }

    // ---- texts and registry ----

    void SetInfo(const std::wstring& number, const std::wstring& newTitle, const std::wstring& text)
    {
        resourceNumber = number;
        title = newTitle;
        description = text;
    }
    // Registers an exercise under a new, non-empty name; the first one is run first.
    void AddExercise(const std::wstring& name, Factory factory)
    {
        if (name.empty() || exercises.count(name) != 0)
            return;
        exercises.emplace(name, std::move(factory));
        if (nextExerciseName.empty())
            nextExerciseName = name;
    }
    void SetPupilName(const std::wstring& name) { pupilName = name; }

    // ---- the run ----

    // The start screen's Start button (or Enter in its name field): opens the record for the
    // name (none for an empty name), keeps the name and starts the instruction.
    void StartPressed(const std::wstring& name)
    {
        if (workbook)
            workbook->OpenResultsWorkbook(name);
        SetPupilName(name);
        StartInstruction();
    }

    // The first instruction: Esc closes it; its end starts the first exercise.
    void StartInstruction()
    {
        if (mainWindow == nullptr)
            return;
        instructionShowing = true;
        IMDialog* dialog = new IMDialog(mainWindow, nullptr, 0);
        ConnectTracked(mainWindow->sigKeyDown, dialog, [this, dialog](const IMKeyboardEvent& e) {
            if (e.Is(WM_KEYDOWN) && e.wParam == VK_ESCAPE)
                CloseInstruction(dialog);
            return 0L;
        });
        ConnectTracked(dialog->sigClosed, dialog, [this](const IMEvent&) {
            instructionShowing = false;
            RunNextExercise();
            return 0L;
        });
        ShowInstruction(dialog);
    }

    // Runs whenever an instruction or exercise dialog closes: starts the next exercise, or
    // records the end of the work and shows the results screen.
    void RunNextExercise()
    {
        ShowCursor(true);
        if (!nextExerciseName.empty()) {
            exerciseStartTime = CalendarNow();
            if (workbook)
                workbook->RecordExerciseStart(exerciseStartTime);
            instructionRepeats = 0;
            auto it = exercises.find(nextExerciseName);
            if (it == exercises.end() || mainWindow == nullptr)
                return;
            IMDialog* dialog = new IMDialog(mainWindow, nullptr, 0);
            exerciseDialog = dialog;
            dialog->SetFocus(true);
            ConnectTracked(dialog->sigClosed, dialog, [this, dialog](const IMEvent&) {
                // A closed exercise is no longer the running one.
                if (exerciseDialog == dialog)
                    exerciseDialog = nullptr;
                RunNextExercise();
                return 0L;
            });
            auto next = std::next(it);
            nextExerciseName = next == exercises.end() ? std::wstring() : next->first;
            it->second(dialog);
        } else {
            const int64_t now = CalendarNow();
            if (workbook)
                workbook->RecordExerciseEnd(instructionRepeats, exerciseStartTime, now);
            ShowResultsScreen();
        }
    }

    // ---- keys ----

    // F1 opens the instruction again when none is open; the next key press closes it.
    int OnHelpKey(const IMKeyboardEvent& event)
    {
        if (instructionCloser.connected() && instructionCloserBlock.blocking())
            instructionCloserBlock.unblock();
        if (instructionShowing || !event.Is(WM_KEYDOWN) || event.wParam != VK_F1 || mainWindow == nullptr)
            return 0;
        ++instructionRepeats;
        IMDialog* dialog = new IMDialog(mainWindow, nullptr, 0);
        instructionCloser.disconnect();
        instructionCloser = ConnectTracked(mainWindow->sigKeyDown, dialog, [this, dialog](const IMKeyboardEvent&) {
            CloseInstruction(dialog);
            return 0L;
        });
        instructionCloserBlock = IMConnectionBlock(instructionCloser);
        ConnectTracked(dialog->sigClosed, dialog, [this](const IMEvent&) {
            instructionShowing = false;
            return 0L;
        });
        instructionShowing = true;
        ShowInstruction(dialog);
        return 0;
    }

    // Ctrl+I shows the credits when they are not showing.
    int OnCreditsKey(const IMKeyboardEvent& event)
    {
        if (!event.Is(WM_KEYDOWN))
            return 0;
        const uint32_t low = event.wParam & 0xFF;
        const bool key = low == 73 || low == 105 || low == 216 || low == 248;
        if (key && IsKeyDown(VK_CONTROL) && !creditsShowing)
            ShowCredits();
        return 0;
    }

    // ---- results ----

    // Appends one row to the record when a workbook is open.
    void AddResultRow(const std::wstring& label, const std::wstring& value, const std::wstring& type)
    {
        if (workbook)
            workbook->AddResultRow(label, value, type);
    }
    // The open workbook, or null (no name confirmed).
    ResultsWorkbook* Workbook() const { return workbook ? workbook->Workbook() : nullptr; }
    ResultsRecord* Record() const { return workbook.get(); }

    // ---- data ----

    Factory optionsAction {};
    IMDialog* exitDialog { nullptr };
    IMWindow* mainWindow { nullptr };
    std::wstring nextExerciseName {};
    std::map<std::wstring, Factory> exercises {};
    IMDialog* exerciseDialog { nullptr };
    IMConnection instructionCloser {};
    std::unique_ptr<ResultsRecord> workbook {};
    std::wstring windowTitle {};
    bool instructionShowing { false };
    int instructionRepeats { 0 };
    int64_t exerciseStartTime { 0 };
    std::wstring description {};
    std::wstring title {};
    std::wstring resourceNumber {};
    std::wstring pupilName {};

    // Whether the credits are open (the credits screen sets and clears it).
    static inline bool creditsShowing { false };
    // How often the start and results screens were built.
    int startScreenShows { 0 };
    int resultsScreenShows { 0 };
    // The start and results screens while they are open; null otherwise.
    IMDialog* startScreen { nullptr };
    IMDialog* resultsScreen { nullptr };

protected:
    IMApp() = default;

    // Closes an instruction dialog once; a second request before it is gone does nothing.
    void CloseInstruction(IMDialog* dialog)
    {
        if (dialog->parent != nullptr && dialog->parent->IsPendingDelete(dialog))
            return;
        instructionShowing = false;
        dialog->Close();
    }

    // Closes `dialog` after `ms` unless it went first.
    void CloseLater(IMDialog* dialog, uint32_t ms)
    {
        IMWindow* window = mainWindow;
        if (window == nullptr || dialog == nullptr)
            return;
        const int id = window->AddTimer(ms);
        window->ConnectTimerTracked(id, dialog, [this, window, id, dialog](const IMEvent&) {
            window->RemoveTimer(id);
            CloseInstruction(dialog);
            return 0L;
        });
    }

    // Saves the record once, when the main window closes or at the latest at shut-down.
    long SaveResults()
    {
        if (!resultsSaved && workbook) {
            resultsSaved = true;
            workbook->SaveResultsOnClose();
        }
        return 0;
    }

    // Clears `slot` when `screen` closes (if it still names it).
    void TrackScreen(IMDialog* screen, IMDialog*& slot)
    {
        if (screen == nullptr)
            return;
        IMDialog** where = &slot;
        ConnectTracked(screen->sigClosed, screen, [where, screen](const IMEvent&) {
            if (*where == screen)
                *where = nullptr;
            return 0L;
        });
    }
    void CloseResultsScreen()
    {
        if (resultsScreen == nullptr)
            return;
        IMDialog* screen = resultsScreen;
        resultsScreen = nullptr;
        if (screen->parent == nullptr || !screen->parent->IsPendingDelete(screen))
            screen->Close();
    }

private:
    IMConnectionBlock instructionCloserBlock {};
    bool resultsSaved { false };

    static inline T* instance { nullptr };
    static inline int useCount { 0 };
};

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
