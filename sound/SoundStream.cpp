#include "sound/SoundStream.h"

#include "platform/AudioDevice.h"
#include "platform/Debug.h"
#include "sound/SoundHost.h"
#include "sound/SoundSource.h"
#include "sound/SoundSystem.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

namespace {
constexpr auto kLookInterval = std::chrono::milliseconds(20);
}

CSoundStream::CSoundStream(CSoundSystem* system, SoundSource* source, uint32_t streamId)
    : system(system)
    , source(source)
    , streamId(streamId)
{
    if (!system || !source || !system->Device())
        return;
    // One second of sound, split into two halves of whole frames.
    const auto frameBytes = static_cast<uint32_t>(source->frameBytes);
    const auto bytesPerSecond = static_cast<uint32_t>(source->rate) * frameBytes;
    halfBytes = bytesPerSecond / 2 / frameBytes * frameBytes;
    bufferBytes = halfBytes * 2;
    if (halfBytes == 0)
        return;
    buffer = system->Device()->CreateBuffer(source->rate, source->channels, bufferBytes);
}

CSoundStream::~CSoundStream()
{
    {
        std::lock_guard guard(lock);
        if (state != 0) {
            command = kCommandEnd;
            wakeSignalled = true;
        }
    }
    wakeEvent.notify_all();
    JoinThread();
    std::vector<int> ids;
    {
        std::lock_guard guard(lock);
        ids = TakeLabelTimers();
        ids.insert(ids.end(), endedTimers.begin(), endedTimers.end());
        endedTimers.clear();
    }
    RemoveTimers(ids);
}

bool CSoundStream::Play(bool loopFlag)
{
    if (!buffer)
        return false;
    {
        std::lock_guard guard(lock);
        loop = loopFlag;
        if (state != 0)
            return false;
    }
    // The thread of the last playback has ended or is posting its end message.
    JoinThread();
    std::vector<uint32_t> times;
    {
        std::lock_guard guard(lock);
        bytesDecoded = 0;
        fillSecondHalf = true;
        DebugOutput(std::wstring_view(L" звук играет\n"));
        if (!Prefill())
            return false;
        state = 1;
        command = 0;
        wakeSignalled = false;
        threadFinished = false;
        times = pendingLabels;
    }
    // Labels become main-window timers counted from now.
    ISoundHost* host = system->Host();
    if (host) {
        std::vector<int> ids;
        for (const uint32_t t : times) {
            const int timer = host->AddTimer(t);
            if (timer == 0)
                continue;
            host->ConnectTimer(timer, [this, timer, t] { OnLabelTimer(timer, t); });
            ids.push_back(timer);
        }
        std::lock_guard guard(lock);
        labelTimers.insert(labelTimers.end(), ids.begin(), ids.end());
    }
    try {
        thread = std::thread(&CSoundStream::DecodeThread, this);
    } catch (const std::system_error&) {
        // No thread to be had: the playback does not start and leaves nothing behind.
        std::vector<int> ids;
        {
            std::lock_guard guard(lock);
            state = 0;
            ids = TakeLabelTimers();
        }
        RemoveTimers(ids);
        return false;
    }
    if (host)
        host->PostMessage(system->MsgSoundPlay(), streamId, 0);
    return true;
}

bool CSoundStream::Stop()
{
    std::vector<int> ids;
    {
        std::lock_guard guard(lock);
        if (state == 0)
            return false;
        DebugOutput(std::wstring_view(L" звук стой\n"));
        ids = TakeLabelTimers();
        ids.insert(ids.end(), endedTimers.begin(), endedTimers.end());
        endedTimers.clear();
        buffer->Stop();
        command = kCommandEnd;
        wakeSignalled = true;
    }
    RemoveTimers(ids);
    wakeEvent.notify_all();
    JoinThread();
    return true;
}

void CSoundStream::AddLabelTime(uint32_t timeMs)
{
    std::lock_guard guard(lock);
    if (state != 0)
        return;
    if (std::find(pendingLabels.begin(), pendingLabels.end(), timeMs) == pendingLabels.end())
        pendingLabels.push_back(timeMs);
}

void CSoundStream::OnLabelTimer(int timerId, uint32_t timeMs)
{
    bool current = false;
    {
        std::lock_guard guard(lock);
        const auto it = std::find(labelTimers.begin(), labelTimers.end(), timerId);
        if (it != labelTimers.end()) {
            current = true;
            labelTimers.erase(it);
            std::erase(pendingLabels, timeMs);
        } else {
            // The playback that scheduled it has ended; its removal is still on its way.
            std::erase(endedTimers, timerId);
        }
    }
    ISoundHost* host = system->Host();
    if (!host)
        return;
    if (current)
        host->PostMessage(system->MsgLabel(), streamId, static_cast<int32_t>(timeMs));
    host->RemoveTimer(timerId);
}

void CSoundStream::OnEndMessage()
{
    std::vector<int> ids;
    bool finished;
    {
        std::lock_guard guard(lock);
        ids.swap(endedTimers);
        finished = state == 0;
    }
    RemoveTimers(ids);
    if (finished)
        JoinThread();
}

bool CSoundStream::IsPlaying() const
{
    std::lock_guard guard(lock);
    return state != 0;
}

uint32_t CSoundStream::BytesDecoded() const
{
    std::lock_guard guard(lock);
    return bytesDecoded;
}

std::vector<uint32_t> CSoundStream::PendingLabels() const
{
    std::lock_guard guard(lock);
    return pendingLabels;
}

void CSoundStream::RunPass()
{
    std::unique_lock guard(lock);
    if (state == 0)
        return;
    const uint64_t target = passes + 1;
    wakeSignalled = true;
    wakeEvent.notify_all();
    // A pass that ends the playback counts once the end message is out.
    passTaken.wait(guard, [&] { return (passes >= target && state != 0) || threadFinished; });
}

void CSoundStream::DecodeThread()
{
    buffer->Play(true);
    std::unique_lock guard(lock);
    for (;;) {
        const bool woken = wakeEvent.wait_for(guard, kLookInterval, [&] { return wakeSignalled; });
        uint32_t play = 0;
        if (buffer->GetCurrentPosition(&play, nullptr)) {
            if (play < halfBytes && fillSecondHalf) {
                RefillHalf(halfBytes);
                fillSecondHalf = false;
            } else if (play > halfBytes && !fillSecondHalf) {
                RefillHalf(firstHalfOffset);
                fillSecondHalf = true;
            }
        }
        ++passes;
        if (woken || wakeSignalled) {
            wakeSignalled = false;
            if (command == kCommandEnd)
                break;
        }
        passTaken.notify_all();
    }
    command = 0;
    endCount = 0;
    state = 0;
    guard.unlock();
    DebugOutput(std::wstring_view(L" звук остановился\n"));
    if (ISoundHost* host = system->Host())
        host->PostMessage(system->MsgSoundPouse(), streamId, 0);
    guard.lock();
    threadFinished = true;
    passTaken.notify_all();
}

void CSoundStream::RefillHalf(uint32_t offset)
{
    if (endCount == 2) {
        // The data ended and a whole half of silence has been heard behind it: stop here. The
        // label timers belong to the UI thread, which removes them when the end message arrives.
        std::vector<int> ids = TakeLabelTimers();
        endedTimers.insert(endedTimers.end(), ids.begin(), ids.end());
        buffer->Stop();
        command = kCommandEnd;
        endCount = 0;
        wakeSignalled = true;
    }
    void* part = nullptr;
    uint32_t partBytes = 0;
    if (!buffer->Lock(offset, halfBytes, &part, &partBytes, nullptr, nullptr))
        return;
    if (FillFromSource(static_cast<uint8_t*>(part), partBytes))
        ++endCount;
    if (!buffer->Unlock(part, partBytes, nullptr, 0))
        endCount = 1;
}

bool CSoundStream::FillFromSource(uint8_t* part, uint32_t length)
{
    uint32_t got = source->Read(part, length);
    bytesDecoded += got;
    // A looped sound starts again right behind its end, as often as the half needs.
    while (got < length && loop) {
        if (!source->Rewind())
            break;
        const uint32_t more = source->Read(part + got, length - got);
        if (more == 0)
            break;
        bytesDecoded += more;
        got += more;
    }
    if (got < length) {
        std::memset(part + got, 0, length - got);
        return !loop;
    }
    return false;
}

bool CSoundStream::Prefill()
{
    buffer->SetCurrentPosition(0);
    void* part = nullptr;
    uint32_t partBytes = 0;
    if (!buffer->Lock(0, halfBytes, &part, &partBytes, nullptr, nullptr))
        return false;
    source->Rewind();
    // The second half still holds the end of the last playback: silence it before it can play.
    endCount = 0;
    FillFromSource(static_cast<uint8_t*>(part), partBytes);
    buffer->Unlock(part, partBytes, nullptr, 0);
    void* rest = nullptr;
    uint32_t restBytes = 0;
    if (buffer->Lock(halfBytes, halfBytes, &rest, &restBytes, nullptr, nullptr)) {
        std::memset(rest, 0, restBytes);
        buffer->Unlock(rest, restBytes, nullptr, 0);
    }
    return true;
}

std::vector<int> CSoundStream::TakeLabelTimers()
{
    std::vector<int> ids;
    ids.swap(labelTimers);
    return ids;
}

void CSoundStream::RemoveTimers(const std::vector<int>& ids)
{
    ISoundHost* host = system ? system->Host() : nullptr;
    if (!host)
        return;
    for (const int id : ids)
        host->RemoveTimer(id);
}

void CSoundStream::JoinThread()
{
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id())
        thread.join();
}
