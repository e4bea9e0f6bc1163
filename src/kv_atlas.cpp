// The province atlas. The territories come from a noisy nearest-seed
// assignment inside the coastline, bent by a distortion; the picture is
// repainted only when an owner or the selection changes.
#include "kv_atlas.h"

#include "kv_assets.h"
#include "kv_model.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

const std::vector<int64_t> CoastX = {25,  65,  112, 151, 194, 230, 266, 276, 264, 290, 283, 306,
                                     312, 326, 319, 300, 269, 246, 219, 195, 164, 142, 117, 89,
                                     65,  52,  33,  44,  28,  42,  21,  32,  24,  34,  22,  25};
const std::vector<int64_t> CoastY = {42,  29,  38,  29,  35,  26,  44,  66,  86,  105, 129, 146,
                                     176, 193, 224, 243, 235, 246, 230, 238, 230, 239, 225, 234,
                                     213, 189, 178, 156, 134, 112, 92,  72,  64,  59,  51,  42};

const uint32_t OwnerColours[12] = {0xA3B989, 0xB44F45, 0x8EA8C1, 0xB6A36E, 0x658E72, 0x9A82A6,
                                   0xB77D91, 0x689B9B, 0xBE905F, 0x819DC4, 0x9DAC89, 0x8C4148};

constexpr int ArtW = 2 * AtlasW, ArtH = 2 * AtlasH;

// Nearest integer, halves to even (the default rounding mode).
int64_t Nearest(long double V) { return int64_t(rintl(V)); }

// Sines of double-precision quotients; the sums around them are extended.
long double Sin(double V) { return std::sin(V); }
long double Cos(double V) { return std::cos(V); }

uint32_t Shade(uint32_t C, int64_t Delta) {
  uint32_t Out = 0;
  for (int Shift = 0; Shift <= 16; Shift += 8)
    Out |= uint32_t(std::clamp<int64_t>(int64_t((C >> Shift) & 0xFF) + Delta, 0, 255)) << Shift;
  return Out;
}

enum : uint8_t { Hatched = 1, Border = 2, Glow = 4 };

}  // namespace

uint32_t TerritoryColour(int64_t Owner) {
  return Owner >= 0 && Owner <= 11 ? OwnerColours[Owner] : BannerColor(int32_t(std::clamp<int64_t>(Owner, -1, INT32_MAX)));
}

TAtlas::TAtlas() : Cells(size_t(AtlasW) * AtlasH, 0) {
  for (int I = 1; I <= 49; ++I) {
    const int Col = (I - 1) % 7, Row = (I - 1) / 7;
    CX[I] = 44 + 35 * Col + 7 * Row + (19 * I) % 5 - 2;
    CY[I] = 52 + 27 * Row + (13 * I) % 5 - 2;
  }

  // Noisy nearest seed inside the coastline.
  std::vector<uint8_t> First(Cells.size(), 0);
  for (int Y = 0; Y < AtlasH; ++Y)
    for (int X = 0; X < AtlasW; ++X) {
      if (!WithinPolygon(X, Y, CoastX, CoastY)) continue;
      const double WX = double(X + 2.4L * Sin(Y / 5.7) + 1.3L * Sin((X + Y) / 11.0));
      const double WY = double(Y + 1.7L * Sin(X / 7.1));
      int64_t Best = INT64_MAX;
      for (int I = 1; I <= 49; ++I) {
        const double DY2 = (WY - CY[I]) * (WY - CY[I]), DX2 = (WX - CX[I]) * (WX - CX[I]);
        const int64_t D = Nearest(1.22L * DY2 + DX2);
        if (D < Best) {
          Best = D;
          First[size_t(Y) * AtlasW + X] = uint8_t(I);
        }
      }
    }

  // Bend the seeded map into its final shape by approximately inverting Project.
  for (int Y = 0; Y < AtlasH; ++Y)
    for (int X = 0; X < AtlasW; ++X) {
      double NX = X, NY = Y;
      for (int K = 0; K < 12; ++K) {
        const double PX = double(X - 24.0L * Sin(NY / 44) - 12.0L * Sin(NX / 46) * Cos(NY / 71));
        const double PY = double(Y - 13.0L * Sin(NX / 52) - 7.0L * Sin(NY / 47));
        NX = PX;
        NY = PY;
      }
      const int64_t IX = Nearest(NX), IY = Nearest(NY);
      if (IX >= 0 && IY >= 0 && IX < AtlasW && IY < AtlasH) Cells[size_t(Y) * AtlasW + X] = First[size_t(IY) * AtlasW + size_t(IX)];
    }

  for (int I = 1; I <= 49; ++I) Project(CX[I], CY[I], CX[I], CY[I]);
  for (int I = 1; I <= 49; ++I) {
    if (std::find(Cells.begin(), Cells.end(), uint8_t(I)) == Cells.end())
      throw std::runtime_error("Province has no atlas territory.");
    if (At(CX[I], CY[I]) != I) throw std::runtime_error("Province label is outside its territory.");
  }
  Prepare();
}

uint8_t TAtlas::At(int64_t X, int64_t Y) const {
  return X >= 0 && Y >= 0 && X < AtlasW && Y < AtlasH ? Cells[size_t(Y) * AtlasW + size_t(X)] : 0;
}

void TAtlas::Project(double X, double Y, int32_t& PX, int32_t& PY) {
  const long double QX = X + 24.0L * Sin(Y / 44) + 12.0L * Sin(X / 46) * Cos(Y / 71);
  const long double QY = Y + 13.0L * Sin(X / 52) + 7.0L * Sin(Y / 47);
  PX = int32_t(Nearest(QX));
  PY = int32_t(Nearest(QY));
}

int TAtlas::NativeCell(int64_t PX, int64_t PY) const {
  return PX < 0 || PY < 0 || PX >= ArtW || PY >= ArtH ? 0 : At(PX / 2, PY / 2);
}

void TAtlas::Prepare() {
  // Distance from each sea cell to the nearest land along its row and column.
  std::vector<int8_t> Dist(Cells.size(), 12);
  for (int CY_ = 0; CY_ < AtlasH; ++CY_)
    for (int CX_ = 0; CX_ < AtlasW; ++CX_)
      for (int D = 1; !At(CX_, CY_) && D <= 10; ++D)
        if (At(CX_ - D, CY_) || At(CX_ + D, CY_) || At(CX_, CY_ - D) || At(CX_, CY_ + D)) {
          Dist[size_t(CY_) * AtlasW + CX_] = int8_t(D);
          break;
        }

  std::vector<long double> SinX27(ArtW), Wave(ArtW), CosY31(ArtH), SinXY19(ArtW + ArtH);
  for (int PX = 0; PX < ArtW; ++PX) {
    SinX27[PX] = Sin(PX / 27.0);
    Wave[PX] = Nearest(4.0L * Sin(PX / 23.0));
  }
  for (int PY = 0; PY < ArtH; ++PY) CosY31[PY] = Cos(PY / 31.0);
  for (int S = 0; S < ArtW + ArtH; ++S) SinXY19[S] = Sin(S / 19.0);

  SeaColour.assign(size_t(ArtW) * ArtH, 0);
  LandShade.assign(size_t(ArtW) * ArtH, 0);
  LandFlags.assign(size_t(ArtW) * ArtH, 0);
  for (int PY = 0; PY < ArtH; ++PY)
    for (int PX = 0; PX < ArtW; ++PX) {
      const size_t I = size_t(PY) * ArtW + PX;
      const int Id = At(PX / 2, PY / 2);
      if (Id == 0) {
        const int D = Dist[size_t(PY / 2) * AtlasW + PX / 2];
        uint32_t C = D < 4 ? Shade(0x47748A, 8 - 3 * D) : Shade(0x203E61, 10 - D);
        if ((int64_t(Wave[PX]) + PY) % 21 == 0 && (3 * PY + PX) % 47 < 19) C = 0x60869C;
        if (D == 1 && (PX + PY) % 3 == 0) C = 0xB9CFBF;
        SeaColour[I] = C;
      } else {
        const int64_t Variation = Nearest(5.0L * SinX27[PX] + 4.0L * CosY31[PY] + 3.0L * SinXY19[PX + PY]);
        LandShade[I] = int16_t((7 * PX + 11 * PY) % 7 + Variation - 3);
        if ((2 * PY + PX) % 19 == 0) LandFlags[I] |= Hatched;
      }
      if (NativeCell(PX - 1, PY) != Id || NativeCell(PX + 1, PY) != Id || NativeCell(PX, PY - 1) != Id || NativeCell(PX, PY + 1) != Id)
        LandFlags[I] |= Border;
      else if (NativeCell(PX - 2, PY) != Id || NativeCell(PX + 2, PY) != Id || NativeCell(PX, PY - 2) != Id || NativeCell(PX, PY + 2) != Id)
        LandFlags[I] |= Glow;
    }

  // The great river and the east-west waterway, in painting order.
  Waters.clear();
  for (int PY = 88; PY <= 478; ++PY) {
    const int64_t RX = Nearest((PY - 88) * 0.23L + 230 + 18.0L * Sin(PY / 44.0));
    for (int D = -3; D <= 3; ++D) {
      int32_t QX, QY;
      Project((RX + D) * 0.5, PY * 0.5, QX, QY);
      const int Id = NativeCell(2 * QX, 2 * QY);
      if (Id == 0) continue;
      Waters.push_back({2 * QX, 2 * QY, 2, std::abs(D) == 3 ? 0xC2D0ABu : 0x567E8Bu});
      OnRiver[Id] = true;
    }
  }
  for (int PX = 110; PX <= 530; ++PX) {
    const int64_t WY = Nearest(30.0L * Sin(PX / 66.0) + 274);
    int32_t QX, QY;
    Project(PX * 0.5, WY * 0.5, QX, QY);
    if (NativeCell(2 * QX, 2 * QY) > 0) {
      Waters.push_back({2 * QX, 2 * QY, 2, 0x759CA0});
      Waters.push_back({2 * QX, 2 * QY + 1, 1, 0xB3C9BC});
    }
  }
}

void TAtlas::Update(const TGame& G, int32_t Selected) {
  std::string Key = std::to_string(Selected) + ":";
  int64_t Owners[50] = {};
  for (int I = 1; I <= 49; ++I) {
    Owners[I] = TGame::N(G.P(I), "owner");
    Key += std::to_string(Owners[I]) + ",";
  }
  if (Key == LastKey) return;
  LastKey = Key;

  uint32_t Base[50];
  for (int I = 1; I <= 49; ++I) Base[I] = TerritoryColour(Owners[I]);
  for (int PY = 0; PY < ArtH; ++PY)
    for (int PX = 0; PX < ArtW; ++PX) {
      const size_t I = size_t(PY) * ArtW + PX;
      const int Id = At(PX / 2, PY / 2);
      const uint8_t Flags = LandFlags[I];
      uint32_t C;
      if (Flags & Border) {
        C = Id == Selected ? 0xE9C664 : 0x394D3B;
      } else if ((Flags & Glow) && Id == Selected) {
        C = 0xF6DD86;
      } else if (Id == 0) {
        C = SeaColour[I];
      } else {
        C = Shade(Base[Id], LandShade[I]);
        if (Owners[Id] != 0 && (Flags & Hatched)) C = Shade(C, 11);
      }
      Art.Put(PX, PY, C);
    }
  for (const TRiverCell& R : Waters) Art.Fill(R.X, R.Y, 2, R.H, R.Colour);

  if (!TerrainSpriteReady()) return;
  for (int I = 0; I <= 11; ++I) {
    int32_t QX, QY;
    Project((7 * I + 64) * 0.5, (22 * I + 107) * 0.5, QX, QY);
    if (NativeCell(2 * QX, 2 * QY) > 0) Sprite(Art, 2, 2 * QX - 13, 2 * QY - 21, 27, 31, 215, false);
  }
  for (int I = 1; I <= 49; ++I) {
    const int32_t TX = 2 * CX[I] + 20, TY = 2 * CY[I] + 12;
    if (NativeCell(TX, TY) != I) continue;
    if (I % 9 == 0) Sprite(Art, 7, TX - 9, TY - 10, 21, 21, 230, false);
    else if (I % 4 == 0) Sprite(Art, 0, TX - 8, TY - 13, 18, 22, 190, false);
  }
}
