#include "fixture.h"
#include "kv_assets.h"
#include "kv_atlas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const TAtlas& Atlas() {
  static const TAtlas A;
  return A;
}

long double Sin(double V) { return std::sin(V); }
long double Cos(double V) { return std::cos(V); }
int64_t Nearest(long double V) { return int64_t(rintl(V)); }

uint32_t Shade(uint32_t C, int64_t Delta) {
  uint32_t Out = 0;
  for (int Shift = 0; Shift <= 16; Shift += 8)
    Out |= uint32_t(std::clamp<int64_t>(int64_t((C >> Shift) & 0xFF) + Delta, 0, 255)) << Shift;
  return Out;
}

// The picture painted pixel by pixel straight from the rules, with every sine
// taken where it is used; the atlas's own repaint must match it exactly.
std::vector<uint32_t> Direct(const TAtlas& A, const TGame& G, int Selected) {
  const int W = 2 * AtlasW, H = 2 * AtlasH;
  auto Owner = [&](int Id) { return TGame::N(G.P(Id), "owner"); };
  std::vector<uint32_t> Out(size_t(W) * H);
  for (int PY = 0; PY < H; ++PY)
    for (int PX = 0; PX < W; ++PX) {
      const int CX = PX / 2, CY = PY / 2, Id = A.At(CX, CY);
      uint32_t C;
      if (Id == 0) {
        int Dist = 12;
        for (int D = 1; D <= 10 && Dist == 12; ++D)
          if (A.At(CX - D, CY) || A.At(CX + D, CY) || A.At(CX, CY - D) || A.At(CX, CY + D)) Dist = D;
        C = Shade(0x203E61, 10 - Dist);
        if (Dist < 4) C = Shade(0x47748A, 8 - 3 * Dist);
        if ((Nearest(4.0L * Sin(PX / 23.0)) + PY) % 21 == 0 && (3 * PY + PX) % 47 < 19) C = 0x60869C;
        if (Dist == 1 && (PX + PY) % 3 == 0) C = 0xB9CFBF;
      } else {
        const int64_t O = Owner(Id);
        const int64_t Variation = Nearest(5.0L * Sin(PX / 27.0) + 4.0L * Cos(PY / 31.0) + 3.0L * Sin((PX + PY) / 19.0));
        C = Shade(TerritoryColour(O), (7 * PX + 11 * PY) % 7 + Variation - 3);
        if (O != 0 && (2 * PY + PX) % 19 == 0) C = Shade(C, 11);
      }
      if (A.NativeCell(PX - 1, PY) != Id || A.NativeCell(PX + 1, PY) != Id || A.NativeCell(PX, PY - 1) != Id ||
          A.NativeCell(PX, PY + 1) != Id)
        C = Id == Selected ? 0xE9C664 : 0x394D3B;
      else if (Id == Selected && (A.NativeCell(PX - 2, PY) != Id || A.NativeCell(PX + 2, PY) != Id ||
                                  A.NativeCell(PX, PY - 2) != Id || A.NativeCell(PX, PY + 2) != Id))
        C = 0xF6DD86;
      Out[size_t(PY) * W + PX] = 0xFF000000u | C;
    }
  auto Fill = [&](int X, int Y, int FW, int FH, uint32_t C) {
    for (int J = Y; J < Y + FH; ++J)
      for (int I = X; I < X + FW; ++I)
        if (I >= 0 && J >= 0 && I < W && J < H) Out[size_t(J) * W + I] = 0xFF000000u | C;
  };
  for (int PY = 88; PY <= 478; ++PY) {
    const int64_t RX = Nearest((PY - 88) * 0.23L + 230 + 18.0L * Sin(PY / 44.0));
    for (int D = -3; D <= 3; ++D) {
      int32_t QX, QY;
      TAtlas::Project((RX + D) * 0.5, PY * 0.5, QX, QY);
      if (A.NativeCell(2 * QX, 2 * QY) > 0) Fill(2 * QX, 2 * QY, 2, 2, std::abs(D) == 3 ? 0xC2D0AB : 0x567E8B);
    }
  }
  for (int PX = 110; PX <= 530; ++PX) {
    const int64_t WY = Nearest(30.0L * Sin(PX / 66.0) + 274);
    int32_t QX, QY;
    TAtlas::Project(PX * 0.5, WY * 0.5, QX, QY);
    if (A.NativeCell(2 * QX, 2 * QY) > 0) {
      Fill(2 * QX, 2 * QY, 2, 2, 0x759CA0);
      Fill(2 * QX, 2 * QY + 1, 2, 1, 0xB3C9BC);
    }
  }
  return Out;
}

}  // namespace

TEST(Atlas, EveryProvinceHasTerritoryAndLabel) {
  const TAtlas& A = Atlas();
  std::vector<int> Cells(50, 0);
  for (uint8_t Id : A.Cells) ++Cells[Id];
  for (int I = 1; I <= 49; ++I) {
    EXPECT_GT(Cells[I], 200) << I;
    EXPECT_EQ(A.At(A.CX[I], A.CY[I]), I);
  }
  EXPECT_GT(Cells[0], 0);
  EXPECT_EQ(A.At(-1, 0), 0);
  EXPECT_EQ(A.At(348, 0), 0);
  EXPECT_EQ(A.At(0, 272), 0);
  EXPECT_EQ(A.At(0, 0), 0);  // the corners are open sea
}

TEST(Atlas, ProjectBendsAndRounds) {
  int32_t PX, PY;
  TAtlas::Project(0, 0, PX, PY);
  EXPECT_EQ(PX, 0);
  EXPECT_EQ(PY, 0);
  TAtlas::Project(100, 60, PX, PY);
  EXPECT_EQ(PX, int32_t(std::lround(100 + 24 * std::sin(60 / 44.0) + 12 * std::sin(100 / 46.0) * std::cos(60 / 71.0))));
  EXPECT_EQ(PY, int32_t(std::lround(60 + 13 * std::sin(100 / 52.0) + 7 * std::sin(60 / 47.0))));
}

TEST(Atlas, RepaintsOnlyWhenOwnersOrSelectionChange) {
  TAtlas A;
  TGame G;
  A.Update(G, 3);
  std::string Key = "3:";
  for (int I = 0; I < 49; ++I) Key += "0,";
  EXPECT_EQ(A.LastKey, Key);
  A.Art.Dirty = false;
  A.Update(G, 3);
  EXPECT_FALSE(A.Art.Dirty);
  A.Update(G, 4);
  EXPECT_TRUE(A.Art.Dirty);
  NewFixtureCampaign(G);
  A.Art.Dirty = false;
  A.Update(G, 4);
  EXPECT_TRUE(A.Art.Dirty);
  EXPECT_EQ(A.LastKey.substr(0, 12), "4:1,2,0,0,0,");
}

TEST(Atlas, RepaintMatchesTheDirectRule) {
  TAtlas A;
  TGame G;
  NewFixtureCampaign(G);
  TGame::Put(G.P(7), "owner", 12);
  TGame::Put(G.P(30), "owner", 200);
  TGame::Put(G.P(31), "owner", 5);
  for (int Selected : {0, 25, 31}) {
    A.Update(G, Selected);
    EXPECT_TRUE(A.Art.Pixels == Direct(A, G, Selected)) << "selected " << Selected;
  }
  TGame Empty;
  A.Update(Empty, 9);
  EXPECT_TRUE(A.Art.Pixels == Direct(A, Empty, 9));
}

TEST(Atlas, HighOwnersWearTheirBannerColour) {
  TAtlas A;
  TGame G;
  NewFixtureCampaign(G);
  TGame::Put(G.P(20), "owner", 40);
  A.Update(G, 0);
  // The label cell is well inside: its pixels are the banner colour, shaded.
  const int PX = 2 * A.CX[20], PY = 2 * A.CY[20];
  uint32_t C = A.Art.Get(PX, PY), B = BannerColor(40);
  for (int Shift = 0; Shift <= 16; Shift += 8)
    EXPECT_NEAR(int(C >> Shift & 0xFF), int(B >> Shift & 0xFF), 25) << Shift;
}

TEST(Atlas, TheTerrainSheetAddsMountainsAndTowns) {
  const std::string Folder = FreshFolder("atlas-sprites");
  TArt Sheet(64, 64);
  Sheet.Fill(0, 0, 64, 64, 0xFF00FF);
  SaveArtPNG(Sheet, Folder + "/terrain-units-v2.png");
  TGame G;
  TAtlas Plain, Dressed;
  Plain.Update(G, 0);
  OpenArtwork(Folder);
  Dressed.Update(G, 0);
  CloseArtwork();
  // Sprites are blended in, so they show as pixels that turned towards magenta.
  auto Tinted = [&](int64_t X, int64_t Y) {
    uint32_t A = Plain.Art.Raw(X, Y), B = Dressed.Art.Raw(X, Y);
    return (B >> 16 & 0xFF) > (A >> 16 & 0xFF) && (B >> 8 & 0xFF) < (A >> 8 & 0xFF);
  };
  int Changed = 0;
  for (int Y = 0; Y < Plain.Art.H; ++Y)
    for (int X = 0; X < Plain.Art.W; ++X) Changed += Tinted(X, Y);
  EXPECT_GT(Changed, 27 * 31);  // more than one whole mountain
  // Province 9 carries a town of cell 7 around its label, when the spot is its own.
  const int TX = 2 * Dressed.CX[9] + 20, TY = 2 * Dressed.CY[9] + 12;
  if (Dressed.NativeCell(TX, TY) == 9) {
    EXPECT_TRUE(Tinted(TX, TY));
  }
}
