#include "sound/WindowSoundHost.h"

#include "framework/Window.h"
#include "platform/MessageQueue.h"

WindowSoundHost::~WindowSoundHost() { SetReceiver(nullptr); }

uint32_t WindowSoundHost::RegisterMessage(std::wstring_view name) { return RegisterWindowMessage(name); }

bool WindowSoundHost::PostMessage(uint32_t message, uint32_t wParam, int32_t lParam)
{
    return PostWindowMessage(message, wParam, lParam);
}

void WindowSoundHost::SetReceiver(Receiver receiver)
{
    if (receiverToken != 0) {
        RemoveRegisteredMessageHandler(receiverToken);
        receiverToken = 0;
    }
    if (!receiver)
        return;
    receiverToken = AddRegisteredMessageHandler(
        [receiver = std::move(receiver)](const IMWindowMessage& msg) { receiver(msg.message, msg.wParam, msg.lParam); });
}

int WindowSoundHost::AddTimer(uint32_t intervalMs) { return rootWindow ? rootWindow->AddTimer(intervalMs) : 0; }

void WindowSoundHost::ConnectTimer(int id, std::function<void()> handler)
{
    if (!rootWindow || !handler)
        return;
    rootWindow->ConnectTimer(id, IMTimerTable::Handler([handler = std::move(handler)](const IMEvent&) {
        handler();
        return 0L;
    }));
}

void WindowSoundHost::RemoveTimer(int id)
{
    if (rootWindow)
        rootWindow->RemoveTimer(id);
}
