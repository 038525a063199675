#pragma once
// What the sound system needs from the main window: registered message ids, posting to the UI
// thread, a receiver for what was posted, and millisecond timers. WindowSoundHost is the real
// one; tests use a fake that they pump themselves.

#include <cstdint>
#include <functional>
#include <string_view>

class ISoundHost {
public:
    using Receiver = std::function<void(uint32_t message, uint32_t wParam, int32_t lParam)>;

    virtual ~ISoundHost() = default;
    // The id of the registered message `name`; 0 on failure. UI thread.
    virtual uint32_t RegisterMessage(std::wstring_view name) = 0;
    // Queues a message for the UI thread and returns at once. Any thread.
    virtual bool PostMessage(uint32_t message, uint32_t wParam, int32_t lParam) = 0;
    // Installs the function that receives the registered messages on the UI thread (an empty
    // function removes it). UI thread.
    virtual void SetReceiver(Receiver receiver) = 0;
    // A repeating main-window timer of `intervalMs`; its id (from 1 up). UI thread.
    virtual int AddTimer(uint32_t intervalMs) = 0;
    // Runs `handler` on the UI thread each time timer `id` is due; nothing for an unknown id.
    virtual void ConnectTimer(int id, std::function<void()> handler) = 0;
    // Removes timer `id` and its handlers; 0 and unknown ids are ignored. UI thread.
    virtual void RemoveTimer(int id) = 0;
};
