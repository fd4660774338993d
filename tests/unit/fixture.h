// Recorded converter output from tests/fixtures, byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline std::string Fixture(const std::string& name) {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / name,
                       std::ios::binary);
    EXPECT_TRUE(file) << "missing fixture " << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
