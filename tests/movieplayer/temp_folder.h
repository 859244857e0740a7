// A folder of its own per test for the files a test writes (movies beside
// designs, programs in an "fscommand" folder); removed with the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace moviefile_test {

class TestFolder {
public:
    explicit TestFolder(const std::string& prefix, std::initializer_list<const char*> subfolders = {})
    {
        path_ = std::filesystem::temp_directory_path() /
                (prefix + "_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(path_);
        for (const char* s : subfolders) std::filesystem::create_directories(path_ / s);
    }
    ~TestFolder() { std::filesystem::remove_all(path_); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        const std::string p = Path(name);
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        return p;
    }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace moviefile_test
