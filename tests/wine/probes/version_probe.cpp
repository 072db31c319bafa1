// Prints what GetFileVersionInfoW / VerQueryValueW answer for a file, so that
// the portable version-resource reader can be held against the real API.
//
//   version_probe.exe <file> <string name>...
// Output, UTF-8, one fact a line:
//   none                      the file has no version information
//   fixed A.B.C.D | fixed -   VS_FIXEDFILEINFO's file version, or none
//   translation LANG CP       each pair of \VarFileInfo\Translation, in hex
//   string NAME=VALUE         each name found in the first pair's table
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text, int length) {
  std::string bytes(static_cast<std::size_t>(length) * 4, '\0');
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(n > 0 ? n : 0);
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(argv[1], &handle);
  std::vector<unsigned char> block(size);
  if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, block.data())) {
    std::printf("none\n");
    return 0;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
      length >= sizeof *fixed) {
    std::printf("fixed %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
  } else {
    std::printf("fixed -\n");
  }
  WORD* pairs = nullptr;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs),
                      &length)) {
    length = 0;
  }
  for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
    std::printf("translation %04x %04x\n", pairs[i], pairs[i + 1]);
  }
  if (length < 2 * sizeof(WORD)) return 0;
  for (int i = 2; i < argc; ++i) {
    wchar_t sub_block[256];
    swprintf(sub_block, 256, L"\\StringFileInfo\\%04x%04x\\%ls", pairs[0], pairs[1], argv[i]);
    wchar_t* value = nullptr;
    UINT characters = 0;
    if (!VerQueryValueW(block.data(), sub_block, reinterpret_cast<void**>(&value), &characters)) {
      continue;
    }
    // The count may or may not include the terminating NUL.
    int n = 0;
    while (n < static_cast<int>(characters) && value[n] != L'\0') ++n;
    const std::string name = Utf8(argv[i], static_cast<int>(wcslen(argv[i])));
    std::printf("string %s=%s\n", name.c_str(), Utf8(value, n).c_str());
  }
  return 0;
}
