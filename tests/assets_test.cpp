#include "fixture.h"
#include "kv_assets.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

// A sheet whose every pixel tells where it stands: red = x mod 256, green = y mod 256, blue = x div 256.
void WriteCoordinateSheet(const std::string& Name, int W, int H) {
  TArt A(W, H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) A.Put(X, Y, uint32_t(X % 256) << 16 | uint32_t(Y % 256) << 8 | uint32_t(X / 256));
  SaveArtPNG(A, Name);
}

struct ArtworkTest : ::testing::Test {
  std::string Folder;
  void SetUp() override { Folder = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name()); }
  void TearDown() override { CloseArtwork(); }
};

}  // namespace

TEST_F(ArtworkTest, WithoutSheetsNothingIsIllustrated) {
  OpenArtwork(Folder + "/no-such-folder");
  EXPECT_FALSE(ArtworkReady());
  EXPECT_FALSE(TerrainSpriteReady());
  TArt A(8, 8);
  A.Fill(0, 0, 8, 8, ARed);
  A.Dirty = false;
  EXPECT_FALSE(IllustratedPortrait(A, 3, false, "hunter"));
  EXPECT_FALSE(IllustratedPortrait(A, 0, false, ""));
  EXPECT_FALSE(IllustratedTitle(A));
  Sprite(A, 2, 0, 0, 8, 8, 255, false);
  EXPECT_FALSE(A.Dirty);
  EXPECT_EQ(A.Get(4, 4), ARed);
}

TEST_F(ArtworkTest, TheTerrainSheetAloneIsEnoughForSprites) {
  WriteCoordinateSheet(Folder + "/terrain-units-v2.png", 64, 64);
  OpenArtwork(Folder);
  EXPECT_TRUE(TerrainSpriteReady());
  EXPECT_FALSE(ArtworkReady());
  TArt A(16, 16);
  Sprite(A, 5, 0, 0, 16, 16, 255, false);  // cell 5: x 16..31, y 16..31, copied one to one
  EXPECT_EQ(A.Get(0, 0), 0x101000u);
  EXPECT_EQ(A.Get(15, 15), 0x1F1F00u);
  TArt B(16, 16);
  Sprite(B, 16, 0, 0, 16, 16, 255, false);
  Sprite(B, -1, 0, 0, 16, 16, 255, false);
  EXPECT_EQ(B.Raw(3, 3), 0u);
  Sprite(B, 0, 0, 0, 16, 16, 255, true);  // muted: a grey version of the same cell
  uint32_t L = (30 * 3 + 59 * 3) / 100;
  EXPECT_EQ(B.Get(3, 3), (3 * L + 3) / 4 << 16 | (3 * L + 3) / 4 << 8 | (3 * L) / 4);
}

TEST_F(ArtworkTest, PortraitIndexTable) {
  const struct {
    int32_t Cid;
    bool Woman;
    const char* Profession;
    int Index;
  } Cases[] = {
      {1, false, "hunter", 0},   {11, true, "courtier", 10}, {15, false, "fisher", 9},  {16, false, "fisher", 8},
      {20, false, "wrestler", 1}, {21, false, "wrestler", 7}, {40, true, "trader", 15},  {41, true, "innkeeper", 15},
      {42, true, "scholar", 14}, {43, true, "hunter", 11},    {44, false, "doctor", 12}, {45, false, "mystic", 12},
      {46, false, "trader", 13}, {47, false, "innkeeper", 13}, {48, false, "scholar", 5}, {49, false, "courtier", 10},
      {50, false, "hunter", 3},  {51, false, "artisan", 4},   {52, false, "performer", 2}, {37, false, "outlaw", 7},
      {60, false, "", 0},
  };
  for (const auto& C : Cases) EXPECT_EQ(PortraitIndex(C.Cid, C.Woman, C.Profession), C.Index) << C.Cid;
}

TEST_F(ArtworkTest, PortraitCellsAreInsetByTwoPixels) {
  WriteCoordinateSheet(Folder + "/characters-v2.png", 512, 512);
  OpenArtwork(Folder);
  TArt A(124, 124);
  ASSERT_TRUE(IllustratedPortrait(A, 6, false, ""));  // leader 6 wears cell 5: x 130, y 130, 124 x 124
  EXPECT_EQ(A.Get(0, 0), 130u << 16 | 130u << 8);
  EXPECT_EQ(A.Get(123, 123), 253u << 16 | 253u << 8);
  EXPECT_FALSE(IllustratedPortrait(A, 0, false, ""));  // nobody needs the landscape
  EXPECT_FALSE(IllustratedPortrait(A, -4, false, ""));
}

TEST_F(ArtworkTest, TheLandscapeServesTitleAndNobody) {
  WriteCoordinateSheet(Folder + "/riverlands-v2.png", 10, 40);  // narrower than its portrait cut
  OpenArtwork(Folder);
  TArt Title(10, 40), Nobody(30, 40);
  ASSERT_TRUE(IllustratedTitle(Title));
  EXPECT_EQ(Title.Get(9, 39), 9u << 16 | 39u << 8);
  ASSERT_TRUE(IllustratedPortrait(Nobody, 0, false, ""));
  EXPECT_EQ(Nobody.Get(0, 0), 2u << 16);  // from x = 10 div 4
}

TEST_F(ArtworkTest, ADamagedSheetRaisesAndKeepsTheEarlierOnes) {
  WriteCoordinateSheet(Folder + "/characters-v2.png", 64, 64);
  std::ofstream(Folder + "/terrain-units-v2.png") << "\x89PNG\r\n\x1a\n but then nothing";
  WriteCoordinateSheet(Folder + "/riverlands-v2.png", 64, 64);
  try {
    OpenArtwork(Folder);
    FAIL();
  } catch (const std::runtime_error& E) {
    EXPECT_NE(std::string(E.what()).find(Folder + "/terrain-units-v2.png"), std::string::npos) << E.what();
  }
  TArt A(8, 8);
  EXPECT_TRUE(IllustratedPortrait(A, 2, false, ""));
  EXPECT_FALSE(TerrainSpriteReady());
  EXPECT_FALSE(ArtworkReady());
}
