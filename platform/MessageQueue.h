#pragma once
// Registered window messages and the posted-message queue. Ids are handed out by name at run
// time; any thread may post, and every posted message is delivered later on the UI thread by
// the main window's loop (never inside the poster's call).

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// One window message: a code with the Win32 number and its two parameters.
struct IMWindowMessage {
    uint32_t message { 0 };
    uint32_t wParam { 0 };
    int32_t lParam { 0 };
    friend bool operator==(const IMWindowMessage&, const IMWindowMessage&) = default;
};

// The id of the registered message `name`: the same name always gives the same id, the first
// name gets IM_REGISTERED_MESSAGE_FIRST, the next one more. An empty name gives 0. Thread-safe.
uint32_t RegisterWindowMessage(std::wstring_view name);

// Queues a message for the UI thread and wakes a waiting loop. Thread-safe; returns at once.
// Returns false only for message 0 or when the queue holds too many undelivered messages.
bool PostWindowMessage(uint32_t message, uint32_t wParam, int32_t lParam);

// Removes and returns every queued message, oldest first. Called by the loop on the UI thread.
std::vector<IMWindowMessage> TakePostedMessages();

// True when messages are waiting. Thread-safe.
bool HasPostedMessages();

// Blocks until a message is queued or `timeoutMs` passed (UINT32_MAX: no limit). The wait of
// a loop that has no SDL event queue to sleep on. Returns HasPostedMessages().
bool WaitForPostedMessages(uint32_t timeoutMs);

// A receiver of registered messages (ids >= IM_REGISTERED_MESSAGE_FIRST), run on the UI thread.
using IMRegisteredMessageHandler = std::function<void(const IMWindowMessage&)>;

// Adds a receiver; the window procedure hands it every registered message before its own
// processing. Returns a token for RemoveRegisteredMessageHandler (never 0). UI thread only.
int AddRegisteredMessageHandler(IMRegisteredMessageHandler handler);

// Removes a receiver; unknown tokens and 0 are ignored. Safe from inside a handler.
void RemoveRegisteredMessageHandler(int token);

// Hands `msg` to every receiver, in the order they were added; messages below
// IM_REGISTERED_MESSAGE_FIRST are ignored. Returns true when some receiver was called.
bool DispatchRegisteredMessage(const IMWindowMessage& msg);

// The SDL event type that only wakes the loop (0 before SDL's event system is running).
uint32_t WakeEventType();
