// The version resource as Explorer's Properties -> Details reads it, through
// the ANSI calls: under the tests' code page 932 that also proves the strings
// are stored as the UTF-16 they claim to be.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "tests/support/scratch_directory.h"

namespace {

class VersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string program = BinaryPath("lumoradine.exe");
    DWORD ignored = 0;
    info_.resize(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    ASSERT_FALSE(info_.empty());
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, info_.size(), info_.data()));
  }

  // The bytes at sub_block, or nothing.
  std::string Query(const std::string& sub_block) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info_.data(), sub_block.c_str(), &value, &length)) return "<missing>";
    return std::string(static_cast<const char*>(value), length);
  }
  // A string value, without the terminator that VerQueryValueA counts.
  std::string Text(const std::string& name) {
    return Query("\\StringFileInfo\\041104B0\\" + name).c_str();
  }

  std::vector<char> info_;
};

std::wstring FromAnsi(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), text.size(), &wide[0], wide.size()));
  return wide;
}

TEST_F(VersionResource, FixedPartCarriesTheProjectVersion) {
  unsigned major = 0, minor = 0, patch = 0;
  ASSERT_EQ(3, sscanf(LUMORADINE_PROJECT_VERSION, "%u.%u.%u", &major, &minor, &patch));
  const std::string fixed = Query("\\");
  ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), fixed.size());
  const VS_FIXEDFILEINFO* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(fixed.data());
  EXPECT_EQ(MAKELONG(minor, major), info->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(0, patch), info->dwFileVersionLS);
  EXPECT_EQ(info->dwFileVersionMS, info->dwProductVersionMS);
  EXPECT_EQ(info->dwFileVersionLS, info->dwProductVersionLS);
  EXPECT_EQ(0u, info->dwFileFlags) << "no debug, pre-release or patched build";
  EXPECT_EQ(static_cast<DWORD>(VOS_NT_WINDOWS32), info->dwFileOS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), info->dwFileType);
}

// One translation, Japanese in UTF-16, naming the one string block there is.
TEST_F(VersionResource, TranslatesOnlyToJapaneseInUnicode) {
  const WORD japanese_unicode[] = {0x0411, 1200};
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(japanese_unicode), sizeof japanese_unicode),
            Query("\\VarFileInfo\\Translation"));
}

TEST_F(VersionResource, StringsNameTheProgramAndItsVersion) {
  EXPECT_EQ("Lumoradine", Text("ProductName"));
  EXPECT_EQ(LUMORADINE_PROJECT_VERSION, Text("ProductVersion"));
  EXPECT_EQ(LUMORADINE_PROJECT_VERSION, Text("FileVersion"));
  EXPECT_EQ("lumoradine.exe", Text("OriginalFilename"));
  EXPECT_EQ("lumoradine", Text("InternalName"));
  // プロセッサ周波数の表示: "shows the processor frequencies".
  EXPECT_EQ(L"\u30D7\u30ED\u30BB\u30C3\u30B5\u5468\u6CE2\u6570\u306E\u8868\u793A",
            FromAnsi(Text("FileDescription")));
}

}  // namespace
