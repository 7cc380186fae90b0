// The dialog template and manifest as the built program carries them.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <tuple>

#include "app/resource.h"
#include "tests/support/pe_image.h"
#include "tests/support/program_resources.h"
#include "tests/support/scratch_directory.h"

namespace {

// Reads a DLGTEMPLATEEX field by field.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : at_(data), start_(data) {}

  WORD Word() { return Read<WORD>(); }
  DWORD Dword() { return Read<DWORD>(); }
  BYTE Byte() { return Read<BYTE>(); }
  std::wstring String() {
    std::wstring text(reinterpret_cast<const wchar_t*>(at_));
    at_ += (text.size() + 1) * sizeof(wchar_t);
    return text;
  }
  // A name or an ordinal, the ordinal as "#N".
  std::wstring NameOrOrdinal() {
    if (*reinterpret_cast<const WORD*>(at_) != 0xFFFF) return String();
    Word();
    return L"#" + std::to_wstring(Word());
  }
  void AlignToDword() { at_ = start_ + ((at_ - start_ + 3) & ~3); }

 private:
  template <typename T>
  T Read() {
    T value;
    memcpy(&value, at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  const BYTE* at_;
  const BYTE* start_;
};

struct Control {
  DWORD style;
  short x, y, cx, cy;
  DWORD id;
  std::wstring window_class, text;

  bool operator==(const Control& other) const {
    return std::tie(style, x, y, cx, cy, id, window_class, text) ==
           std::tie(other.style, other.x, other.y, other.cx, other.cy, other.id, other.window_class,
                    other.text);
  }
};

void PrintTo(const Control& control, std::ostream* out) {
  *out << "id " << control.id << " style 0x" << std::hex << control.style << std::dec << " at "
       << control.x << "," << control.y << " size " << control.cx << "x" << control.cy << " class "
       << ::testing::PrintToString(control.window_class) << " text "
       << ::testing::PrintToString(control.text);
}

Control ReadControl(TemplateReader* reader) {
  reader->AlignToDword();
  Control control;
  reader->Dword();  // help id
  EXPECT_EQ(0u, reader->Dword()) << "extended style";
  control.style = reader->Dword();
  control.x = reader->Word(), control.y = reader->Word();
  control.cx = reader->Word(), control.cy = reader->Word();
  control.id = reader->Dword();
  control.window_class = reader->NameOrOrdinal();
  control.text = reader->NameOrOrdinal();
  reader->Word();  // no creation data
  return control;
}

class Resources : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program_.loaded()); }

  ProgramResources program_{BinaryPath("lumoradine.exe")};
};

TEST_F(Resources, MainDialogTemplateInJapanese) {
  const std::string dialog = program_.Japanese(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN));
  ASSERT_FALSE(dialog.empty());
  TemplateReader reader(reinterpret_cast<const BYTE*>(dialog.data()));
  EXPECT_EQ(1, reader.Word());
  EXPECT_EQ(0xFFFF, reader.Word());
  EXPECT_EQ(0u, reader.Dword()) << "help id";
  EXPECT_EQ(0u, reader.Dword()) << "extended style";
  EXPECT_EQ(0x90C808CCu, reader.Dword());
  EXPECT_EQ(2, reader.Word()) << "controls";
  EXPECT_EQ(0, reader.Word());
  EXPECT_EQ(0, reader.Word());
  EXPECT_EQ(348, reader.Word());
  EXPECT_EQ(162, reader.Word());
  EXPECT_EQ(L"", reader.NameOrOrdinal()) << "menu";
  EXPECT_EQ(L"", reader.NameOrOrdinal()) << "class";
  EXPECT_EQ(L"Lumoradine", reader.String());
  EXPECT_EQ(8, reader.Word());
  EXPECT_EQ(400, reader.Word());
  EXPECT_EQ(0, reader.Byte()) << "italic";
  EXPECT_EQ(1, reader.Byte()) << "charset";
  EXPECT_EQ(L"Ms Shell Dlg 2", reader.String());

  // Classes as the predefined atoms of LISTBOX (131) and BUTTON (128); the button reads 取得.
  EXPECT_EQ((Control{0x50A10101u, 2, 1, 344, 139, IDC_LIST, L"#131", L""}), ReadControl(&reader));
  EXPECT_EQ((Control{0x50010000u, 295, 145, 50, 14, IDC_GET, L"#128", L"\u53D6\u5F97"}),
            ReadControl(&reader));
}

TEST_F(Resources, ManifestAsksForNothingButTheInvokersRights) {
  const std::string manifest = program_.Japanese(RT_MANIFEST, MAKEINTRESOURCEA(1));
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));
  EXPECT_NE(std::string::npos, manifest.find("uiAccess=\"false\""));
  EXPECT_EQ(std::string::npos, manifest.find("Common-Controls"));
  EXPECT_EQ(std::string::npos, manifest.find("dependency"));
  EXPECT_EQ(std::string::npos, manifest.find("dpiAware"));
  EXPECT_EQ(std::string::npos, manifest.find("supportedOS"));
}

// Mapped as an image, unlinked: the headers and the import table as Windows sees them.
TEST(Executable, IsA32BitGuiProgramImportingOnlySystemDlls) {
  HMODULE program =
      LoadLibraryExA(BinaryPath("lumoradine.exe").c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(nullptr, program);
  const IMAGE_NT_HEADERS* nt = NtHeaders(program);
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt->FileHeader.Machine);
  EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, nt->OptionalHeader.Magic);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, nt->OptionalHeader.Subsystem);

  // DLLs that every Windows has; never a compiler runtime such as libstdc++ or libgcc.
  const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL",
                                        "ADVAPI32.DLL", "OLE32.DLL",  "OLEAUT32.DLL",
                                        "MSVCRT.DLL",   "WINMM.DLL"};
  const auto imports = Imports(program);
  EXPECT_FALSE(imports.empty());
  for (const IMAGE_IMPORT_DESCRIPTOR* module : imports) {
    std::string name = ImportName(program, module);
    CharUpperA(&name[0]);
    EXPECT_EQ(1u, system.count(name)) << name;
  }
  FreeLibrary(program);
}

}  // namespace
