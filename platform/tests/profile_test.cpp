#include "platform/profile.h"
#include "platform/tests/temp_dir.h"
#include "platform/tests/unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

using platform::Profile;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

class ProfileTest : public ::testing::Test
{
protected:
    CTempDir m_dir;
    Profile m_profile{m_dir.File("Vistrel.ini")};
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(m_profile.ReadInt("Settings\\DownLoad", "ConnectNum", 5), 5);
    EXPECT_EQ(m_profile.ReadString("Settings\\Cache", "Directory", "none"), "none");
    EXPECT_FALSE(std::filesystem::exists(m_profile.GetPath())) << "reading must not create";

    WriteFileBytes(m_profile.GetPath(), "[Settings\\Proxy]\nHost=proxy\n");
    EXPECT_EQ(m_profile.ReadInt("Settings\\Query", "Area", 8), 8);
    EXPECT_EQ(m_profile.ReadInt("Settings\\Proxy", "Port", 8080), 8080);
}

TEST_F(ProfileTest, SectionAndKeyNamesIgnoreCase)
{
    ASSERT_TRUE(m_profile.WriteString("Settings\\Proxy", "Host", "proxy.example"));
    EXPECT_EQ(m_profile.ReadString("SETTINGS\\proxy", "host", ""), "proxy.example");
    ASSERT_TRUE(m_profile.WriteString("settings\\PROXY", "HOST", "other"));
    EXPECT_EQ(m_profile.ReadString("Settings\\Proxy", "Host", ""), "other");
    // One key, not two.
    std::string file = ReadFileBytes(m_profile.GetPath());
    EXPECT_EQ(file.find("proxy.example"), std::string::npos) << file;
}

TEST_F(ProfileTest, IntegersAreReadAsALeadingSignedDecimal)
{
    WriteFileBytes(m_profile.GetPath(), "[S]\n"
                                        "neg=-1\n"
                                        "plus=+7\n"
                                        "tail=12abc\n"
                                        "word=abc\n"
                                        "empty=\n"
                                        "huge=99999999999999999999\n"
                                        "tiny=-99999999999999999999\n");
    EXPECT_EQ(m_profile.ReadInt("S", "neg", 5), -1);
    EXPECT_EQ(m_profile.ReadInt("S", "plus", 5), 7);
    EXPECT_EQ(m_profile.ReadInt("S", "tail", 5), 12);
    EXPECT_EQ(m_profile.ReadInt("S", "word", 5), 0);
    EXPECT_EQ(m_profile.ReadInt("S", "empty", 5), 5);
    EXPECT_EQ(m_profile.ReadInt("S", "huge", 5), INT_MAX);
    EXPECT_EQ(m_profile.ReadInt("S", "tiny", 5), INT_MIN);
    ASSERT_TRUE(m_profile.WriteInt("S", "w", -42));
    EXPECT_EQ(m_profile.ReadInt("S", "w", 0), -42);
}

TEST_F(ProfileTest, ValuesAreBytesAndRoundTripUnchanged)
{
    // Code page 932 "表示" has the trail byte 0x5C (a backslash) in "表".
    const std::string cp932 = "\x95\x5C\x8E\xA6";
    const std::string utf8 = "/home/ユーザー/キャッシュ";
    ASSERT_TRUE(m_profile.WriteString("URLParam", "sdate", cp932));
    ASSERT_TRUE(m_profile.WriteString("Settings\\Cache", "Directory", utf8));
    EXPECT_EQ(m_profile.ReadString("URLParam", "sdate", ""), cp932);
    EXPECT_EQ(m_profile.ReadString("Settings\\Cache", "Directory", ""), utf8);
}

TEST_F(ProfileTest, QuotesAreStrippedAndLongValuesCut)
{
    std::string longValue(5000, 'x');
    WriteFileBytes(m_profile.GetPath(), "[S]\nq=\"a b\"\nlong=" + longValue + "\n");
    EXPECT_EQ(m_profile.ReadString("S", "q", ""), "a b");
    EXPECT_EQ(m_profile.ReadString("S", "long", ""), std::string(Profile::kMaxValueBytes, 'x'));
}

TEST_F(ProfileTest, WritesKeepOtherSectionsAndRefuseLineBreaks)
{
    ASSERT_TRUE(m_profile.WriteInt("Settings\\Query", "Area", 13));
    ASSERT_TRUE(m_profile.WriteString("Settings\\PlugIn", "DLLName", "medora"));
    // A value with a line break would forge a key of its own.
    EXPECT_FALSE(m_profile.WriteString("Settings\\etc", "Browser", "x\n[Settings\\Query]\nArea=1"));
    EXPECT_FALSE(m_profile.WriteString("S", "a=b", "1"));
    EXPECT_EQ(m_profile.ReadInt("Settings\\Query", "Area", 0), 13);
    EXPECT_EQ(m_profile.ReadString("Settings\\PlugIn", "DLLName", ""), "medora");
    EXPECT_EQ(m_profile.ReadString("Settings\\etc", "Browser", "none"), "none");
}

struct RefusedCase
{
    std::string section;
    std::string key;
    std::string value;
};

class ProfileRefusalTest : public ProfileTest, public ::testing::WithParamInterface<RefusedCase>
{
};

// Each of these would be stored so that it reads back as something else, or not at all.
TEST_P(ProfileRefusalTest, RefusesWhatWouldNotReadBack)
{
    const std::string before = "[S]\nk=1\n";
    WriteFileBytes(m_profile.GetPath(), before);
    const RefusedCase& c = GetParam();
    EXPECT_FALSE(m_profile.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(ReadFileBytes(m_profile.GetPath()), before);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Names, ProfileRefusalTest,
    ::testing::Values(RefusedCase{"", "k", "1"}, RefusedCase{" \t", "k", "1"},
                      RefusedCase{"a]b", "k", "1"}, RefusedCase{"S\nT", "k", "1"},
                      RefusedCase{"S", "", "1"}, RefusedCase{"S", " ", "1"},
                      RefusedCase{"S", "a=b", "1"}, RefusedCase{"S", ";k", "1"},
                      RefusedCase{"S", " ;k", "1"}, RefusedCase{"S", "[k]", "1"},
                      RefusedCase{"S", "k\r", "1"}, RefusedCase{"S", "k\0"s, "1"}));
INSTANTIATE_TEST_SUITE_P(Values, ProfileRefusalTest,
                         ::testing::Values(RefusedCase{"S", "k", "a\0b"s},
                                           RefusedCase{"S", "k", "a\rb"},
                                           RefusedCase{"S", "k", "a\nb"}));

TEST_F(ProfileTest, FailedWriteLeavesTheOldFileAndNoLitter)
{
    ASSERT_TRUE(m_profile.WriteInt("Settings\\Query", "Area", 3));
    const std::string dir = m_dir.Path();
    chmod(m_profile.GetPath().c_str(), 0644);
    chmod(dir.c_str(), 0555);
    auto outcome = testing_support::RunUnprivileged(
        [&] { return std::to_string(m_profile.WriteInt("Settings\\Query", "Area", 9)); });
    chmod(dir.c_str(), 0700);
    ASSERT_TRUE(outcome.has_value()) << "cannot drop root privileges here";
    EXPECT_EQ(*outcome, "0") << "the write must report failure";
    EXPECT_EQ(m_profile.ReadInt("Settings\\Query", "Area", 0), 3);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".Vistrel.ini.lock", "Vistrel.ini"}))
        << "temp file left";
}

TEST_F(ProfileTest, UnreadableFileIsNeverOverwritten)
{
    WriteFileBytes(m_profile.GetPath(), "[S]\nkeep=1\n");
    chmod(m_dir.Path().c_str(), 0777);
    chmod(m_profile.GetPath().c_str(), 0222);
    auto outcome = testing_support::RunUnprivileged(
        [&] { return std::to_string(m_profile.WriteInt("S", "other", 2)); });
    chmod(m_dir.Path().c_str(), 0700);
    chmod(m_profile.GetPath().c_str(), 0600);
    ASSERT_TRUE(outcome.has_value()) << "cannot drop root privileges here";
    EXPECT_EQ(*outcome, "0");
    EXPECT_EQ(ReadFileBytes(m_profile.GetPath()), "[S]\nkeep=1\n");
}

// A file the user may read but not write is locked on purpose: a write must not replace it
// beside itself, although the folder would allow that.
TEST_F(ProfileTest, ReadOnlyFileIsNeverReplaced)
{
    WriteFileBytes(m_profile.GetPath(), "[S]\nkeep=1\n");
    chmod(m_dir.Path().c_str(), 0777);
    chmod(m_profile.GetPath().c_str(), 0444);
    auto outcome = testing_support::RunUnprivileged(
        [&] { return std::to_string(m_profile.WriteInt("S", "other", 2)); });
    chmod(m_dir.Path().c_str(), 0700);
    ASSERT_TRUE(outcome.has_value()) << "cannot drop root privileges here";
    EXPECT_EQ(*outcome, "0");
    EXPECT_EQ(ReadFileBytes(m_profile.GetPath()), "[S]\nkeep=1\n");
}

TEST_F(ProfileTest, ReadersOnOtherThreadsNeverSeeAHalfWrittenFile)
{
    // Many keys make each replacement large enough that a torn read would show.
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(m_profile.WriteInt("Fill", "Key" + std::to_string(i), i));
    ASSERT_TRUE(m_profile.WriteInt("Settings\\Proxy", "Port", 1000));

    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> readers;
    readers.reserve(4);
    for (int r = 0; r < 4; ++r) {
        readers.emplace_back([&] {
            while (!done) {
                int port = m_profile.ReadInt("Settings\\Proxy", "Port", -1);
                int last = m_profile.ReadInt("Fill", "Key199", -1);
                if (port < 1000 || port > 1100 || last != 199)
                    ++bad;
            }
        });
    }
    for (int i = 1; i <= 100; ++i)
        ASSERT_TRUE(m_profile.WriteInt("Settings\\Proxy", "Port", 1000 + i));
    done = true;
    for (auto& t : readers)
        t.join();
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(m_profile.ReadInt("Settings\\Proxy", "Port", 0), 1100);
}

} // namespace
