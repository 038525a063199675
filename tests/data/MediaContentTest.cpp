// The sounds of data/sounds.tsv and the praise clips of data/clips.tsv against the rates, channels,
// durations and frame formats the program relies on, decoded with the same libraries it plays
// them with; and the timing of the spoken instruction against its cues.

#include <gtest/gtest.h>

#include <theora/theora.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kData = std::string(TIRLAN_SOURCE_DIR) + "/data/";

struct TableRow {
    std::string key;
    std::string file;
};

// Rows of a data table: key<TAB>file[<TAB>comment]; '#' lines and blank lines skipped.
std::vector<TableRow> ReadTable(const std::string& name) {
    std::vector<TableRow> rows;
    std::ifstream in(kData + name);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        TableRow row;
        std::getline(fields, row.key, '\t');
        std::getline(fields, row.file, '\t');
        rows.push_back(row);
    }
    return rows;
}

// ---- sounds -----------------------------------------------------------------------------------

struct ExpectedSound {
    const char* key;
    long rate;
    int channels;
    double seconds;
    double tolerance;  // relative
    bool speech;
    bool numbered;     // numbered sounds lose their last 0.02 s x channels x 2 at playback
};

const ExpectedSound kSounds[] = {
    {"141", 44000, 2, 17.0, 0.02, true, true},
    {"ENDHELPSOUND", 44000, 2, 5.16, 0.02, true, false},
    {"145", 44000, 2, 2.05, 0.02, true, true},
    {"146", 44000, 2, 1.52, 0.02, true, true},
    {"bravo_sound", 44100, 2, 2.0, 0.10, true, false},
    {"gotovo_sound", 11025, 2, 2.0, 0.10, true, false},
    {"molodec_sound", 44100, 2, 2.0, 0.10, true, false},
    {"otlichno_sound", 44100, 2, 2.0, 0.10, true, false},
    {"ura_sound", 22050, 2, 2.0, 0.10, true, false},
    {"MOUSE_CLICK_SOUND", 44000, 2, 0.36, 0.02, false, false},
};

struct Pcm {
    long rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved, -1..1
    bool ok = false;

    long Frames() const { return channels ? long(samples.size()) / channels : 0; }

    // RMS level in dBFS over [from, to) seconds, all channels.
    double RmsDb(double from, double to) const {
        long a = std::max(0L, long(from * rate)), b = std::min(Frames(), long(to * rate));
        if (b <= a)
            return -200.0;
        double sum = 0;
        for (long i = a * channels; i < b * channels; ++i)
            sum += double(samples[i]) * samples[i];
        return 10.0 * std::log10(sum / double((b - a) * channels) + 1e-20);
    }

    double PeakDb() const {
        float peak = 0;
        for (float s : samples)
            peak = std::max(peak, std::fabs(s));
        return 20.0 * std::log10(peak + 1e-12);
    }

    // RMS over the 50 ms windows louder than -45 dBFS: the level of the speech itself.
    double ActiveRmsDb() const {
        double sum = 0;
        int windows = 0;
        for (double t = 0; t + 0.05 <= double(Frames()) / rate; t += 0.05) {
            double db = RmsDb(t, t + 0.05);
            if (db > -45.0) {
                sum += std::pow(10.0, db / 10.0);
                ++windows;
            }
        }
        return windows ? 10.0 * std::log10(sum / windows) : -200.0;
    }
};

Pcm DecodeVorbis(const std::string& path) {
    Pcm pcm;
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0)
        return pcm;
    vorbis_info* info = ov_info(&vf, -1);
    pcm.rate = info->rate;
    pcm.channels = info->channels;
    char buffer[8192];
    int section = 0;
    for (;;) {
        long got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got < 0) {
            ov_clear(&vf);
            return pcm;
        }
        if (got == 0)
            break;
        const short* s = reinterpret_cast<const short*>(buffer);
        for (long i = 0; i < got / 2; ++i)
            pcm.samples.push_back(s[i] / 32768.0f);
    }
    pcm.ok = long(pcm.samples.size()) == ov_pcm_total(&vf, -1) * pcm.channels;
    ov_clear(&vf);
    return pcm;
}

const ExpectedSound* FindSound(const std::string& key) {
    for (const ExpectedSound& e : kSounds)
        if (key == e.key)
            return &e;
    return nullptr;
}

TEST(MediaContent, SoundTableNamesEverySoundOnceAndNothingElse) {
    std::vector<TableRow> rows = ReadTable("sounds.tsv");
    std::set<std::string> keys;
    for (const TableRow& row : rows) {
        EXPECT_NE(FindSound(row.key), nullptr) << "unexpected sound " << row.key;
        EXPECT_TRUE(keys.insert(row.key).second) << "listed twice: " << row.key;
    }
    for (const ExpectedSound& e : kSounds)
        EXPECT_EQ(keys.count(e.key), 1u) << "missing sound " << e.key;
}

TEST(MediaContent, EverySoundHasItsRateChannelsAndDuration) {
    for (const TableRow& row : ReadTable("sounds.tsv")) {
        const ExpectedSound* e = FindSound(row.key);
        if (!e)
            continue;
        SCOPED_TRACE(row.key + " " + row.file);
        Pcm pcm = DecodeVorbis(kData + row.file);
        ASSERT_TRUE(pcm.ok) << "does not decode";
        EXPECT_EQ(pcm.rate, e->rate);
        EXPECT_EQ(pcm.channels, e->channels);
        double seconds = double(pcm.Frames()) / double(pcm.rate);
        EXPECT_NEAR(seconds, e->seconds, e->seconds * e->tolerance);
    }
}

TEST(MediaContent, SoundsAreAudibleUnclippedAndEndInSilence) {
    std::map<std::string, double> speechLevels;
    for (const TableRow& row : ReadTable("sounds.tsv")) {
        const ExpectedSound* e = FindSound(row.key);
        if (!e)
            continue;
        SCOPED_TRACE(row.key);
        Pcm pcm = DecodeVorbis(kData + row.file);
        ASSERT_TRUE(pcm.ok);
        double length = double(pcm.Frames()) / pcm.rate;
        EXPECT_LT(pcm.PeakDb(), -1.0) << "too close to clipping";
        EXPECT_GT(pcm.PeakDb(), -12.0) << "too quiet";
        // Nothing is cut off: the sound starts and ends in silence. Numbered sounds must also be
        // silent in the part that playback drops.
        double tail = e->numbered ? 0.02 * e->channels * 2 + 0.04 : 0.03;
        EXPECT_LT(pcm.RmsDb(length - tail, length), -50.0) << "sound is cut off at its end";
        EXPECT_LT(pcm.RmsDb(0, 0.005), -50.0) << "sound starts abruptly";
        if (e->speech)
            speechLevels[row.key] = pcm.ActiveRmsDb();
    }
    // One loudness for every spoken sound, so that none is much louder than another.
    ASSERT_FALSE(speechLevels.empty());
    auto [low, high] = std::minmax_element(speechLevels.begin(), speechLevels.end(),
                                           [](auto& a, auto& b) { return a.second < b.second; });
    EXPECT_LT(high->second - low->second, 4.0)
        << low->first << " at " << low->second << " dB, " << high->first << " at " << high->second;
}

TEST(MediaContent, InstructionSentencesStartAtTheirCues) {
    std::string file;
    for (const TableRow& row : ReadTable("sounds.tsv"))
        if (row.key == "141")
            file = row.file;
    ASSERT_FALSE(file.empty());
    Pcm pcm = DecodeVorbis(kData + file);
    ASSERT_TRUE(pcm.ok);
    // The picture show's cues that a new sentence goes with (9.111 s only hides the cursor).
    const double cues[] = {5.000, 6.931, 7.930, 10.160, 14.400, 15.300};
    for (double cue : cues) {
        SCOPED_TRACE(cue);
        EXPECT_LT(pcm.RmsDb(cue - 0.05, cue), -50.0) << "the previous sentence runs into the cue";
        EXPECT_GT(pcm.RmsDb(cue, cue + 0.3), -35.0) << "no speech right after the cue";
    }
    EXPECT_GT(pcm.RmsDb(0.3, 1.0), -35.0) << "the greeting does not start the instruction";
}

// ---- clips ------------------------------------------------------------------------------------

struct Rgb {
    int r, g, b;
};

// The program's own integer YUV to RGB conversion (16-bit saturating, arithmetic shift by 6).
int Clamp255(int v) { return std::clamp(v, 0, 255); }
Rgb ToRgb(int y, int u, int v) {
    int c = y - 16, d = u - 128, e = v - 128;
    return {Clamp255((74 * c + 102 * e) >> 6), Clamp255((74 * c - 25 * d - 52 * e) >> 6),
            Clamp255((74 * c + 129 * d) >> 6)};
}

struct Clip {
    bool ok = false;
    std::string error;
    int width = 0, height = 0, frameWidth = 0, frameHeight = 0;
    int fpsNumerator = 0, fpsDenominator = 0;
    std::vector<std::vector<Rgb>> frames;  // frameWidth x frameHeight each
};

// Decodes a whole clip with libogg and the libtheora decoding interface the view uses.
Clip DecodeTheora(const std::string& path) {
    Clip clip;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        clip.error = "cannot read";
        return clip;
    }
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, long(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), buffer);
    ogg_sync_wrote(&sync, long(bytes.size()));

    theora_info info;
    theora_comment comment;
    theora_info_init(&info);
    theora_comment_init(&comment);
    theora_state state{};
    ogg_stream_state stream{};
    bool haveStream = false, decoding = false;
    int headers = 0, streams = 0;
    ogg_page page;
    while (ogg_sync_pageout(&sync, &page) == 1) {
        if (ogg_page_bos(&page)) {
            ++streams;
            if (haveStream)
                continue;
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            haveStream = true;
        }
        if (!haveStream || ogg_page_serialno(&page) != stream.serialno)
            continue;
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) == 1) {
            if (headers < 3) {
                if (theora_decode_header(&info, &comment, &packet) < 0) {
                    clip.error = "bad header";
                    break;
                }
                if (++headers == 3) {
                    theora_decode_init(&state, &info);
                    decoding = true;
                }
                continue;
            }
            yuv_buffer yuv;
            if (theora_decode_packetin(&state, &packet) != 0 || theora_decode_YUVout(&state, &yuv) != 0) {
                clip.error = "bad frame";
                break;
            }
            std::vector<Rgb> rgb(size_t(info.frame_width) * info.frame_height);
            for (unsigned y = 0; y < info.frame_height; ++y)
                for (unsigned x = 0; x < info.frame_width; ++x)
                    rgb[y * info.frame_width + x] =
                        ToRgb(yuv.y[y * yuv.y_stride + x], yuv.u[(y / 2) * yuv.uv_stride + x / 2],
                              yuv.v[(y / 2) * yuv.uv_stride + x / 2]);
            clip.frames.push_back(std::move(rgb));
        }
        if (!clip.error.empty())
            break;
    }
    clip.width = int(info.width);
    clip.height = int(info.height);
    clip.frameWidth = int(info.frame_width);
    clip.frameHeight = int(info.frame_height);
    clip.fpsNumerator = int(info.fps_numerator);
    clip.fpsDenominator = int(info.fps_denominator);
    clip.ok = clip.error.empty() && headers == 3 && streams == 1;
    if (clip.error.empty() && streams != 1)
        clip.error = "expected one stream (video only), found " + std::to_string(streams);
    if (decoding)
        theora_clear(&state);
    if (haveStream)
        ogg_stream_clear(&stream);
    theora_comment_clear(&comment);
    theora_info_clear(&info);
    ogg_sync_clear(&sync);
    return clip;
}

int Distance(Rgb a, Rgb b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

const char* const kClipKeys[] = {"bravo_clip", "gotovo_clip", "molodec_clip", "otlichno_clip", "ura_clip"};
const Rgb kCloud = {0xF2, 0xF7, 0xFF};

TEST(MediaContent, ClipTableNamesTheFivePraiseClips) {
    std::set<std::string> keys;
    for (const TableRow& row : ReadTable("clips.tsv"))
        EXPECT_TRUE(keys.insert(row.key).second) << "listed twice: " << row.key;
    EXPECT_EQ(keys, std::set<std::string>(std::begin(kClipKeys), std::end(kClipKeys)));
}

TEST(MediaContent, EveryClipIs320x240At12FpsWith26Frames) {
    for (const TableRow& row : ReadTable("clips.tsv")) {
        SCOPED_TRACE(row.key + " " + row.file);
        Clip clip = DecodeTheora(kData + row.file);
        ASSERT_TRUE(clip.ok) << clip.error;
        EXPECT_EQ(clip.frameWidth, 320);
        EXPECT_EQ(clip.frameHeight, 240);
        EXPECT_EQ(clip.width, 320) << "encoded size differs from the picture";
        EXPECT_EQ(clip.height, 240);
        ASSERT_GT(clip.fpsDenominator, 0);
        EXPECT_EQ(clip.fpsNumerator / clip.fpsDenominator, 12);
        EXPECT_EQ(clip.fpsNumerator % clip.fpsDenominator, 0);
        EXPECT_EQ(clip.frames.size(), 26u);
    }
}

TEST(MediaContent, ClipsBlendIntoTheCloudAndKeepMoving) {
    for (const TableRow& row : ReadTable("clips.tsv")) {
        SCOPED_TRACE(row.key);
        Clip clip = DecodeTheora(kData + row.file);
        ASSERT_TRUE(clip.ok) << clip.error;
        const int w = clip.frameWidth, h = clip.frameHeight;
        for (size_t f = 0; f < clip.frames.size(); ++f) {
            const std::vector<Rgb>& px = clip.frames[f];
            // The outermost rows and columns are the cloud's colour (within coding noise).
            int worst = 0;
            for (int x = 0; x < w; ++x)
                worst = std::max({worst, Distance(px[x], kCloud), Distance(px[(h - 1) * w + x], kCloud)});
            for (int y = 0; y < h; ++y)
                worst = std::max({worst, Distance(px[y * w], kCloud), Distance(px[y * w + w - 1], kCloud)});
            EXPECT_LE(worst, 8) << "frame " << f << " edge does not blend into the cloud";
            // Something is drawn: a good part of the picture is far from the cloud colour.
            long drawn = std::count_if(px.begin(), px.end(), [](Rgb c) { return Distance(c, kCloud) > 60; });
            EXPECT_GT(drawn, long(w) * h / 20) << "frame " << f << " is nearly empty";
            if (f > 0) {
                const std::vector<Rgb>& prev = clip.frames[f - 1];
                long changed = 0;
                for (size_t i = 0; i < px.size(); ++i)
                    changed += Distance(px[i], prev[i]) > 24;
                EXPECT_GT(changed, 50) << "frame " << f << " repeats the frame before";
            }
        }
    }
}

}  // namespace
