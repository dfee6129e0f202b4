// Shared test helpers: a throw-away program folder and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace wf::test {

// A fresh program folder for each test, removed afterwards.
class TempHome : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path home() const { return m_home; }

private:
    std::filesystem::path m_home;
};

std::filesystem::path makeTempDir(std::string_view prefix);
std::filesystem::path fixturePath(std::string_view name);
std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);
// Writes UTF-8 text as GB18030 bytes.
void writeGb(const std::filesystem::path& path, std::string_view utf8);

}  // namespace wf::test
