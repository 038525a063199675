#pragma once
// The sound system's host on the real main window: registered messages and posting through the
// message queue, delivery through the window procedure's registered-message receivers, and the
// timers of `rootWindow` (ignored while there is no main window).

#include "sound/SoundHost.h"

class WindowSoundHost final : public ISoundHost {
public:
    WindowSoundHost() = default;
    ~WindowSoundHost() override;
    WindowSoundHost(const WindowSoundHost&) = delete;
    WindowSoundHost& operator=(const WindowSoundHost&) = delete;

    uint32_t RegisterMessage(std::wstring_view name) override;
    bool PostMessage(uint32_t message, uint32_t wParam, int32_t lParam) override;
    void SetReceiver(Receiver receiver) override;
    int AddTimer(uint32_t intervalMs) override;
    void ConnectTimer(int id, std::function<void()> handler) override;
    void RemoveTimer(int id) override;

private:
    int receiverToken { 0 };
};
