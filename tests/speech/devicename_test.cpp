// The buffer rules of the device-name exports, with names a machine may or may not have.
#include "speech/devicename.h"

#include <gtest/gtest.h>

#include <string>

namespace wf::test {
namespace {

TEST(DeviceName, WideNamesAreCutToTheBuffer) {
    const std::u16string name = u"Speakers 123";  // 12 units
    struct Case {
        bool buffer;
        std::int32_t count;
        std::int32_t result;
        std::u16string copied;
    };
    const Case cases[] = {
        {false, 0, 12, u""},
        {false, 20, 12, u""},
        {true, 0, 12, u""},
        {true, 5, 4, u"Spea"},
        {true, 12, 11, u"Speakers 12"},
        {true, 13, 12, name},
        {true, 260, 12, name},
        {true, 1, 0, u""},
    };
    for (const Case& c : cases) {
        char16_t dst[300];
        std::fill(std::begin(dst), std::end(dst), u'#');
        EXPECT_EQ(copyDeviceNameW(name, c.buffer ? dst : nullptr, c.count), c.result) << c.count;
        if (c.buffer && c.count > 0) {
            EXPECT_EQ(std::u16string(dst), c.copied) << c.count;
        }
        if (c.buffer && c.count == 0) {
            EXPECT_EQ(dst[0], u'#');
        }
    }
}

TEST(DeviceName, NarrowNamesCountTheirTerminatorAndKeepCharactersWhole) {
    char dst[300];
    EXPECT_EQ(copyDeviceNameA(u"Speakers 123", nullptr, 0), 13);
    EXPECT_EQ(copyDeviceNameA(u"Speakers 123", dst, 5), 4);
    EXPECT_EQ(std::string(dst), "Spea");
    EXPECT_EQ(copyDeviceNameA(u"Speakers 123", dst, 13), 12);
    EXPECT_EQ(std::string(dst), "Speakers 123");
    EXPECT_EQ(copyDeviceNameA(u"", nullptr, 0), 1);

    // "扬声器" is six GB18030 bytes: four bytes of room hold two characters, three only one.
    EXPECT_EQ(copyDeviceNameA(u"扬声器", nullptr, 0), 7);
    EXPECT_EQ(copyDeviceNameA(u"扬声器", dst, 5), 4);
    EXPECT_EQ(std::string(dst), "\xD1\xEF\xC9\xF9");
    EXPECT_EQ(copyDeviceNameA(u"扬声器", dst, 4), 2);
    EXPECT_EQ(std::string(dst), "\xD1\xEF");
}

}  // namespace
}  // namespace wf::test
