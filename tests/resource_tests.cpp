// The program file as Windows sees it: PE header, import table and resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {
std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.rfind(L'\\'));
  return folder.substr(0, folder.rfind(L'\\')) + L"\\hostsfix.exe";
}

class ProgramFile : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }

  std::string Resource(const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(module_, name, type);
    if (!found) return "";
    auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
    return std::string(data, SizeofResource(module_, found));
  }

  HMODULE module_ = nullptr;
};

std::vector<char> ReadWholeFile(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::vector<char> bytes(file == INVALID_HANDLE_VALUE ? 0 : GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!bytes.empty()) ::ReadFile(file, bytes.data(), bytes.size(), &read, nullptr);
  bytes.resize(read);
  CloseHandle(file);
  return bytes;
}
}  // namespace

TEST(ProgramImage, IsA32BitGuiProgramImportingOnlySystemDlls) {
  std::vector<char> image = ReadWholeFile(ProgramPath());
  ASSERT_GT(image.size(), 4096u);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image.data());
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
  EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
  EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

  auto* sections = IMAGE_FIRST_SECTION(nt);
  auto offset = [&](DWORD rva) -> const char* {
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& s = sections[i];
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize) {
        return image.data() + s.PointerToRawData + (rva - s.VirtualAddress);
      }
    }
    return nullptr;
  };
  const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL",   "GDI32.DLL",
                                        "OLE32.DLL",    "OLEAUT32.DLL", "ADVAPI32.DLL",
                                        "SHELL32.DLL",  "MSVCRT.DLL"};
  DWORD importsRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(offset(importsRva));
  ASSERT_NE(import, nullptr);
  int count = 0;
  for (; import->Name; ++import, ++count) {
    std::string name = offset(import->Name);
    for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(system.count(name)) << name << " is not a Windows system DLL";
  }
  EXPECT_GT(count, 0);
}

TEST_F(ProgramFile, ManifestAsksForElevationAndCommonControls6) {
  std::string manifest = Resource(MAKEINTRESOURCEW(1), RT_MANIFEST);
  const char* elements[] = {
      "type=\"win32\"",
      "version=\"5.2.0.0\" processorArchitecture=\"x86\"",
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
      "processorArchitecture=\"x86\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"",
      "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
  };
  for (const char* element : elements) {
    EXPECT_NE(manifest.find(element), std::string::npos) << element;
  }
}

TEST_F(ProgramFile, VersionInformationIsOnePointZeroInChinesePrc) {
  std::wstring path = ProgramPath();
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 0x04B0);

  auto text = [&](const wchar_t* field) {
    wchar_t* value = nullptr;
    std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + field;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
      return std::wstring();
    }
    return std::wstring(value);
  };
  EXPECT_EQ(text(L"FileVersion"), L"1.0.0.0");
  EXPECT_EQ(text(L"ProductVersion"), L"1.0.0.0");
  for (const wchar_t* field :
       {L"FileDescription", L"ProductName", L"CompanyName", L"Comments", L"LegalCopyright"}) {
    EXPECT_FALSE(text(field).empty()) << field;
  }
}

TEST_F(ProgramFile, IconGroupHoldsEight32BitSizes) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
  };
  struct GroupHeader {
    WORD reserved, type, count;
  };
#pragma pack(pop)
  std::string group = Resource(L"DEFAULT_ICON", RT_GROUP_ICON);
  ASSERT_GE(group.size(), sizeof(GroupHeader));
  auto* header = reinterpret_cast<const GroupHeader*>(group.data());
  ASSERT_EQ(header->count, 8);
  ASSERT_EQ(group.size(), sizeof(GroupHeader) + 8 * sizeof(GroupEntry));
  auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
  std::set<int> sides;
  for (int i = 0; i < 8; ++i) {
    int side = entries[i].width ? entries[i].width : 256;
    EXPECT_EQ(entries[i].width, entries[i].height);
    EXPECT_EQ(entries[i].bitCount, 32) << side;
    EXPECT_FALSE(Resource(MAKEINTRESOURCEW(entries[i].id), RT_ICON).empty()) << side;
    sides.insert(side);
  }
  EXPECT_EQ(sides, (std::set<int>{16, 24, 32, 48, 64, 96, 128, 256}));
}
