#include "platform/posix/memory_shared_object.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/embedded_library.h"

namespace platform::posix {
namespace {

TEST(MemorySharedObject, TheEmbeddedLibraryLoadsWithoutAFile) {
  const auto image = platform::EmbeddedArchiveLibrary();
  ASSERT_GT(image.size(), 4u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data()) + 1, 3), "ELF");
  void* handle = LoadSharedObjectFromMemory(image);
  ASSERT_NE(handle, nullptr) << dlerror();
  void* create = dlsym(handle, "CreateObject");
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(dlsym(handle, "createobject"), nullptr);
  // It came from the in-memory file, not from a file on disk.
  Dl_info info{};
  ASSERT_NE(dladdr(create, &info), 0);
  EXPECT_EQ(std::string(info.dli_fname).rfind("/proc/self/fd/", 0), 0u) << info.dli_fname;
  dlclose(handle);
}

TEST(MemorySharedObject, BytesThatAreNoLibraryFail) {
  const std::uint8_t junk[] = {0x7F, 'E', 'L', 'F', 0, 1, 2, 3};
  EXPECT_EQ(LoadSharedObjectFromMemory(junk), nullptr);
  EXPECT_EQ(LoadSharedObjectFromMemory({}), nullptr);
}

}  // namespace
}  // namespace platform::posix
