// The fuzz corpora's folders and whole-file reading and writing, for the
// tests that write seeds into them and read them back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string CorpusDir(const char* target) { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/" + target; }

// Empty when the file is missing.
inline std::vector<uint8_t> ReadCorpusFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteCorpusFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
