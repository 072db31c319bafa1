#include "components/Profil.h"

#include <gtest/gtest.h>

#include <string>

#include "components/profile_instances.h"
#include "platform/posix/prefix_files.h"
#include "platform/posix/prefix_files_test_fixture.h"
#include "platform/posix/prefix_profile.h"

namespace {

using platform::posix::PrefixFileSystem;
using platform::posix::PrefixProfileStrings;

class TProfileTest : public platform::posix::TempPrefix {
 protected:
  void SetUp() override {
    TempPrefix::SetUp();
    MakeFile("Games/RBR/RichardBurnsRally.ini",
             "[Settings]\r\nResolutionX=1024\r\nEmpty=\r\nLong=" + std::string(200, 'v') + "\r\n");
    files_ = std::make_unique<PrefixFileSystem>(root_);
    strings_ = std::make_unique<PrefixProfileStrings>(*files_);
    profile_ = std::make_unique<TProfile>(*strings_);
    profile_->IniFileName = "C:\\Games\\RBR\\RichardBurnsRally.ini";
    profile_->Category = "Settings";
  }

  std::unique_ptr<PrefixFileSystem> files_;
  std::unique_ptr<PrefixProfileStrings> strings_;
  std::unique_ptr<TProfile> profile_;
};

TEST_F(TProfileTest, ReadsWithTheDefaultRules) {
  const struct {
    const char* key;
    const char* default_value;
    const char* file;
    const char* data;
    bool error;
  } cases[] = {
      {"ResolutionX", "", nullptr, "1024", false},
      {"RESOLUTIONX", "", nullptr, "1024", false},  // names ignore letter case
      {"Missing", "0", nullptr, "0", false},
      {"Missing", "", nullptr, "", true},
      {"Empty", "", nullptr, "", true},
      {"Empty", "0", nullptr, "", true},  // present: the default is not used
      {"ResolutionX", "0", "C:\\Games\\RBR\\none.ini", "0", false},
      {"ResolutionX", "", "C:\\Games\\RBR\\none.ini", "", true},
  };
  for (const auto& c : cases) {
    if (c.file) profile_->IniFileName = c.file;
    profile_->KeyName = c.key;
    profile_->DefaultValue = c.default_value;
    profile_->DataString = "previous";
    EXPECT_EQ(profile_->Execute(), !c.error) << c.key;
    EXPECT_EQ(profile_->DataString, c.data) << c.key;
    EXPECT_EQ(profile_->Error, c.error) << c.key;
  }
}

TEST_F(TProfileTest, NothingIsReadWithoutFileSectionOrKey) {
  for (int missing = 0; missing < 3; ++missing) {
    TProfile profile(*strings_);
    profile.IniFileName = missing == 0 ? "" : "C:\\Games\\RBR\\RichardBurnsRally.ini";
    profile.Category = missing == 1 ? "" : "Settings";
    profile.KeyName = missing == 2 ? "" : "ResolutionX";
    profile.DataString = "kept";
    EXPECT_FALSE(profile.Execute());
    EXPECT_TRUE(profile.Error);
    EXPECT_EQ(profile.DataString, "kept");
  }
}

TEST_F(TProfileTest, PropertiesHoldAtMost128CharactersButTheFilePathIsWhole) {
  profile_->KeyName = "Long";
  EXPECT_TRUE(profile_->Execute());
  EXPECT_EQ(profile_->DataString, std::string(128, 'v'));

  profile_->Category = std::string(200, 'c');
  EXPECT_EQ(profile_->Category.str().size(), 128u);
  std::string accents, cut;
  for (int i = 0; i < 130; ++i) accents += "é";
  for (int i = 0; i < 128; ++i) cut += "é";
  profile_->DefaultValue = accents;  // characters are counted, not bytes
  EXPECT_EQ(profile_->DefaultValue, cut);

  // A game installed deep down: the whole path reaches the platform.
  const std::string deep = "Jeux/" + std::string(60, 'd') + "/" + std::string(60, 'e') +
                           "/Richard Burns Rally/RichardBurnsRally.ini";
  MakeFile(deep, "[Settings]\r\nResolutionX=1280\r\n");
  TProfile profile(*strings_);
  profile.IniFileName = "C:\\" + deep;
  ASSERT_GT(profile.IniFileName.size(), 128u);
  profile.Category = "Settings";
  profile.KeyName = "ResolutionX";
  EXPECT_TRUE(profile.Execute());
  EXPECT_EQ(profile.DataString, "1280");
}

TEST_F(TProfileTest, WritesDataString) {
  profile_->Action = paWrite;
  profile_->KeyName = "ResolutionY";
  profile_->DataString = "768";
  EXPECT_TRUE(profile_->Execute());
  EXPECT_FALSE(profile_->Error);
  profile_->Action = paRead;
  profile_->DataString = "";
  EXPECT_TRUE(profile_->Execute());
  EXPECT_EQ(profile_->DataString, "768");

  profile_->Action = paWrite;
  profile_->IniFileName = "C:\\NoFolder\\x.ini";
  EXPECT_FALSE(profile_->Execute());
  EXPECT_TRUE(profile_->Error);
}

// What reaches the platform: a 256-character buffer and, for an empty
// default, a single blank.
class RecordingStrings final : public platform::ProfileStrings {
 public:
  std::string GetString(std::string_view, std::string_view, std::string_view fallback,
                        std::size_t buffer_size, std::string_view) override {
    last_fallback = fallback;
    last_size = buffer_size;
    return "";
  }
  std::vector<std::string> GetKeyNames(std::string_view, std::string_view) override { return {}; }
  platform::Status WriteString(std::string_view, std::string_view, std::string_view,
                               std::string_view) override {
    return platform::MakeError(platform::Errc::kNotSupported, "WritePrivateProfileString", "");
  }
  std::string last_fallback;
  std::size_t last_size = 0;
};

TEST(TProfile, AsksWithABufferOf256AndASingleBlankDefault) {
  RecordingStrings strings;
  TProfile profile(strings);
  profile.IniFileName = "x.ini";
  profile.Category = "S";
  profile.KeyName = "k";
  EXPECT_FALSE(profile.Execute());  // nothing received
  EXPECT_EQ(strings.last_fallback, " ");
  EXPECT_EQ(strings.last_size, 256u);
  profile.DefaultValue = "0";
  EXPECT_FALSE(profile.Execute());
  EXPECT_EQ(strings.last_fallback, "0");
}

TEST(TProfileInstances, AsOnTheWindow) {
  RecordingStrings strings;
  TProfile profile1(strings), profile3(strings);
  Configure(profile1, kProfileInstances[0]);
  Configure(profile3, kProfileInstances[2]);
  EXPECT_EQ(profile1.Category, "MD5");
  EXPECT_EQ(profile1.DefaultValue, "********************");
  EXPECT_EQ(profile3.KeyName, "nbre");
  EXPECT_EQ(profile3.IniFileName, "Config_P.ini");
  EXPECT_EQ(kProfileInstances[1].DefaultValue, "0");
  EXPECT_EQ(kProfileInstances[3].KeyName, "enableFMOD");
}

}  // namespace
