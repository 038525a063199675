#include "SoundTestSupport.h"

#include "framework/Messages.h"
#include "platform/Text.h"
#include "sound/SoundSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace {
const std::vector<uint8_t>& Tone()
{
    static const auto bytes = EncodeTone(8000, 1, 0.7);
    return bytes;
}

// Byte offsets of the Ogg pages in `ogg`.
std::vector<size_t> PageStarts(const std::vector<uint8_t>& ogg)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i + 4 <= ogg.size(); ++i)
        if (ogg[i] == 'O' && ogg[i + 1] == 'g' && ogg[i + 2] == 'g' && ogg[i + 3] == 'S')
            starts.push_back(i);
    return starts;
}
} // namespace

TEST(SoundSystem, IdsStartAtOneAndAFailedOpenUsesNone)
{
    SoundRig rig;
    const std::vector<uint8_t> junk(500, 0x5A);
    EXPECT_EQ(rig.system.CreateSoundFromMemory(L"junk", junk.data(), junk.size()), 0u);
    EXPECT_EQ(rig.system.CreateSoundFromMemory(L"a", Tone().data(), Tone().size()), 1u);
    EXPECT_EQ(rig.system.CreateSound(L"/nonexistent/sound.ogg"), 0u);
    EXPECT_EQ(rig.system.CreateSound(L"777"), 0u) << "no such resource";
    EXPECT_EQ(rig.system.CreateSoundFromMemory(L"b", Tone().data(), Tone().size()), 2u);
    EXPECT_EQ(rig.system.CreateSoundFromMemory(L"null", nullptr, 10), 0u);
}

TEST(SoundSystem, AskingAgainForANameReturnsItsStreamAndDropsItsEndHandlers)
{
    SoundRig rig;
    rig.system.SetResourceLookup([](uint16_t id) {
        return id == 141 ? std::span<const uint8_t>(Tone()) : std::span<const uint8_t>();
    });
    const uint32_t first = rig.system.CreateSound(L"141");
    ASSERT_EQ(first, 1u);
    long oldEnds = 0, newEnds = 0;
    rig.system.ConnectSoundEnd(first, [&](uint32_t) { return ++oldEnds, 0L; });
    ASSERT_TRUE(rig.Play(first, false));
    EXPECT_EQ(rig.system.CreateSound(L"141"), first) << "asked again while it plays";
    rig.system.ConnectSoundEnd(first, [&](uint32_t) { return ++newEnds, 0L; });
    rig.AdvanceUntilEnd(first, 3000);
    EXPECT_EQ(oldEnds, 0);
    EXPECT_EQ(newEnds, 1);
    EXPECT_EQ(rig.system.CreateSoundFromMemory(L"other", Tone().data(), Tone().size()), 2u);
}

TEST(SoundSystem, DecimalNamesAreResourcesAndOtherNamesAreFiles)
{
    SoundRig rig;
    std::vector<int> asked;
    rig.system.SetResourceLookup([&](uint16_t id) {
        asked.push_back(id);
        return std::span<const uint8_t>(Tone());
    });
    struct Case {
        const wchar_t* name;
        int resource; // -1: opened as a file
    };
    const Case cases[] = {
        { L"0141", 141 },        // leading zeros
        { L"65677", 141 },       // the low 16 bits
        { L"4294967295", 65535 },
        { L"4294967296", -1 },   // does not fit in 32 bits
        { L"14a", -1 },
        { L" 141", -1 },
        { L"", -1 },
    };
    for (const Case& c : cases) {
        asked.clear();
        const uint32_t id = rig.system.CreateSound(c.name);
        if (c.resource < 0) {
            EXPECT_EQ(id, 0u) << "no such file";
            EXPECT_TRUE(asked.empty());
        } else {
            EXPECT_NE(id, 0u);
            EXPECT_EQ(asked, std::vector<int> { c.resource });
        }
    }
}

TEST(SoundSystem, PlaysAFileWhole)
{
    const auto path = std::filesystem::temp_directory_path() / "tirlan-sound-test-тон.ogg";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(Tone().data()), static_cast<std::streamsize>(Tone().size()));
    }
    SoundRig rig(8000, 2);
    const uint32_t id = rig.system.CreateSound(Utf8ToWide(path.string()));
    std::filesystem::remove(path);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(rig.Play(id, false));
    rig.AdvanceUntilEnd(id, 3000);
    EXPECT_EQ(rig.system.FindStream(id)->BytesDecoded(), 5600u * 2) << "files are not trimmed";
}

TEST(SoundSystem, UnknownIdsAnswerFalseAndConnectNothing)
{
    SoundRig rig;
    for (const uint32_t id : { 0u, 1u, 99u }) {
        EXPECT_FALSE(rig.system.PlaySound(id, false));
        EXPECT_FALSE(rig.system.StopSound(id));
        EXPECT_FALSE(rig.system.ConnectSoundEnd(id, [](uint32_t) { return 0L; }).connected());
        rig.system.AddSoundLabel(id, 10, [](uint32_t, uint32_t) { return 0L; });
        rig.system.OnLabelMessage(id, 10);
    }
    const uint32_t id = rig.system.CreateSoundFromMemory(L"a", Tone().data(), Tone().size());
    EXPECT_TRUE(rig.system.StopSound(id)) << "the stream exists, though it was not playing";
    EXPECT_TRUE(rig.host.Posted().empty());
}

TEST(SoundSystem, MessagesAreRegisteredByNameAndAFailureSkipsTheRest)
{
    {
        SoundRig rig;
        const uint32_t ids[] = { rig.system.MsgSoundPlay(), rig.system.MsgLabel(), rig.system.MsgSoundStop(),
                                 rig.system.MsgSoundPouse() };
        EXPECT_EQ(ids[0], rig.host.RegisterMessage(L"WM_IM_ONSOUNDPLAY"));
        EXPECT_EQ(ids[1], rig.host.RegisterMessage(L"WM_IM_ONLABEL"));
        EXPECT_EQ(ids[2], rig.host.RegisterMessage(L"WM_IM_ONSOUNDSTOP"));
        EXPECT_EQ(ids[3], rig.host.RegisterMessage(L"WM_IM_ONSOUNDPOUSE"));
    }
    FakeSoundHost host;
    host.failingName = L"WM_IM_ONLABEL";
    CSoundSystem system;
    system.InitializeSound(&host, std::make_unique<NullAudioDevice>());
    EXPECT_NE(system.MsgSoundPlay(), 0u);
    EXPECT_EQ(system.MsgLabel(), 0u);
    EXPECT_EQ(system.MsgSoundStop(), 0u);
    EXPECT_EQ(system.MsgSoundPouse(), 0u);
    EXPECT_FALSE(system.OnWindowMessage(0, 1, 0)) << "message 0 is nobody's";
}

TEST(SoundSystem, TheWindowProcedureTurnsMessagesIntoSignals)
{
    SoundRig rig;
    const uint32_t id = rig.system.CreateSoundFromMemory(L"a", Tone().data(), Tone().size());
    CSoundStream* stream = rig.system.FindStream(id);
    std::vector<std::string> heard;
    stream->playSignal.connect([&](uint32_t s) { return heard.push_back("play " + std::to_string(s)), 0L; });
    stream->stopSignal.connect([&](uint32_t s) { return heard.push_back("stop " + std::to_string(s)), 0L; });
    rig.system.ConnectSoundEnd(id, [&](uint32_t s) { return heard.push_back("end " + std::to_string(s)), 0L; });
    rig.system.AddSoundLabel(id, 250, [&](uint32_t s, uint32_t t) {
        return heard.push_back("label " + std::to_string(s) + " " + std::to_string(t)), 0L;
    });
    EXPECT_TRUE(rig.system.OnWindowMessage(rig.system.MsgSoundStop(), id, 0));
    ASSERT_TRUE(rig.Play(id, false));
    rig.AdvanceUntilEnd(id, 3000);
    EXPECT_FALSE(rig.system.OnWindowMessage(WM_USER, id, 0));
    const std::vector<std::string> expected { "stop 1", "play 1", "label 1 250", "end 1" };
    EXPECT_EQ(heard, expected);
}

TEST(SoundSystem, DamagedSoundsAnswerZeroOrPlayToTheirEnd)
{
    const auto& good = Tone();
    const auto pages = PageStarts(good);
    ASSERT_GE(pages.size(), 4u);
    std::vector<uint8_t> flipped = good;
    std::mt19937 random(7);
    for (size_t i = pages[3]; i < flipped.size(); i += 37)
        flipped[i] ^= static_cast<uint8_t>(random());
    std::vector<uint8_t> random_bytes(4000);
    for (auto& b : random_bytes)
        b = static_cast<uint8_t>(random());
    const size_t audio = pages[2];
    const auto prefix = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n)); };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool opens;
    };
    const Case cases[] = {
        { "empty", {}, false },
        { "random", random_bytes, false },
        { "cut inside the first header", prefix(20), false },
        { "headers only", prefix(audio), true },
        { "cut in the middle of the audio", prefix(audio + (good.size() - audio) / 2), true },
        { "bytes flipped in the audio", flipped, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundRig rig(8000, 2);
        const uint32_t id = rig.system.CreateSoundFromMemory(L"damaged", c.bytes.data(), c.bytes.size());
        EXPECT_EQ(id != 0, c.opens);
        if (id == 0)
            continue;
        ASSERT_TRUE(rig.Play(id, false));
        rig.AdvanceUntilEnd(id, 4000);
        EXPECT_EQ(rig.EndsOf(id), 1u);
    }
    SoundRig rig;
    const auto three = EncodeTone(8000, 3, 0.2);
    EXPECT_EQ(rig.system.CreateSoundFromMemory(L"three", three.data(), three.size()), 0u)
        << "only mono and stereo are laid out as the buffers expect";
}

TEST(SoundSystem, AHoleInTheStreamIsSkippedNotCounted)
{
    const auto ogg = EncodeTone(8000, 1, 3.0);
    const auto pages = PageStarts(ogg);
    ASSERT_GE(pages.size(), 6u);
    // Take one audio page out of the middle.
    const size_t cut = pages.size() / 2;
    std::vector<uint8_t> holed(ogg.begin(), ogg.begin() + static_cast<long>(pages[cut]));
    holed.insert(holed.end(), ogg.begin() + static_cast<long>(pages[cut + 1]), ogg.end());
    const auto reference = DecodeAll(holed);
    const auto whole = DecodeAll(ogg);
    ASSERT_LT(reference.size(), whole.size());

    auto source = SoundSource::FromMemory(holed);
    ASSERT_TRUE(source);
    std::vector<uint8_t> pcm(whole.size() * 2 + 4096, 0xEE);
    const uint32_t got = source->Read(pcm.data(), static_cast<uint32_t>(pcm.size()));
    EXPECT_EQ(got, reference.size() * 2) << "every byte after the hole, no negative counts";
    EXPECT_EQ(std::memcmp(pcm.data(), reference.data(), got), 0);
    EXPECT_EQ(pcm[got], 0xEE) << "nothing written beyond the count";
}
