// Damaged Ogg Vorbis data found by fuzzing: decoding to the end, rewinding and decoding again
// stays in bounds (a seek back inside this stream made libogg copy a negative length).

#include "sound/SoundSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<uint8_t> ReadFixture(const char* name)
{
    std::ifstream in(std::string(TIRLAN_TEST_FIXTURES) + "/sound/" + name, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint64_t DecodeAll(SoundSource& source)
{
    std::vector<uint8_t> buffer(16384);
    uint64_t total = 0;
    for (uint32_t got; (got = source.Read(buffer.data(), uint32_t(buffer.size()))) > 0;) {
        EXPECT_EQ(got % uint32_t(source.frameBytes), 0u);
        total += got;
    }
    return total;
}

TEST(DamagedSound, ARewoundDamagedStreamReplaysWhatItFirstDecoded)
{
    const std::vector<uint8_t> bytes = ReadFixture("damaged-then-rewound.ogg");
    ASSERT_FALSE(bytes.empty());
    auto source = SoundSource::FromMemory(bytes);
    ASSERT_NE(source, nullptr);
    const uint64_t first = DecodeAll(*source);
    EXPECT_LE(first, uint64_t(source->totalFrames) * uint64_t(source->frameBytes));
    ASSERT_TRUE(source->Rewind());
    EXPECT_EQ(DecodeAll(*source), first);
    ASSERT_TRUE(source->Rewind());
    EXPECT_EQ(DecodeAll(*source), first);
}

} // namespace
