// An ImageHost that runs no code: memory is a heap buffer, imports resolve to
// stand-in addresses, the entry answers what the test says. It records what
// the loader asked, so tests and the fuzz target check placement, linking and
// release without executing the image.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/BTMemoryModule.h"

namespace platform {

class RecordingImageHost : public ImageHost {
 public:
  // Where the image runs when its preferred base is refused.
  static constexpr std::uint64_t kMovedAddress = 0x7F0000000000;

  bool grant_preferred = true;
  std::size_t max_size = std::size_t{256} << 20;
  int entry_answer = 1;
  std::set<std::string> missing_libraries;
  std::set<std::string> missing_functions;

  std::vector<std::string> loaded;
  int freed_libraries = 0;
  int released = 0;
  int protections = 0;
  std::vector<std::uint32_t> entry_reasons;
  int function_tables = 0;

  ImagePlacement Reserve(std::uint64_t preferred, std::size_t size) override {
    if (size > max_size || (preferred != 0 && !grant_preferred)) return {};
    buffer_ = std::make_unique<std::uint8_t[]>(size);  // zero-filled
    return {buffer_.get(), preferred != 0 ? preferred : kMovedAddress};
  }
  bool Protect(std::uint8_t*, std::size_t, std::uint32_t) override {
    ++protections;
    return true;
  }
  void Decommit(std::uint8_t*, std::size_t) override {}
  void Release(const ImagePlacement&, std::size_t) override {
    ++released;
    buffer_.reset();
  }
  void* LoadSystemLibrary(const char* name) override {
    if (missing_libraries.count(name)) return nullptr;
    loaded.emplace_back(name);
    return reinterpret_cast<void*>(loaded.size());
  }
  std::uint64_t FindProcedure(void*, const char* name, std::uint16_t ordinal) override {
    const std::string key = name ? name : "#" + std::to_string(ordinal);
    if (missing_functions.count(key)) return 0;
    auto [it, added] = stand_ins_.emplace(key, 0x50000000 + 16 * stand_ins_.size());
    return it->second;
  }
  void FreeSystemLibrary(void*) override { ++freed_libraries; }
  int CallEntry(const ImagePlacement&, std::uint32_t, std::uint32_t reason) override {
    entry_reasons.push_back(reason);
    return entry_answer;
  }
  bool AddFunctionTable(const ImagePlacement&, std::uint32_t, std::uint32_t) override {
    ++function_tables;
    return true;
  }
  void DeleteFunctionTable(const ImagePlacement&, std::uint32_t) override { --function_tables; }

  // The address an import was linked to.
  std::uint64_t StandIn(const std::string& name) const {
    auto it = stand_ins_.find(name);
    return it == stand_ins_.end() ? 0 : it->second;
  }

 private:
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::map<std::string, std::uint64_t> stand_ins_;
};

}  // namespace platform
