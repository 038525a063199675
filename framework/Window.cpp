#include "framework/Window.h"

#include "framework/Messages.h"
#include "graphics/ImageDecoder.h"
#include "graphics/ResourceManager.h"
#include "platform/Cursor.h"
#include "platform/Debug.h"
#include "platform/Display.h"
#include "platform/Keyboard.h"
#include "platform/Resources.h"
#include "platform/Text.h"

#include <algorithm>
#include <exception>
#include <thread>

IMWindow* rootWindow = nullptr;
IMDisplay* windowHandle = nullptr;

namespace {

constexpr uint16_t windowIconResource = 500;
constexpr uint32_t WM_ENTERSIZEMOVE_CODE = 0x0231;
constexpr uint32_t WM_EXITSIZEMOVE_CODE = 0x0232;
// Messages posted in one pass by the handlers of that pass are taken in further rounds of
// the same pass, up to this many, so that a handler re-posting forever cannot stall frames.
constexpr int maxDispatchRounds = 16;

std::thread::id uiThread;

bool OnUiThread() { return std::this_thread::get_id() == uiThread; }

// The registered message that carries a timer removal from another thread.
uint32_t RemoveTimerMessage()
{
    static const uint32_t id = RegisterWindowMessage(L"IM_REMOVE_TIMER");
    return id;
}

} // namespace

IMWindow::IMWindow(std::unique_ptr<IMDisplay> d, bool windowed)
    : IMDialog(nullptr, nullptr, 0), display(std::move(d))
{
    if (!display->IsHeadless()) {
        IMDisplay* shown = display.get();
        translator.SetWindowId(shown->WindowId());
        translator.SetCanvasMapper([shown](int x, int y) { return shown->WindowToCanvas(x, y); });
        AttachCursorWindow(shown->WindowId(), shown->CanvasWidth(), shown->CanvasHeight());
    } else {
        DetachCursorWindow();
    }
    translator.SetResetHandler([shown = display.get()](bool deviceReset) { shown->NotifyReset(deviceReset); });
}

IMWindow* IMWindow::Open(std::unique_ptr<IMDisplay> display, bool windowed)
{
    if (!display)
        return nullptr;
    try {
        IMResourceManager::Startup(display.get(), windowed);
    } catch (const std::exception& e) {
        DebugOutput(std::string_view(e.what()));
        return nullptr;
    }
    uiThread = std::this_thread::get_id();
    RemoveTimerMessage();
    windowHandle = display.get();
    auto* window = new IMWindow(std::move(display), windowed);
    rootWindow = window;
    window->SetDirty(true);
    return window;
}

IMWindow* IMWindow::Create(const std::wstring& title, bool windowed)
{
    auto display = IMDisplay::OpenWindow(title, windowed);
    if (!display) {
        DebugOutput(L"The game window could not be opened.");
        return nullptr;
    }
    // A missing or damaged icon leaves the desktop's default one.
    if (auto icon = DecodeImage(FindNumberedResource(windowIconResource)))
        display->SetIcon(icon->bgra.data(), icon->width, icon->height, icon->width * 4);
    return Open(std::move(display), windowed);
}

IMWindow* IMWindow::CreateHeadless(int width, int height)
{
    auto display = IMDisplay::OpenHeadless(width, height);
    if (!display) {
        DebugOutput(L"The headless display could not be opened.");
        return nullptr;
    }
    return Open(std::move(display), true);
}

IMWindow::~IMWindow()
{
    ProcessPendingDeletes();
    // The screens go while the services they release textures and sounds to still exist.
    DeleteChildren();
    IMResourceManager::Shutdown();
    if (rootWindow == this)
        rootWindow = nullptr;
    if (windowHandle == display.get())
        windowHandle = nullptr;
    DetachCursorWindow();
    display.reset();
    timers.Clear();
}

int IMWindow::Run(IMWindow* window)
{
    if (window == nullptr)
        return 0;
    while (true) {
        uint32_t wait = window->RunPass();
        if (window->IsQuitting())
            break;
        WaitForInput(wait);
    }
    return 0;
}

int IMWindow::AddTimer(uint32_t interval)
{
    if (!OnUiThread()) {
        DebugOutput(L"AddTimer called off the UI thread; refused.");
        return 0;
    }
    return timers.AddTimer(interval);
}

IMConnection IMWindow::ConnectTimer(int id, const IMTimerTable::Handler& handler)
{
    if (!OnUiThread()) {
        DebugOutput(L"ConnectTimer called off the UI thread; refused.");
        return IMConnection {};
    }
    return timers.ConnectTimer(id, handler);
}

long IMWindow::RemoveTimer(int id)
{
    if (id == 0)
        return 0;
    if (!OnUiThread()) {
        PostWindowMessage(RemoveTimerMessage(), static_cast<uint32_t>(id), 0);
        return 0;
    }
    return timers.RemoveTimer(id);
}

void IMWindow::RequestPassWithin(uint32_t ms) { passWithin = std::min(passWithin, ms); }

bool IMWindow::DeviceLost() const { return resourceManager != nullptr && resourceManager->IsDeviceLost(); }

uint32_t IMWindow::FrameCount() const { return resourceManager ? resourceManager->frameCount : 0; }

void IMWindow::DispatchQueued()
{
    std::vector<IMWindowMessage> batch;
    for (int round = 0; round < maxDispatchRounds && !quitting; ++round) {
        batch.clear();
        TakeInputMessages(translator, batch);
        std::vector<IMWindowMessage> posted = TakePostedMessages();
        batch.insert(batch.end(), posted.begin(), posted.end());
        if (batch.empty())
            break;
        for (const IMWindowMessage& msg : batch)
            HandleMessage(msg);
    }
}

uint32_t IMWindow::RunPass()
{
    DispatchQueued();
    if (quitting)
        return 0;
    if (!DeviceLost()) {
        Update(IMEvent(this, WM_CLOSE));
        Render();
    }
    timers.FireDue(IMEvent(this, IM_STATE_CHANGE));
    if (quitting)
        return 0;
    uint32_t wait = timers.MillisecondsUntilDue();
    wait = std::min(wait, passWithin);
    passWithin = UINT32_MAX;
    // A timer handler changed the tree (a screen opened, a picture blinked): the next pass
    // draws it at once instead of waiting for input.
    if (!inactive && IsDirty())
        wait = 0;
    // Something due now (an interval-0 timer) still leaves a millisecond for input.
    if (wait == 0)
        wait = 1;
    return wait;
}

void IMWindow::HandleMessage(const IMWindowMessage& msg)
{
    if (msg.message >= IM_REGISTERED_MESSAGE_FIRST) {
        if (msg.message == RemoveTimerMessage()) {
            timers.RemoveTimer(static_cast<int>(msg.wParam));
            return;
        }
        DispatchRegisteredMessage(msg);
    }
    int x = MouseLParamX(msg.lParam);
    int y = MouseLParamY(msg.lParam);
    switch (msg.message) {
    case WM_DESTROY:
        Release();
        break;
    case IM_WM_SIZE:
        inactive = msg.wParam == IM_SIZE_MINIMIZED;
        break;
    case WM_PAINT:
        if (resourceManager != nullptr && (!resourceManager->IsDeviceLost() || resourceManager->RecoverDevice()))
            SetDirty(true);
        break;
    case WM_CLOSE:
        // Closing twice (the window manager and Alt+F4 both ask) releases the screens once.
        if (!closing) {
            closing = true;
            Destroy(IMEvent(this, WM_CLOSE));
        }
        break;
    case IM_WM_SHOWWINDOW:
        inactive = msg.wParam == 0;
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        RecordKeyMessage(msg.message, msg.wParam, msg.lParam);
        OnKey(IMKeyboardEvent(this, msg.message, msg.wParam, msg.lParam));
        break;
    case WM_MOUSEMOVE:
        if (display->IsHeadless()) {
            NoteCursorPosition(POINT { x, y });
            NoteCursorInWindow(PtInRect(GetRect(), x, y));
        }
        if (!DeviceLost())
            OnMouseMove(IMMouseEvent(this, WM_MOUSEMOVE, msg.wParam, x, y));
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
        if (display->IsHeadless() && msg.message != WM_MOUSEWHEEL) {
            NoteCursorPosition(POINT { x, y });
            NoteCursorInWindow(PtInRect(GetRect(), x, y));
        }
        OnMouseButton(IMMouseEvent(this, msg.message, msg.wParam, x, y));
        break;
    case WM_ENTERSIZEMOVE_CODE:
        inactive = true;
        break;
    case WM_EXITSIZEMOVE_CODE:
        inactive = false;
        break;
    default:
        break;
    }
}

long IMWindow::Render()
{
    if (inactive || resourceManager == nullptr)
        return 0;
    if (IsDirty()) {
        resourceManager->Clear();
        resourceManager->BeginScene();
        Paint(IMEvent(this, WM_PAINT));
        ++resourceManager->frameCount;
        resourceManager->EndScene();
        resourceManager->Present();
        SetDirty(false);
        ++framesDrawn;
    } else {
        ++resourceManager->frameCount;
    }
    return 0;
}

long IMWindow::Release()
{
    quitting = true;
    return 0;
}

long IMWindow::OnFrame()
{
    POINT p = GetCursorPosition();
    bool inside = IsCursorInWindow() && PtInRect(GetRect(), p.x, p.y);
    if (inside && !IsMouseOver())
        OnMouseEnter(IMMouseEvent(this, IM_MOUSE_ENTER, 0, p.x, p.y));
    else if (!inside && IsMouseOver())
        OnMouseLeave(IMMouseEvent(this, WM_MOUSELEAVE, 0, p.x, p.y));
    return 0;
}
