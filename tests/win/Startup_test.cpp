// Checks the hardened start under Wine: system libraries, preloaded or loaded later, come from
// the system folder only, so a DLL planted beside a downloaded installer is never loaded.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestInstaller.h"
#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "util/win/WinHandles.h"

namespace {

// Where the planted DLL must be mapped (it carries no relocations): how a test tells it apart
// from a system library, since the system may name the module it maps after the file it found.
constexpr DWORD kPlantedBase = 0x6F000000;

// The smallest loadable DLL: one code section whose entry point returns TRUE.
std::string PlantedDll() {
  std::string image(0x400, '\0');
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image.data());
  dos->e_magic = IMAGE_DOS_SIGNATURE;
  dos->e_lfanew = 0x40;
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(image.data() + 0x40);
  nt->Signature = IMAGE_NT_SIGNATURE;
  nt->FileHeader.Machine = IMAGE_FILE_MACHINE_I386;
  nt->FileHeader.NumberOfSections = 1;
  nt->FileHeader.SizeOfOptionalHeader = sizeof(IMAGE_OPTIONAL_HEADER32);
  nt->FileHeader.Characteristics = IMAGE_FILE_EXECUTABLE_IMAGE | IMAGE_FILE_32BIT_MACHINE |
                                   IMAGE_FILE_DLL | IMAGE_FILE_RELOCS_STRIPPED;
  auto& opt = nt->OptionalHeader;
  opt.Magic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
  opt.SizeOfCode = 0x200;
  opt.AddressOfEntryPoint = 0x1000;
  opt.BaseOfCode = 0x1000;
  opt.BaseOfData = 0x2000;
  opt.ImageBase = kPlantedBase;
  opt.SectionAlignment = 0x1000;
  opt.FileAlignment = 0x200;
  opt.MajorOperatingSystemVersion = 4;
  opt.MajorSubsystemVersion = 4;
  opt.SizeOfImage = 0x2000;
  opt.SizeOfHeaders = 0x200;
  opt.Subsystem = IMAGE_SUBSYSTEM_WINDOWS_GUI;
  opt.SizeOfStackReserve = 0x100000;
  opt.SizeOfStackCommit = 0x1000;
  opt.SizeOfHeapReserve = 0x100000;
  opt.SizeOfHeapCommit = 0x1000;
  opt.NumberOfRvaAndSizes = IMAGE_NUMBEROF_DIRECTORY_ENTRIES;
  auto* section =
      reinterpret_cast<IMAGE_SECTION_HEADER*>(image.data() + 0x40 + sizeof(IMAGE_NT_HEADERS32));
  std::memcpy(section->Name, ".text", 5);
  section->Misc.VirtualSize = 0x10;
  section->VirtualAddress = 0x1000;
  section->SizeOfRawData = 0x200;
  section->PointerToRawData = 0x200;
  section->Characteristics = IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_MEM_READ;
  const unsigned char entry[] = {0xB8, 0x01, 0x00, 0x00, 0x00, 0xC2, 0x0C, 0x00};  // return TRUE
  std::memcpy(image.data() + 0x200, entry, sizeof(entry));
  return image;
}

// The preloads, and the common controls library the main window binds at run time.
const char* const kPlanted[] = {"shell32.dll", "USP10.dll", "MSLS31.dll", "RICHED32.DLL",
                                "comctl32.dll"};

struct Module {
  std::string path;
  DWORD base = 0;
};

std::vector<Module> ModulesOf(DWORD processId) {
  std::vector<Module> modules;
  const win::InvalidValueHandle<win::CloseHandleFn> snap(
      CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
  if (!snap) return modules;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL ok = Module32First(snap.get(), &entry); ok; ok = Module32Next(snap.get(), &entry))
    modules.push_back(
        {entry.szExePath, static_cast<DWORD>(reinterpret_cast<uintptr_t>(entry.modBaseAddr))});
  return modules;
}

TEST(Startup, ThePlantedTestDllIsLoadable) {
  // Without this the other checks would prove nothing.
  wintest::TempFolder folder;
  const std::string dll = folder.Write("planted.dll", PlantedDll());
  HMODULE module = LoadLibraryA(dll.c_str());
  ASSERT_NE(module, nullptr) << GetLastError();
  FreeLibrary(module);
}

TEST(Startup, LaterLoadsByNameIgnoreTheProgramsFolder) {
  struct Case {
    const char* mode;
    const char* library;
    DWORD want;  // 0 nothing loaded, 1 the planted DLL, 2 a system library
  } cases[] = {
      // The unsafe order this start guards against: the program's folder comes first.
      {"plain", "tarvo_planted.dll", 1},    {"hardened", "MSLS31.dll", 2},
      {"hardened", "tarvo_planted.dll", 0}, {"startup", "MSLS31.dll", 2},
      {"startup", "tarvo_planted.dll", 0},  {"hardened", "RICHED32.DLL", 2},
      {"startup", "USP10.dll", 2},
  };
  wintest::TempFolder folder;
  const std::string probe = folder.File("load_probe.exe");
  ASSERT_TRUE(CopyFileA(wintest::BesideTests("load_probe.exe").c_str(), probe.c_str(), FALSE));
  for (const char* name : kPlanted) folder.Write(name, PlantedDll());
  folder.Write("tarvo_planted.dll", PlantedDll());
  for (const auto& c : cases) {
    EXPECT_EQ(wintest::RunAndWait("\"" + probe + "\" " + c.mode + " " + c.library, 30000), c.want)
        << c.mode << " " << c.library;
  }
}

TEST(Startup, PreloadsComeFromTheSystemFolderOnly) {
  wintest::TempFolder folder;
  for (const char* name : kPlanted) folder.Write(name, PlantedDll());
  const std::string path = folder.File("setup.exe");
  ASSERT_TRUE(wintest::WriteInstaller(path, wintest::InstallerSpec{}));
  wintest::StubProcess stub("\"" + path + "\"");
  ASSERT_NE(wintest::WaitForWindowClass(path, 20000), nullptr);

  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const auto modules = ModulesOf(stub.Id());
  ASSERT_FALSE(modules.empty());
  bool richEdit = false;
  for (const auto& module : modules) {
    EXPECT_NE(module.base, kPlantedBase) << "the planted DLL was loaded as " << module.path;
    if (_stricmp(module.path.c_str(), (std::string(system) + "\\riched32.dll").c_str()) == 0)
      richEdit = true;
  }
  EXPECT_TRUE(richEdit) << "the preloaded rich-edit library stays loaded";
}

}  // namespace
