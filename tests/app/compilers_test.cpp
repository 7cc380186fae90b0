// This build's program against another compiler's build of the same script.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/resource.h"
#include "tests/support/program_resources.h"
#include "tests/support/scratch_directory.h"

namespace {

TEST(BothCompilers, MakeTheSameDialogManifestAndVersionResource) {
  ProgramResources ours(BinaryPath("lumoradine.exe"));
  ProgramResources theirs(COMPARED_PROGRAM);
  ASSERT_TRUE(ours.loaded());
  ASSERT_TRUE(theirs.loaded()) << COMPARED_PROGRAM << " is missing: build it first";

  const struct {
    LPCSTR type, name, what;
  } compared[] = {{RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN), "dialog template"},
                  {RT_MANIFEST, MAKEINTRESOURCEA(1), "manifest"},
                  {RT_VERSION, MAKEINTRESOURCEA(1), "version resource"}};
  for (const auto& resource : compared) {
    const std::string bytes = ours.Japanese(resource.type, resource.name);
    EXPECT_FALSE(bytes.empty()) << resource.what;
    EXPECT_TRUE(bytes == theirs.Japanese(resource.type, resource.name))
        << resource.what << " differs";
  }
}

}  // namespace
