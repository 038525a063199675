#include "platform/MessageQueue.h"

#include "framework/Messages.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace {

// Matches the Win32 limit on undelivered posted messages per queue.
constexpr size_t maxQueuedMessages = 10000;

std::mutex namesMutex;
std::map<std::wstring, uint32_t, std::less<>> names;

std::mutex queueMutex;
std::deque<IMWindowMessage> queue;
std::condition_variable queued;
std::atomic<bool> wakePending { false };

std::once_flag wakeTypeOnce;
std::atomic<uint32_t> wakeType { 0 };

struct HandlerEntry {
    int token { 0 };
    IMRegisteredMessageHandler handler;
};
std::vector<HandlerEntry> handlers;
int lastToken = 0;
int dispatchDepth = 0; // > 0 while receivers run; removals then only blank their entry

void EnsureWakeType()
{
    std::call_once(wakeTypeOnce, [] {
        Uint32 type = SDL_RegisterEvents(1);
        wakeType = type == static_cast<Uint32>(-1) ? 0 : type;
    });
}

// Puts one wake event into SDL's queue unless one is already waiting there.
void WakeLoop()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return;
    EnsureWakeType();
    if (wakeType == 0 || wakePending.exchange(true))
        return;
    SDL_Event event {};
    event.type = wakeType;
    if (SDL_PushEvent(&event) != 1)
        wakePending = false;
}

} // namespace

uint32_t RegisterWindowMessage(std::wstring_view name)
{
    if (name.empty())
        return 0;
    std::lock_guard lock(namesMutex);
    auto it = names.find(name);
    if (it != names.end())
        return it->second;
    uint32_t id = IM_REGISTERED_MESSAGE_FIRST + static_cast<uint32_t>(names.size());
    names.emplace(std::wstring(name), id);
    return id;
}

bool PostWindowMessage(uint32_t message, uint32_t wParam, int32_t lParam)
{
    if (message == 0)
        return false;
    {
        std::lock_guard lock(queueMutex);
        if (queue.size() >= maxQueuedMessages)
            return false;
        queue.push_back(IMWindowMessage { message, wParam, lParam });
    }
    queued.notify_all();
    WakeLoop();
    return true;
}

std::vector<IMWindowMessage> TakePostedMessages()
{
    wakePending = false;
    std::lock_guard lock(queueMutex);
    std::vector<IMWindowMessage> out(queue.begin(), queue.end());
    queue.clear();
    return out;
}

bool HasPostedMessages()
{
    std::lock_guard lock(queueMutex);
    return !queue.empty();
}

bool WaitForPostedMessages(uint32_t timeoutMs)
{
    std::unique_lock lock(queueMutex);
    auto ready = [] { return !queue.empty(); };
    if (timeoutMs == UINT32_MAX)
        queued.wait(lock, ready);
    else
        queued.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    return !queue.empty();
}

int AddRegisteredMessageHandler(IMRegisteredMessageHandler handler)
{
    if (!handler)
        return 0;
    handlers.push_back(HandlerEntry { ++lastToken, std::move(handler) });
    return lastToken;
}

void RemoveRegisteredMessageHandler(int token)
{
    if (token == 0)
        return;
    auto it = std::find_if(handlers.begin(), handlers.end(),
        [token](const HandlerEntry& e) { return e.token == token; });
    if (it == handlers.end())
        return;
    if (dispatchDepth > 0)
        it->handler = nullptr; // erased when the dispatch ends
    else
        handlers.erase(it);
}

bool DispatchRegisteredMessage(const IMWindowMessage& msg)
{
    if (msg.message < IM_REGISTERED_MESSAGE_FIRST)
        return false;
    bool called = false;
    ++dispatchDepth;
    // Index loop: handlers may add or remove receivers while they run.
    for (size_t i = 0; i < handlers.size(); ++i) {
        if (!handlers[i].handler)
            continue;
        IMRegisteredMessageHandler h = handlers[i].handler;
        h(msg);
        called = true;
    }
    --dispatchDepth;
    if (dispatchDepth == 0)
        std::erase_if(handlers, [](const HandlerEntry& e) { return !e.handler; });
    return called;
}

uint32_t WakeEventType()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return 0;
    EnsureWakeType();
    return wakeType;
}
