#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fuzz {
namespace {

class CScratch
{
public:
    CScratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vistrel-fuzz-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr)
            Fail("mkdtemp succeeds", __FILE__, __LINE__);
        m_strPath = pattern;
    }
    ~CScratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_strPath, ignored);
    }
    CScratch(const CScratch&) = delete;
    CScratch& operator=(const CScratch&) = delete;

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

} // namespace

void Fail(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}

const std::string& ScratchFolder()
{
    static CScratch scratch;
    return scratch.Path();
}

std::string WriteScratchFile(std::string_view name, std::string_view bytes)
{
    std::string path = ScratchFolder() + "/" + std::string(name);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    FUZZ_CHECK(file);
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    FUZZ_CHECK(file);
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    FUZZ_CHECK(!file.bad());
    return bytes;
}

} // namespace fuzz
