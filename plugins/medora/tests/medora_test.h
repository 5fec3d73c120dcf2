#pragma once

#include "plugin_host/plugin_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace medora_test {

// medora as the search run sees it: default region and the empty search period.
inline constexpr int kTokyo = 8;
inline const std::string kTargetBeforeKey =
    "/tv.php?mode=10&site=007&sort=d&sdate=&ldate=28&shour=05&lhour=24&template=keyword"
    "&category=tc&area=008&key=";

// The marker lines of a listing page: "<!-- ↑カテゴリ変更 ー-->" in code page 932, and its end.
inline const std::string kListingStart =
    "<!-- \x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A\x95\xCF\x8D\x58 \x81\x5B-->";
inline const std::string kListingEnd = "<HR NOSHADE>";

// A page holding body as its listing, with LF line ends.
inline std::string Listing(std::string_view body)
{
    return kListingStart + "\n" + std::string(body) + kListingEnd + "\n";
}

// One row of a table test: a text given and the text it should give.
struct CTextCase
{
    const char* name;
    std::string given;
    std::string expected;
};

inline void PrintTo(const CTextCase& row, std::ostream* os)
{
    *os << row.name;
}

// Names each test of a table after its row.
template <class Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}

// A test with medora.so loaded the way the program loads it. The plug-in's data folder
// beside the test programs starts without medora.ini; whatever a test writes there is put
// back as it was afterwards.
class CMedoraTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    static std::string DataFolder();
    static std::string SettingsPath() { return DataFolder() + "medora.ini"; }
    static std::string TemplatePath() { return DataFolder() + "template.html"; }
    void WriteSettings(std::string_view ini);
    void WriteTemplate(std::string_view page);

    CPluginModule m_medora;

private:
    std::optional<std::string> m_savedSettings;
    std::optional<std::string> m_savedTemplate;
};

// The module's exports called directly, for arguments the program never passes.
class CRawMedora
{
public:
    CRawMedora();
    ~CRawMedora();
    CRawMedora(const CRawMedora&) = delete;
    CRawMedora& operator=(const CRawMedora&) = delete;

    template <class T>
    T Get(const char* name) const
    {
        return reinterpret_cast<T>(Symbol(name));
    }

private:
    void* Symbol(const char* name) const;
    void* m_handle;
};

// Calls fill(buffer, size) on a buffer of size + 1 bytes whose last byte is zero, with
// non-zero bytes before it and guard bytes after it. Fails the test when fill writes past
// size or leaves anything but zeros after its text; returns the text.
template <class F>
std::string CallBounded(F fill, int size)
{
    constexpr unsigned char kDirty = 0x7F;
    constexpr unsigned char kGuard = 0xEE;
    constexpr int kGuardBytes = 16;
    std::string buffer(static_cast<std::size_t>(size) + 1 + kGuardBytes, char(kGuard));
    std::fill_n(buffer.begin(), size, char(kDirty));
    buffer[size] = '\0';
    fill(buffer.data(), size);
    std::string text(buffer.c_str());
    EXPECT_LE(text.size(), static_cast<std::size_t>(size));
    EXPECT_EQ(buffer.substr(text.size(), size + 1 - text.size()),
              std::string(size + 1 - text.size(), '\0'))
        << "size " << size;
    EXPECT_EQ(buffer.substr(size + 1), std::string(kGuardBytes, char(kGuard))) << "size " << size;
    return text;
}

} // namespace medora_test
