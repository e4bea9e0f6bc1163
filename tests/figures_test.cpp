#include "kv_art.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t Skin = 0xE8AE89;
constexpr uint32_t Background = 0xFFFFFFFF;  // the dithered panel, either of its colours

TArt Portrait(int32_t CID, bool Woman, uint32_t Robe = ANavy) {
  TArt A(184, 256);
  Hero(A, CID, Woman, Robe);
  return A;
}

bool AnyOf(const TArt& A, uint32_t Colour, int X0, int Y0, int X1, int Y1) {
  for (int Y = Y0; Y <= Y1; ++Y)
    for (int X = X0; X <= X1; ++X)
      if (A.Get(X, Y) == Colour) return true;
  return false;
}

}  // namespace

TEST(Figures, BannerColours) {
  const struct {
    int32_t Fid;
    uint32_t Colour;
  } Cases[] = {{0, 0x78C870}, {15, 0x78C870}, {-3, 0x78C870}, {1, 0xA82828}, {11, 0xA82828},
               {2, 0x5C7CE0}, {8, 0xF0D850}, {13, 0x1C2C70}, {14, 0x585860}, {29, 0x585860}};
  for (const auto& C : Cases) EXPECT_EQ(BannerColor(C.Fid), C.Colour) << C.Fid;
}

TEST(Figures, HeroFeaturesFollowTheId) {
  // Headgear is told apart at two points: (46, 27) and (22, 30).
  const struct {
    int32_t Cid;
    int Eye;
    uint32_t Crown, Side;
    bool Beard, Streaked, Scar;
  } Cases[] = {
      {0, 56, ARed, ANavy, true, false, false},    // headgear 0, a beard
      {1, 57, ABlack, Background, true, false, false},      // headgear 1
      {2, 58, AGold, ANavy, false, false, true},   // headgear 2, clean-shaven, scarred
      {3, 56, ABlack, ABlack, true, true, false},  // headgear 3, a grey-streaked beard
      {4, 57, ARed, ANavy, false, false, false},
      {8, 58, ARed, ANavy, true, true, true},
  };
  for (const auto& C : Cases) {
    TArt A = Portrait(C.Cid, false);
    SCOPED_TRACE(C.Cid);
    EXPECT_EQ(A.Get(31, C.Eye), AWhite);
    EXPECT_EQ(A.Get(31, C.Eye - 1), Skin);
    EXPECT_EQ(A.Get(36, C.Eye + 3), ABlack);  // the pupil reaches one row below the white
    EXPECT_EQ(A.Get(46, 27), C.Crown);
    if (C.Side != Background) {
      EXPECT_EQ(A.Get(22, 30), C.Side);
    } else {
      EXPECT_TRUE(A.Get(22, 30) == AWhite || A.Get(22, 30) == AIce);
    }
    EXPECT_EQ(A.Get(47, 100), C.Streaked ? AStone : C.Beard ? ABlack : ANavy);
    EXPECT_EQ(A.Get(56, 45) == ARed, C.Scar);
  }
}

TEST(Figures, AWomanHasLongHairAndNoHeadgearOrBeard) {
  TArt A = Portrait(2, true, ASky);
  EXPECT_EQ(A.Get(19, 60), ABlack);  // long hair down the side
  EXPECT_EQ(A.Get(21, 45), AGold);   // a clip
  EXPECT_FALSE(AnyOf(A, ASky, 12, 11, 79, 44));  // headgear would wear the robe colour
  EXPECT_FALSE(AnyOf(A, AGold, 40, 20, 52, 34));  // no crest of headgear 2
  EXPECT_EQ(A.Get(47, 100), ASky);
  EXPECT_EQ(A.Get(56, 45), ARed);  // the scar all the same
}

TEST(Figures, GoldDotsSurviveOnlyInTheBorder) {
  TArt With = Portrait(23, false), Without = Portrait(24, false);
  EXPECT_EQ(With.Get(0, 0), AGold);
  EXPECT_NE(Without.Get(0, 0), AGold);
  // (11x + 7y) mod 23 = 0 at (0, 23) and at (7, 12), where the inner panel paints over it.
  EXPECT_EQ(With.Get(0, 23), AGold);
  EXPECT_NE(With.Get(7, 12), AGold);
  EXPECT_EQ(With.Get(6, 4), ABronze);
  EXPECT_EQ(With.Get(178, 251), ABronze);
}

TEST(Figures, MountainBaseTruncates) {
  for (int Size : {12, 13}) {
    TArt A(60, 60);
    Mountain(A, 30, 30, Size);
    EXPECT_EQ(A.Get(30, 36), ABlack) << Size;
    EXPECT_EQ(A.Raw(30, 37), 0u) << Size;
    EXPECT_EQ(A.Get(30, 30 - Size), ABlack) << Size;
    EXPECT_EQ(A.Get(30, 30 - Size + 3), AWhite) << Size;
  }
}

TEST(Figures, BannerStates) {
  auto Flag = [](bool Spent, bool Commander, bool Selected) {
    TArt A(40, 40);
    Banner(A, 20, 20, 55, ASky, Spent, Commander, Selected);
    return A;
  };
  TArt Plain = Flag(false, false, false), Spent = Flag(true, false, false);
  TArt Both = Flag(false, true, true), Marked = Flag(true, true, false);
  EXPECT_EQ(Plain.Get(15, 16), ASky);
  EXPECT_EQ(Spent.Get(15, 16), ASlate);
  EXPECT_EQ(Plain.Get(12, 20), AWhite);  // the pole
  EXPECT_EQ(Plain.Get(26, 10), ASky);
  EXPECT_EQ(Marked.Get(26, 10), AGold);
  EXPECT_EQ(Marked.Get(15, 16), ASlate);
  EXPECT_EQ(Both.Get(26, 10), AGold);
  EXPECT_EQ(Both.Get(20, 32), AGold);  // the selection ring
  EXPECT_EQ(Plain.Raw(20, 32), 0u);
}

TEST(Figures, SmallFiguresAndClipping) {
  TArt A(30, 30);
  Tree(A, 10, 10, false);
  EXPECT_EQ(A.Get(9, 7), AJade);
  EXPECT_EQ(A.Get(9, 14), ABronze);
  Tree(A, 20, 10, true);
  EXPECT_EQ(A.Get(20, 2), ABlack);
  EXPECT_EQ(A.Get(20, 5), AJade);
  TArt C(40, 40);
  Castle(C, 20, 20);
  EXPECT_EQ(C.Get(20, 5), ABlack);
  EXPECT_EQ(C.Get(11, 12), AGold);
  EXPECT_EQ(C.Get(20, 28), ABlack);
  // Figures past any edge are clipped and never fail.
  TArt Small(10, 10);
  Hero(Small, 7, false, ARed);
  Hero(Small, -7, true, ARed);
  Castle(Small, INT32_MAX, INT32_MIN);
  Banner(Small, INT32_MIN, INT32_MAX, 0, ARed, true, true, true);
  Tree(Small, INT32_MAX, INT32_MAX, true);
  Mountain(Small, INT32_MIN, INT32_MIN, INT32_MAX);
  TArt Empty(0, 0);
  Hero(Empty, 1, false, ARed);
}
