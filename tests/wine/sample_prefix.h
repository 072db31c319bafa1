// A test on the sample machine under Wine. SetUp makes a fresh folder below
// /tmp and, in it, a copy of the run's prefix ($REMEDOR_WINEPREFIX) with the
// sample machine laid over it and Remedor.exe of the Windows build
// ($REMEDOR_WIN_BUILD, else <source>/build-win) in its tool folder
// (tools/make_sample_wine_prefix.py). TearDown stops that prefix's wineserver
// and removes the folder. Without $REMEDOR_WINEPREFIX the test is skipped.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace wine_test {

class SamplePrefixTest : public ::testing::Test {
 protected:
  // `tag` names the test's folder; `tool_folder` is below drive_c (the sample
  // machine's own when empty).
  explicit SamplePrefixTest(std::string tag, std::string tool_folder = {})
      : tag_(std::move(tag)), tool_place_(std::move(tool_folder)) {}

  // A fixture's own SetUp calls this first and returns when the test was
  // skipped or failed (IsSkipped(), HasFatalFailure()).
  void SetUp() override;
  void TearDown() override;

  // A shell command run from `folder` (the test's folder when empty) with the
  // sample machine's prefix as WINEPREFIX, stopped after ten minutes; its
  // standard output.
  std::string Wine(const std::string& command, const std::filesystem::path& folder = {}) const;

  std::filesystem::path win_build_;  // the Windows build's folder
  std::filesystem::path work_;       // the test's own folder
  std::filesystem::path prefix_;     // the sample machine's prefix, below work_
  std::string tool_exe_;             // Remedor.exe's Windows path in it

 private:
  std::string tag_, tool_place_;
};

}  // namespace wine_test
