// How the profile reads lines a user wrote by hand, and that a write keeps them.
#include "platform/profile.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

using platform::Profile;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

constexpr char kNone[] = "<default>";

struct ReadCase
{
    std::string file;
    const char* section;
    const char* key;
    const char* expected; // kNone: the caller's default
};

class ProfileReadTest : public ::testing::TestWithParam<ReadCase>
{
protected:
    CTempDir m_dir;
    Profile m_profile{m_dir.File("Vistrel.ini")};
};

TEST_P(ProfileReadTest, ReadsAsTheWindowsProfileFunctionsDo)
{
    const ReadCase& c = GetParam();
    WriteFileBytes(m_profile.GetPath(), c.file);
    EXPECT_EQ(m_profile.ReadString(c.section, c.key, kNone), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileReadTest,
    ::testing::Values(
        ReadCase{"[S]\nk=1\nk=2\n", "S", "k", "1"},           // first duplicate
        ReadCase{"[S]\nj=1\n[T]\n[s]\nk=2\n", "S", "k", "2"}, // repeated section
        ReadCase{"[S]\nk=1\n[T]\n[S]\nk=2\n", "s", "K", "1"}, // ... its first key
        ReadCase{"k=1\n[S]\nj=2\n", "S", "k", kNone},         // before any section
        ReadCase{"k=1\n[S]\nj=2\n", "", "k", kNone},          // ... belongs to none
        ReadCase{"[S]\n;k=1\n  ; k=2\n", "S", "k", kNone},    // comments
        ReadCase{"[S]\n;k=1\n  ; k=2\n", "S", ";k", kNone},   // ... hold no key
        ReadCase{"[S]\n#k=1\n", "S", "#k", "1"},              // "#" is no comment
        ReadCase{"[A]\n[S\nk=1\n", "A", "k", "1"},            // broken "[" line
        ReadCase{"[A]\n[S\nk=1\n", "S", "k", kNone},          // ... opens nothing
        ReadCase{"[S]\n[k=1\n", "S", "[k", kNone},            // ... holds no key
        ReadCase{"  [ S ]  ; note\n \t k \t = \t v w \t \n", "S", "k", "v w"}, // blanks
        ReadCase{"[S]\nk=1=2\n", "S", "k", "1=2"},                             // first "=" splits
        ReadCase{"[S]\nk = \"a b\" \n", "S", "k", "a b"},  // quotes after blanks
        ReadCase{"[S]\nk\nk=2\n", "S", "k", "2"},          // no "=": no key
        ReadCase{"[S]\r\nk=1\r\nj=2\r\n", "S", "j", "2"},  // CR LF
        ReadCase{"[S]\rk=1\rj=2\r", "S", "j", "2"},        // lone CR
        ReadCase{"\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "1"}, // byte-order mark
        ReadCase{"[S]\nk=a\0b\nj=2\n"s, "S", "k", "a"},    // a NUL ends a value
        ReadCase{"[S]\nk=a\0b\nj=2\n"s, "S", "j", "2"},    // ... not the file
        ReadCase{"[Settings\\Proxy]\nHost=\x95\x5C\n", "settings\\PROXY", "host", "\x95\x5C"},
        ReadCase{"[S]\nk=1\n", " S ", "\tk ", "1"},      // names trimmed too
        ReadCase{"[S]\n\v\fk\f=\v1\n", "S", "K", "1"})); // form feed and vertical tab are blanks

struct WriteCase
{
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

class ProfileWriteTest : public ::testing::TestWithParam<WriteCase>
{
protected:
    CTempDir m_dir;
    Profile m_profile{m_dir.File("Vistrel.ini")};
};

TEST_P(ProfileWriteTest, ChangesOnlyTheLineOfTheKey)
{
    const WriteCase& c = GetParam();
    WriteFileBytes(m_profile.GetPath(), c.before);
    ASSERT_TRUE(m_profile.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(ReadFileBytes(m_profile.GetPath()), c.after);
    EXPECT_EQ(m_profile.ReadString(c.section, c.key, kNone), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileWriteTest,
    ::testing::Values(
        // Comments, lines without "=", blank lines and others' spacing stay.
        WriteCase{"; mine\n[S]\n; k is\nnote\n\n a = 1 \nk=1\n", "S", "k", "2",
                  "; mine\n[S]\n; k is\nnote\n\n a = 1 \nk=2\n"},
        WriteCase{"[S]\n  k  =  1  \nj=1\n", "S", "k", "2", "[S]\nk=2\nj=1\n"},
        // Everything after a NUL byte stays.
        WriteCase{"[S]\nj=a\0b\n[T]\nx=1\n"s, "T", "x", "2", "[S]\nj=a\0b\n[T]\nx=2\n"s},
        // The first of duplicate keys is the one written; the key keeps its spelling.
        WriteCase{"[S]\nk=1\nk=2\n", "S", "k", "3", "[S]\nk=3\nk=2\n"},
        WriteCase{"[s]\nHOST=a\n", "S", "host", "b", "[s]\nHOST=b\n"},
        WriteCase{"[S]\nk=1\n[T]\n[S]\nj=1\n", "S", "j", "2", "[S]\nk=1\n[T]\n[S]\nj=2\n"},
        WriteCase{"[S]\nk=1\n[T]\n[S]\nj=1\n", "S", "n", "3", "[S]\nk=1\nn=3\n[T]\n[S]\nj=1\n"},
        // A new key goes after the last key of its section.
        WriteCase{"[S]\nk=1\n\n; T:\n[T]\n", "S", "j", "2", "[S]\nk=1\nj=2\n\n; T:\n[T]\n"},
        WriteCase{"[S]\n[T]\n", "S", "k", "1", "[S]\nk=1\n[T]\n"},
        WriteCase{"", "S", "k", "1", "[S]\nk=1\n"},
        WriteCase{"k=1\n[S]\n", "S", "k", "2", "k=1\n[S]\nk=2\n"},
        WriteCase{"[S\nk=1\n", "S", "k", "2", "[S\nk=1\n[S]\nk=2\n"},
        // Line ends stay, and new lines take the file's own.
        WriteCase{"[S]\r\nk=1\r\nj=2\r\n", "S", "k", "3", "[S]\r\nk=3\r\nj=2\r\n"},
        WriteCase{"[S]\r\nk=1\r\n", "S", "j", "2", "[S]\r\nk=1\r\nj=2\r\n"},
        WriteCase{"[S]\r\nk=1\r\n", "T", "x", "1", "[S]\r\nk=1\r\n[T]\r\nx=1\r\n"},
        WriteCase{"[S]\rk=1\r", "S", "j", "2", "[S]\rk=1\rj=2\r"},
        WriteCase{"[S]\nk=1", "S", "k", "2", "[S]\nk=2"},
        WriteCase{"[S]\nk=1", "S", "j", "2", "[S]\nk=1\nj=2\n"},
        WriteCase{"[S]", "S", "j", "2", "[S]\nj=2\n"},
        WriteCase{"[S]\nk=1", "T", "x", "1", "[S]\nk=1\n[T]\nx=1\n"},
        WriteCase{"\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "2", "\xEF\xBB\xBF[S]\nk=2\n"}));

TEST(ProfileFile, ABrokenSectionLineDoesNotGrowTheFile)
{
    CTempDir dir;
    Profile profile(dir.File("Vistrel.ini"));
    WriteFileBytes(profile.GetPath(), "[S\nk=1\n[T]\nx=1\n");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(profile.WriteString("T", "x", "2"));
    EXPECT_EQ(ReadFileBytes(profile.GetPath()), "[S\nk=1\n[T]\nx=2\n");
}

TEST(ProfileFile, AWriteKeepsTheFilesPermissions)
{
    CTempDir dir;
    Profile profile(dir.File("Vistrel.ini"));
    ASSERT_TRUE(profile.WriteInt("S", "k", 1));
    struct stat st
    {
    };
    ASSERT_EQ(stat(profile.GetPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << "a new profile is the user's own";
    ASSERT_EQ(chmod(profile.GetPath().c_str(), 0640), 0);
    ASSERT_TRUE(profile.WriteInt("S", "k", 2));
    ASSERT_EQ(stat(profile.GetPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

} // namespace
