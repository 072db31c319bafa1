#include "platform/BTMemoryModule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/recording_image_host.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The Windows 7-Zip library images of the pinned npm package.
Bytes ReadDll(const std::string& arch) {
  const char* dir = std::getenv("REMEDOR_7ZIP_WIN_DIR");
  const std::string path = std::string(dir && *dir ? dir : REMEDOR_SOURCE_DIR "/build-deps/7zip") +
                           "/" + arch + "/7z.dll";
  std::ifstream in(path, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(bytes.empty()) << "missing " << path << " (tools/fetch-7zip.sh installs it)";
  return bytes;
}

template <class T>
T Get(const Bytes& b, std::size_t at) {
  T v;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}

// The test's own reading of the layout: sections and relocation sites.
struct Layout {
  bool is64 = false;
  std::uint64_t image_base = 0;
  struct Section {
    std::uint32_t rva, raw_size, raw_offset, characteristics;
  };
  std::vector<Section> sections;
  std::vector<std::uint32_t> relocation_sites;  // rva of each adjusted value
};

Layout ReadLayout(const Bytes& file) {
  Layout l;
  const auto nt = Get<std::uint32_t>(file, 0x3C);
  const std::size_t optional = nt + 24;
  l.is64 = Get<std::uint16_t>(file, optional) == 0x20B;
  l.image_base =
      l.is64 ? Get<std::uint64_t>(file, optional + 24) : Get<std::uint32_t>(file, optional + 28);
  const auto count = Get<std::uint16_t>(file, nt + 6);
  const std::size_t table = optional + Get<std::uint16_t>(file, nt + 20);
  for (int i = 0; i < count; ++i) {
    const std::size_t s = table + 40 * i;
    l.sections.push_back({Get<std::uint32_t>(file, s + 12), Get<std::uint32_t>(file, s + 16),
                          Get<std::uint32_t>(file, s + 20), Get<std::uint32_t>(file, s + 36)});
  }
  const std::size_t dirs = optional + (l.is64 ? 112 : 96);
  const auto reloc_rva = Get<std::uint32_t>(file, dirs + 8 * 5);
  const auto reloc_size = Get<std::uint32_t>(file, dirs + 8 * 5 + 4);
  auto file_offset = [&](std::uint32_t rva) -> std::size_t {
    for (const auto& s : l.sections) {
      if (rva >= s.rva && rva < s.rva + s.raw_size) return s.raw_offset + (rva - s.rva);
    }
    return 0;
  };
  for (std::size_t at = file_offset(reloc_rva), end = at + reloc_size; at + 8 <= end;) {
    const auto page = Get<std::uint32_t>(file, at);
    const auto block = Get<std::uint32_t>(file, at + 4);
    for (std::size_t e = at + 8; e < at + block; e += 2) {
      const auto entry = Get<std::uint16_t>(file, e);
      if ((entry >> 12) == 3 || (entry >> 12) == 10)
        l.relocation_sites.push_back(page + (entry & 0xFFF));
    }
    at += block;
  }
  return l;
}

class LoaderTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LoaderTest, AtThePreferredBaseSectionsArePlacedAndNothingIsRelocated) {
  const Bytes file = ReadDll(GetParam());
  ASSERT_FALSE(file.empty());
  const Layout layout = ReadLayout(file);
  RecordingImageHost host;
  ImageModule* module = LoadImageFromMemory(file.data(), file.size(), host);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->placement.address, layout.image_base);
  EXPECT_EQ(module->is64, layout.is64);
  // The code section is the file's bytes unchanged (imports land in the data sections).
  const auto& code = layout.sections.front();
  EXPECT_EQ(0, std::memcmp(module->placement.memory + code.rva, file.data() + code.raw_offset,
                           code.raw_size));
  EXPECT_EQ(host.entry_reasons, std::vector<std::uint32_t>{1});
  EXPECT_GT(host.protections, 0);
  EXPECT_EQ(host.function_tables, layout.is64 ? 1 : 0);
  FreeImageModule(module);
  EXPECT_EQ(module, nullptr);
  EXPECT_EQ(host.entry_reasons, (std::vector<std::uint32_t>{1, 0}));
  EXPECT_EQ(host.freed_libraries, static_cast<int>(host.loaded.size()));
  EXPECT_EQ(host.function_tables, 0);
  EXPECT_EQ(host.released, 1);
}

TEST_P(LoaderTest, AMovedImageHasEveryRelocationAdjustedAndNothingElse) {
  const Bytes file = ReadDll(GetParam());
  ASSERT_FALSE(file.empty());
  const Layout layout = ReadLayout(file);
  ASSERT_FALSE(layout.relocation_sites.empty());
  RecordingImageHost at_base, moved;
  moved.grant_preferred = false;
  ImageModule* a = LoadImageFromMemory(file.data(), file.size(), at_base);
  ImageModule* b = LoadImageFromMemory(file.data(), file.size(), moved);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->placement.address, RecordingImageHost::kMovedAddress);
  const std::uint64_t delta = b->placement.address - a->placement.address;
  const std::size_t width = layout.is64 ? 8 : 4;
  std::vector<bool> relocated(a->image_size, false);
  for (std::uint32_t site : layout.relocation_sites) {
    std::uint64_t before = 0, after = 0;
    std::memcpy(&before, a->placement.memory + site, width);
    std::memcpy(&after, b->placement.memory + site, width);
    const std::uint64_t mask = layout.is64 ? ~std::uint64_t{0} : 0xFFFFFFFFu;
    ASSERT_EQ(after, (before + delta) & mask) << "site " << site;
    for (std::size_t k = 0; k < width; ++k) relocated[site + k] = true;
  }
  // Outside the relocation sites and the headers' base field, the two images agree.
  const auto& code = layout.sections.front();
  for (std::size_t i = code.rva; i < code.rva + code.raw_size; ++i) {
    if (!relocated[i]) {
      ASSERT_EQ(a->placement.memory[i], b->placement.memory[i]) << "byte " << i;
    }
  }
  FreeImageModule(a);
  FreeImageModule(b);
}

TEST_P(LoaderTest, ExportsAreFoundByTheirExactName) {
  const Bytes file = ReadDll(GetParam());
  ASSERT_FALSE(file.empty());
  RecordingImageHost host;
  ImageModule* module = LoadImageFromMemory(file.data(), file.size(), host);
  ASSERT_NE(module, nullptr);
  const std::uint64_t create = FindImageExport(module, "CreateObject");
  EXPECT_GT(create, module->placement.address);
  EXPECT_LT(create, module->placement.address + module->image_size);
  EXPECT_EQ(FindImageExport(module, "createobject"), 0u);
  EXPECT_EQ(FindImageExport(module, "CreateObjec"), 0u);
  EXPECT_EQ(FindImageExport(nullptr, "CreateObject"), 0u);
  FreeImageModule(module);
}

TEST_P(LoaderTest, ImportsAreLinkedToWhatTheResolverAnswers) {
  const Bytes file = ReadDll(GetParam());
  ASSERT_FALSE(file.empty());
  RecordingImageHost host;
  ImageModule* module = LoadImageFromMemory(file.data(), file.size(), host);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(std::find(host.loaded.begin(), host.loaded.end(), "KERNEL32.dll"), host.loaded.end());
  // Some import address table slot holds the stand-in of a kernel function.
  const std::uint64_t stand_in = host.StandIn("GetLastError");
  ASSERT_NE(stand_in, 0u);
  bool found = false;
  const std::size_t width = module->is64 ? 8 : 4;
  for (std::size_t i = 0; i + width <= module->image_size && !found; i += width) {
    std::uint64_t v = 0;
    std::memcpy(&v, module->placement.memory + i, width);
    found = v == stand_in;
  }
  EXPECT_TRUE(found);
  FreeImageModule(module);
}

TEST_P(LoaderTest, AFailedLinkOrEntryFreesEverythingSetUp) {
  const Bytes file = ReadDll(GetParam());
  ASSERT_FALSE(file.empty());
  struct Case {
    const char* what;
    void (*arrange)(RecordingImageHost&);
  } cases[] = {
      {"unknown function", [](RecordingImageHost& h) { h.missing_functions = {"GetLastError"}; }},
      {"missing library", [](RecordingImageHost& h) { h.missing_libraries = {"KERNEL32.dll"}; }},
      {"entry refuses", [](RecordingImageHost& h) { h.entry_answer = 0; }},
  };
  for (const auto& c : cases) {
    RecordingImageHost host;
    c.arrange(host);
    EXPECT_EQ(LoadImageFromMemory(file.data(), file.size(), host), nullptr) << c.what;
    EXPECT_EQ(host.freed_libraries, static_cast<int>(host.loaded.size())) << c.what;
    EXPECT_EQ(host.released, 1) << c.what;
    EXPECT_EQ(host.function_tables, 0) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(SevenZip, LoaderTest, ::testing::Values("ia32", "x64"));

TEST(Loader, RefusesBytesThatAreNotAnImage) {
  const Bytes file = ReadDll("x64");
  ASSERT_GT(file.size(), 4096u);
  const auto nt = Get<std::uint32_t>(file, 0x3C);
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
  } cases[] = {
      {"no MZ", 0, 'X'},
      {"no PE signature", nt + 1, 'X'},
      {"PE signature without its zero bytes", nt + 2, 1},
      {"new header beyond the bytes", 0x3F, 0x7F},
      {"unknown optional-header magic", nt + 24, 0x77},
  };
  for (const auto& c : cases) {
    Bytes bad = file;
    bad[c.offset] = c.value;
    RecordingImageHost host;
    EXPECT_EQ(LoadImageFromMemory(bad.data(), bad.size(), host), nullptr) << c.what;
    EXPECT_EQ(host.released, 0) << c.what;
  }
}

TEST(Loader, TruncatedImagesFailCleanly) {
  const Bytes file = ReadDll("ia32");
  ASSERT_FALSE(file.empty());
  for (std::size_t length : {std::size_t{0}, std::size_t{2}, std::size_t{0x40}, std::size_t{0x200},
                             std::size_t{0x1000}, file.size() / 2, file.size() - 1}) {
    RecordingImageHost host;
    EXPECT_EQ(LoadImageFromMemory(file.data(), length, host), nullptr) << length;
    EXPECT_EQ(host.freed_libraries, static_cast<int>(host.loaded.size()));
  }
}

}  // namespace
}  // namespace platform
