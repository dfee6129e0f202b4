#include "tests/support/testsupport.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/programfolder.h"
#include "platform/codec.h"

namespace wf::test {

std::filesystem::path makeTempDir(std::string_view prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    char* made = ::mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("mkdtemp failed");
    return made;
}

void TempHome::SetUp() {
    m_home = makeTempDir("wordfern-home-");
    setProgramFolder(m_home);
}

void TempHome::TearDown() {
    std::error_code ec;
    std::filesystem::remove_all(m_home, ec);
}

std::filesystem::path fixturePath(std::string_view name) {
    return std::filesystem::path(WF_FIXTURES_DIR) / std::string(name);
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void writeGb(const std::filesystem::path& path, std::string_view utf8) {
    writeBytes(path, encodeGb18030(utf8));
}

}  // namespace wf::test
