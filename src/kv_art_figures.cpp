// The procedural figures: portraits, trees, mountains, castles and unit
// standards, painted at fixed coordinates. Variety comes only from the ids.
#include "kv_art.h"

#include <algorithm>

namespace {

const uint32_t Colors[15] = {ALeaf, ARed, ASky, AJade, APlum, ABronze, ATeal, AOrchid,
                             AGold, AIce, ACoral, ARed, AStone, ANavy, ASlate};

constexpr uint32_t Skin = 0xE8AE89, Shadow = 0xB86F52;

void Headgear(TArt& A, int32_t Hair, uint32_t Robe) {
  switch (Hair) {
    case 0:
      A.Fill(19, 25, 51, 14, Robe);
      A.Fill(25, 15, 39, 16, Robe);
      A.Fill(33, 11, 24, 8, ABlack);
      A.Line(19, 38, 70, 38, AGold);
      A.Fill(42, 23, 9, 9, AGold);
      A.Fill(45, 25, 4, 5, ARed);
      break;
    case 1:
      A.Oval(46, 20, 8, 8, ABlack);
      A.Fill(25, 27, 42, 13, ABlack);
      A.Dither(26, 35, 40, 6, Robe, ABlack, 3);
      break;
    case 2:
      A.Fill(20, 29, 51, 10, Robe);
      A.Fill(30, 21, 31, 12, Robe);
      A.Line(21, 37, 70, 37, AGold);
      A.Fill(44, 27, 6, 7, AGold);
      break;
    default:
      A.Oval(45, 28, 24, 11, ABlack);
      A.Fill(29, 24, 34, 16, ABlack);
      A.Line(24, 39, 65, 39, Robe);
  }
}

}  // namespace

uint32_t BannerColor(int32_t FID) { return Colors[std::max(FID, 0) % 15]; }

void Hero(TArt& A, int32_t CID, bool Woman, uint32_t Robe) {
  const int32_t W = A.W, H = A.H;
  const int32_t Eye = CID % 3 + 56, Hair = CID % 4, Beard = CID % 5;

  A.Dither(0, 0, W, H, AWhite, AIce, 2);
  for (int32_t Y = 0; Y < H; ++Y)
    for (int32_t X = 0; X < W; ++X)
      if ((11 * int64_t(X) + 7 * Y + CID) % 23 == 0) A.Put(X, Y, AGold);
  A.Dither(3, 3, W - 6, H - 6, AIce, AWhite, 4);

  // Robe, folds, neck, collar and belt.
  A.Tri(12, 125, 27, 91, 60, 91, Robe);
  A.Tri(27, 91, 60, 91, 79, 125, Robe);
  A.Fill(23, 104, 47, 23, Robe);
  for (int K = 0; K <= 5; ++K) A.Line(9 * K + 18, 123, 7 * K + 25, 99, ABlack);
  A.Fill(35, 84, 21, 16, Shadow);
  A.Tri(28, 90, 46, 107, 28, 115, AWhite);
  A.Tri(62, 90, 46, 107, 60, 114, AStone);
  A.Line(28, 91, 46, 109, AGold);
  A.Line(62, 91, 46, 109, AGold);
  A.Fill(24, 119, 44, 5, ABronze);

  // Head and face.
  A.Oval(45, 59, 25, 36, ABlack);
  A.Oval(45, 61, 22, 31, Shadow);
  A.Oval(44, 58, 20, 28, Skin);
  A.Oval(22, 61, 3, 8, Shadow);
  A.Oval(67, 61, 3, 8, Shadow);
  A.Line(27, 73, 34, 82, Shadow);
  A.Line(60, 73, 53, 82, Shadow);
  A.Line(29, Eye - 6, 39, Eye - 7, ABlack);
  A.Line(50, Eye - 7, 60, Eye - 6, ABlack);
  A.Fill(30, Eye, 10, 3, AWhite);
  A.Fill(50, Eye, 10, 3, AWhite);
  A.Fill(35, Eye, 3, 4, ABlack);
  A.Fill(52, Eye, 3, 4, ABlack);
  A.Line(45, Eye + 2, 43, Eye + 14, Shadow);
  A.Line(43, Eye + 14, 49, Eye + 14, Shadow);
  A.Line(39, Eye + 22, 52, Eye + 22, Shadow);
  A.Line(42, Eye + 24, 49, Eye + 24, ACoral);

  if (Woman) {
    A.Oval(29, 32, 12, 11, ABlack);
    A.Oval(60, 32, 12, 11, ABlack);
    A.Line(19, 45, 20, 95, ABlack);
    A.Line(69, 45, 68, 95, ABlack);
    A.Fill(20, 44, 5, 3, AGold);
    A.Fill(65, 44, 5, 3, AGold);
  } else {
    Headgear(A, Hair, Robe);
    if (Beard == 0 || Beard == 1 || Beard == 3) {
      A.Line(36, Eye + 18, 45, Eye + 20, ABlack);
      A.Line(45, Eye + 20, 56, Eye + 18, ABlack);
      A.Tri(35, Eye + 26, 56, Eye + 26, 46, 104, ABlack);
      if (Beard == 3)
        for (int K = 0; K <= 6; ++K) A.Line(2 * K + 38, Eye + 27, K + 42, 100, AStone);
    }
  }
  if (CID % 6 == 2) A.Line(56, 45, 59, 54, ARed);

  A.Line(6, 4, W - 5, 4, ABronze);
  A.Line(6, H - 5, W - 5, H - 5, ABronze);
}

void Tree(TArt& A, int32_t X_, int32_t Y_, bool Pine) {
  const int64_t X = X_, Y = Y_;
  A.Fill(X - 1, Y + 2, 2, 5, ABronze);
  if (Pine) {
    A.Tri(X, Y - 8, X - 5, Y + 2, X + 5, Y + 2, ABlack);
    A.Tri(X, Y - 7, X - 3, Y + 1, X + 3, Y + 1, AJade);
    A.Tri(X, Y - 4, X - 5, Y + 5, X + 5, Y + 5, ABlack);
    A.Tri(X, Y - 3, X - 3, Y + 4, X + 3, Y + 4, AJade);
  } else {
    A.Oval(X, Y - 2, 5, 6, ABlack);
    A.Oval(X - 1, Y - 3, 4, 5, AJade);
  }
}

void Mountain(TArt& A, int32_t X_, int32_t Y_, int32_t Size_) {
  const int64_t X = X_, Y = Y_, Size = Size_, Base = Y + Size / 2;
  A.Tri(X, Y - Size, X - Size, Base, X + Size, Base, ABlack);
  A.Tri(X, Y - Size + 2, X - Size + 2, Base - 1, X + Size - 2, Base - 1, ASlate);
  A.Tri(X, Y - Size + 2, X - 2, Base - 1, X + Size - 2, Base - 1, AStone);
  A.Line(X, Y - Size + 3, X - 4, Y - 3, AWhite);
}

void Castle(TArt& A, int32_t X_, int32_t Y_) {
  const int64_t X = X_, Y = Y_;
  A.Fill(X - 9, Y + 6, 19, 9, ASlate);
  A.Fill(X - 8, Y + 4, 17, 8, AWhite);
  A.Fill(X - 6, Y - 3, 13, 9, AWhite);
  A.Fill(X - 4, Y - 10, 9, 8, AIce);
  A.Tri(X, Y - 15, X - 10, Y - 8, X + 10, Y - 8, ABlack);
  A.Line(X - 10, Y - 8, X + 10, Y - 8, AGold);
  A.Tri(X, Y - 8, X - 13, Y + 1, X + 13, Y + 1, ABlack);
  A.Line(X - 13, Y + 1, X + 13, Y + 1, AGold);
  A.Fill(X - 2, Y + 5, 5, 8, ABlack);
  A.Fill(X - 5, Y - 6, 2, 3, ABlack);
  A.Fill(X + 3, Y - 6, 2, 3, ABlack);
  A.Fill(X - 11, Y + 14, 23, 2, ABlack);
}

void Banner(TArt& A, int32_t X_, int32_t Y_, int32_t, uint32_t Team, bool Spent, bool Commander, bool Selected) {
  const int64_t X = X_, Y = Y_;
  if (Selected) {
    A.Oval(X, Y, 11, 12, AGold);
    A.Oval(X, Y, 10, 11, ABlack);
  }
  A.Line(X - 8, Y - 11, X - 8, Y + 10, AWhite);
  const uint32_t Cloth = Spent ? ASlate : Team;
  A.Fill(X - 7, Y - 11, 15, 5, Cloth);
  A.Fill(X - 7, Y - 11, 15, 1, AWhite);
  A.Fill(X - 7, Y - 6, 15, 10, ABlack);
  A.Fill(X - 6, Y - 5, 13, 8, Cloth);
  A.Fill(X - 7, Y + 3, 15, 7, ABlack);
  A.Line(X, Y - 4, X, Y + 1, AWhite);
  A.Line(X - 3, Y - 2, X + 3, Y - 2, AWhite);
  if (Commander) {
    A.Put(X + 6, Y - 10, AGold);
    A.Line(X + 4, Y - 8, X + 8, Y - 8, AGold);
  }
}
