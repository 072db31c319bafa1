#include "repairs/texture_folders.h"

#include <gtest/gtest.h>

namespace repairs {
namespace {

TEST(TextureFolders, MessagesOfTheParentFolders) {
  ASSERT_EQ(TextureParentFolders().size(), 10u);
  EXPECT_EQ(MissingMarkerMessage(TextureParentFolders().front()),
            "Certains dossiers dans ..\\MAPS\\ n'ont pas pu être réparer car il manque un(des) "
            "fichier(s) .rep");
  EXPECT_EQ(MissingMarkerMessage(TextureParentFolders().back()),
            "Certains dossiers dans ..\\MAPS\\SuperS\\S5 n'ont pas pu être réparer car il manque "
            "un(des) fichier(s) .rep");
  EXPECT_EQ(NameFromMarker("2_track-10_M_textures.rep"), "2_track-10_M_textures");
}

}  // namespace
}  // namespace repairs
