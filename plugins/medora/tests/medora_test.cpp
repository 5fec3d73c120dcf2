#include "medora_test.h"

#include "platform/program_folder.h"
#include "platform/tests/temp_dir.h"

#include <dlfcn.h>

#include <filesystem>

namespace medora_test {
namespace {

std::optional<std::string> Take(const std::string& path)
{
    if (!std::filesystem::exists(path))
        return std::nullopt;
    std::string bytes = testing_support::ReadFileBytes(path);
    std::filesystem::remove(path);
    return bytes;
}

void PutBack(const std::string& path, const std::optional<std::string>& bytes)
{
    std::filesystem::remove(path);
    if (bytes)
        testing_support::WriteFileBytes(path, *bytes);
}

} // namespace

void CMedoraTest::SetUp()
{
    std::filesystem::create_directories(DataFolder());
    m_savedSettings = Take(SettingsPath());
    m_savedTemplate = Take(TemplatePath());
    ASSERT_TRUE(m_medora.Load(MEDORA_MODULE_PATH));
}

void CMedoraTest::TearDown()
{
    m_medora.Unload();
    std::filesystem::create_directories(DataFolder());
    PutBack(SettingsPath(), m_savedSettings);
    PutBack(TemplatePath(), m_savedTemplate);
}

std::string CMedoraTest::DataFolder()
{
    return platform::ProgramFolder() + "Plugin/medora/";
}

void CMedoraTest::WriteSettings(std::string_view ini)
{
    testing_support::WriteFileBytes(SettingsPath(), ini);
}

void CMedoraTest::WriteTemplate(std::string_view page)
{
    testing_support::WriteFileBytes(TemplatePath(), page);
}

CRawMedora::CRawMedora()
    : m_handle(dlopen(MEDORA_MODULE_PATH, RTLD_NOW | RTLD_LOCAL))
{
    EXPECT_NE(m_handle, nullptr) << dlerror();
}

CRawMedora::~CRawMedora()
{
    if (m_handle != nullptr)
        dlclose(m_handle);
}

void* CRawMedora::Symbol(const char* name) const
{
    void* symbol = m_handle != nullptr ? dlsym(m_handle, name) : nullptr;
    EXPECT_NE(symbol, nullptr) << name;
    return symbol;
}

} // namespace medora_test
