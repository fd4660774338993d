#include <gtest/gtest.h>

#include "convert/output_file.h"

TEST(OutputFile, ATemporaryOutputKeepsTheExtensionAndNamesItsProcess) {
    const std::string temporary = TemporaryOutputPath("D:\\Out\\keep.me.webm", 4242);
    EXPECT_EQ(temporary, "D:\\Out\\keep.me.kesto-part-4242.webm");
    EXPECT_EQ(TemporaryOutputOwner(temporary.substr(7)), 4242u);
    EXPECT_EQ(TemporaryOutputOwner("noext.kesto-part-7"), 7u);
    for (const char* other :
         {"keep.webm", "keep.kesto-part-.webm", "keep.kesto-part-12x.webm", "keep.kesto-part-12.webm.txt",
          ".kesto-part-3.mp4", "a.kesto-part-12345678901.mp4"})
        EXPECT_FALSE(TemporaryOutputOwner(other)) << other;
}
