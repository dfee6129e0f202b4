#include "platform/soundcues.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace wf {
namespace {

std::uint32_t le32(std::span<const unsigned char> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t le16(std::span<const unsigned char> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::string_view tag(std::span<const unsigned char> b, std::size_t at) {
    return {reinterpret_cast<const char*>(b.data() + at), 4};
}

struct CueFormat {
    const char* name;
    std::span<const unsigned char> (*cue)();
    int channels;
    std::uint32_t rate;
    int bits;
};

// The players hand these bytes to the audio module as they are, so the RIFF layout and the
// format of each cue must be exactly what the windows expect.
TEST(SoundCues, AreWavDataInTheirFixedFormats) {
    const CueFormat cues[] = {
        {"new word", newWordCue, 1, 22050, 16},
        {"correct", correctCue, 1, 11025, 16},
        {"wrong", wrongCue, 1, 11025, 8},
        {"time up", timeUpCue, 2, 48000, 16},
        {"translation start", translationStartCue, 1, 22050, 16},
        {"translation end", translationEndCue, 1, 22050, 16},
    };
    for (const CueFormat& c : cues) {
        SCOPED_TRACE(c.name);
        std::span<const unsigned char> b = c.cue();
        ASSERT_GT(b.size(), 44u);
        EXPECT_EQ(tag(b, 0), "RIFF");
        EXPECT_EQ(le32(b, 4), b.size() - 8);
        EXPECT_EQ(tag(b, 8), "WAVE");

        bool sawFormat = false, sawData = false;
        for (std::size_t at = 12; at + 8 <= b.size();) {
            std::uint32_t size = le32(b, at + 4);
            ASSERT_LE(at + 8 + size, b.size());
            if (tag(b, at) == "fmt ") {
                sawFormat = true;
                EXPECT_EQ(le16(b, at + 8), 1);  // PCM
                EXPECT_EQ(le16(b, at + 10), c.channels);
                EXPECT_EQ(le32(b, at + 12), c.rate);
                EXPECT_EQ(le32(b, at + 16), c.rate * c.channels * c.bits / 8);
                EXPECT_EQ(le16(b, at + 20), c.channels * c.bits / 8);
                EXPECT_EQ(le16(b, at + 22), c.bits);
            } else if (tag(b, at) == "data") {
                sawData = true;
                double seconds = double(size) / (c.rate * c.channels * c.bits / 8);
                EXPECT_GT(seconds, 0.05);
                EXPECT_LT(seconds, 1.0);  // a cue, not a tune
            }
            at += 8 + size + (size & 1);
        }
        EXPECT_TRUE(sawFormat);
        EXPECT_TRUE(sawData);
    }
}

}  // namespace
}  // namespace wf
