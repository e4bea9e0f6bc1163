// The canvas and its rasterising operations. Loops run only over the part of a
// shape that can touch the canvas, so far-away coordinates cost nothing.
#include "kv_art.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr uint32_t Opaque = 0xFF000000u;

using Wide = __int128;  // edge and ellipse products of far-away coordinates exceed 64 bits

// Bresenham lines are walked exactly within this distance of the origin; a
// longer line is first cut to it, which no picture of the game ever needs.
constexpr int64_t LineReach = int64_t(1) << 20;

uint32_t Channel(uint32_t C, int Shift) { return (C >> Shift) & 0xFF; }

// Cuts the segment to the square of LineReach (Liang-Barsky); false when none of it is left.
bool CutToReach(int64_t& X1, int64_t& Y1, int64_t& X2, int64_t& Y2) {
  long double T0 = 0, T1 = 1, Dx = (long double)X2 - X1, Dy = (long double)Y2 - Y1;
  const long double P[4] = {-Dx, Dx, -Dy, Dy};
  const long double Q[4] = {(long double)X1 + LineReach, (long double)LineReach - X1,
                            (long double)Y1 + LineReach, (long double)LineReach - Y1};
  for (int I = 0; I < 4; ++I) {
    if (P[I] == 0) {
      if (Q[I] < 0) return false;
      continue;
    }
    long double T = Q[I] / P[I];
    if (P[I] < 0) T0 = std::max(T0, T);
    else T1 = std::min(T1, T);
  }
  if (T0 > T1) return false;
  int64_t NX1 = llroundl(X1 + T0 * Dx), NY1 = llroundl(Y1 + T0 * Dy);
  X2 = llroundl(X1 + T1 * Dx);
  Y2 = llroundl(Y1 + T1 * Dy);
  X1 = NX1;
  Y1 = NY1;
  return true;
}

}  // namespace

TArt::TArt(int32_t AW, int32_t AH)
    : W(std::max(AW, 0)), H(std::max(AH, 0)), Pixels(size_t(std::max(AW, 0)) * size_t(std::max(AH, 0)), 0) {}

TArt::TArt(TArt&& Other) noexcept
    : W(Other.W), H(Other.H), Pixels(std::move(Other.Pixels)), Texture(Other.Texture), Dirty(Other.Dirty) {
  Other.Texture = nullptr;
}

TArt::~TArt() {
  if (Texture) SDL_DestroyTexture(Texture);
}

void TArt::Put(int64_t X, int64_t Y, uint32_t C) {
  if (X < 0 || Y < 0 || X >= W || Y >= H) return;
  Pixels[size_t(Y) * size_t(W) + size_t(X)] = (C & 0xFFFFFF) | Opaque;
  Dirty = true;
}

uint32_t TArt::Get(int64_t X, int64_t Y) const { return Raw(X, Y) & 0xFFFFFF; }

void TArt::Fill(int64_t X, int64_t Y, int64_t AW, int64_t AH, uint32_t C) {
  Dirty = true;
  int64_t X0 = std::max<int64_t>(X, 0), Y0 = std::max<int64_t>(Y, 0);
  int64_t X1 = std::min<int64_t>(X + AW, W), Y1 = std::min<int64_t>(Y + AH, H);
  if (X1 <= X0) return;
  for (int64_t Y_ = Y0; Y_ < Y1; ++Y_)
    std::fill(Pixels.begin() + Y_ * W + X0, Pixels.begin() + Y_ * W + X1, (C & 0xFFFFFF) | Opaque);
}

void TArt::Line(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, uint32_t C) {
  if (std::max(X1, X2) < 0 || std::max(Y1, Y2) < 0 || std::min(X1, X2) >= W || std::min(Y1, Y2) >= H) return;
  if (std::max({std::llabs(X1), std::llabs(Y1), std::llabs(X2), std::llabs(Y2)}) > LineReach &&
      !CutToReach(X1, Y1, X2, Y2))
    return;
  const int64_t Dx = std::llabs(X2 - X1), Dy = -std::llabs(Y2 - Y1);
  const int64_t Sx = X2 >= X1 ? 1 : -1, Sy = Y2 >= Y1 ? 1 : -1;
  int64_t Err = Dx + Dy, X = X1, Y = Y1;
  for (;;) {
    Put(X, Y, C);
    if (X == X2 && Y == Y2) return;
    int64_t E2 = 2 * Err;
    if (E2 >= Dy) {
      Err += Dy;
      X += Sx;
    }
    if (E2 <= Dx) {
      Err += Dx;
      Y += Sy;
    }
  }
}

void TArt::Tri(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t X3, int64_t Y3, uint32_t C) {
  // Pixels of the bounding box outside the canvas would be dropped by Put anyway.
  int64_t X0 = std::max<int64_t>(std::min({X1, X2, X3}), 0), XE = std::min<int64_t>(std::max({X1, X2, X3}), W - 1);
  int64_t Y0 = std::max<int64_t>(std::min({Y1, Y2, Y3}), 0), YE = std::min<int64_t>(std::max({Y1, Y2, Y3}), H - 1);
  for (int64_t Y = Y0; Y <= YE; ++Y)
    for (int64_t X = X0; X <= XE; ++X) {
      Wide A = Wide(X - X1) * (Y2 - Y1) - Wide(Y - Y1) * (X2 - X1);
      Wide B = Wide(X - X2) * (Y3 - Y2) - Wide(Y - Y2) * (X3 - X2);
      Wide D = Wide(X - X3) * (Y1 - Y3) - Wide(Y - Y3) * (X1 - X3);
      if ((A >= 0 && B >= 0 && D >= 0) || (A <= 0 && B <= 0 && D <= 0)) Put(X, Y, C);
    }
}

void TArt::Oval(int64_t X, int64_t Y, int64_t RX, int64_t RY, uint32_t C) {
  if (RX < 0 || RY < 0) return;
  const Wide RX2 = Wide(RX) * RX, RY2 = Wide(RY) * RY;
  int64_t J0 = std::max(-RY, -Y), J1 = std::min(RY, H - 1 - Y);
  int64_t I0 = std::max(-RX, -X), I1 = std::min(RX, W - 1 - X);
  for (int64_t J = J0; J <= J1; ++J)
    for (int64_t I = I0; I <= I1; ++I)
      if (Wide(I) * I * RY2 + Wide(J) * J * RX2 <= RX2 * RY2) Put(X + I, Y + J, C);
}

void TArt::Dither(int64_t X, int64_t Y, int64_t AW, int64_t AH, uint32_t A, uint32_t B, int64_t Step) {
  Step = std::max<int64_t>(Step, 1);
  int64_t X0 = std::max<int64_t>(X, 0), Y0 = std::max<int64_t>(Y, 0);
  int64_t X1 = std::min<int64_t>(X + AW, W), Y1 = std::min<int64_t>(Y + AH, H);
  for (int64_t Y_ = Y0; Y_ < Y1; ++Y_)
    for (int64_t X_ = X0; X_ < X1; ++X_) Put(X_, Y_, (X_ + Y_) % Step == 0 ? B : A);
}

void TArt::Paste(const TArt* Source, int64_t SX, int64_t SY, int64_t SW, int64_t SH, int64_t DX, int64_t DY,
                 int64_t DW, int64_t DH, int64_t Opacity, bool Smooth, bool Grey) {
  if (!Source || DW <= 0 || DH <= 0 || SW <= 0 || SH <= 0) return;
  Opacity = std::clamp<int64_t>(Opacity, 0, 255);
  Dirty = true;
  const TArt& S = *Source;
  int64_t X0 = std::max<int64_t>(0, -DX), X1 = std::min<int64_t>(DW, W - DX);
  int64_t Y0 = std::max<int64_t>(0, -DY), Y1 = std::min<int64_t>(DH, H - DY);
  for (int64_t Y = Y0; Y < Y1; ++Y) {
    int64_t IY = SY + std::min(SH - 1, int64_t((Wide(Y) * SH + SH / 2) / DH));
    for (int64_t X = X0; X < X1; ++X) {
      int64_t IX = SX + std::min(SW - 1, int64_t((Wide(X) * SW + SW / 2) / DW));
      if (IX < 0 || IY < 0 || IX >= S.W || IY >= S.H) continue;
      uint32_t Src = S.Raw(IX, IY);
      if (Smooth) {
        uint32_t Sum[4] = {};
        for (int K = 0; K < 4; ++K) {
          // The samples are kept inside the source: a region may reach past its edge.
          int64_t PX = SX + std::min(SW - 1, int64_t(Wide(SW) * (4 * Wide(X) + 1 + 2 * (K % 2)) / (4 * Wide(DW))));
          int64_t PY = SY + std::min(SH - 1, int64_t(Wide(SH) * (4 * Wide(Y) + 1 + 2 * (K / 2)) / (4 * Wide(DH))));
          uint32_t Sample = S.Raw(std::clamp<int64_t>(PX, 0, S.W - 1), std::clamp<int64_t>(PY, 0, S.H - 1));
          for (int Ch = 0; Ch < 4; ++Ch) Sum[Ch] += Channel(Sample, 8 * Ch);
        }
        Src = 0;
        for (int Ch = 0; Ch < 4; ++Ch) Src |= (Sum[Ch] / 4) << (8 * Ch);
      }
      if (Grey) {
        uint32_t R = Channel(Src, 16), G = Channel(Src, 8), B = Channel(Src, 0);
        uint32_t L = (30 * R + 59 * G + 11 * B) / 100;
        Src = (Src & Opaque) | ((3 * L + R) / 4) << 16 | ((3 * L + G) / 4) << 8 | (3 * L + B) / 4;
      }
      uint32_t A = Channel(Src, 24) * uint32_t(Opacity) / 255;
      if (A == 0) continue;
      uint32_t& Target = Pixels[size_t(DY + Y) * size_t(W) + size_t(DX + X)];
      if (A == 255) {
        Target = Src;
        continue;
      }
      uint32_t Mixed = Opaque;
      for (int Shift = 0; Shift <= 16; Shift += 8)
        Mixed |= ((Channel(Src, Shift) * A + Channel(Target, Shift) * (255 - A)) / 255) << Shift;
      Target = Mixed;
    }
  }
}

void TArt::Upload(SDL_Renderer* Renderer) {
  if (!Texture) {
    Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, W, H);
    if (!Texture) throw std::runtime_error(SDL_GetError());
    SDL_SetTextureBlendMode(Texture, SDL_BLENDMODE_BLEND);
  }
  SDL_UpdateTexture(Texture, nullptr, Pixels.data(), W * 4);
  Dirty = false;
}

void TArt::Draw(SDL_Renderer* Renderer, int X, int Y, int AW, int AH) {
  if (!Texture || Dirty) Upload(Renderer);
  SDL_Rect To{X, Y, AW, AH};
  SDL_RenderCopy(Renderer, Texture, nullptr, &To);
}

bool WithinPolygon(int64_t X, int64_t Y, const std::vector<int64_t>& VX, const std::vector<int64_t>& VY) {
  const size_t N = std::min(VX.size(), VY.size());
  bool Inside = false;
  for (size_t I = 0, J = N - 1; I < N; J = I++) {
    if ((Y < VY[I]) != (Y < VY[J])) {
      double XI = VX[I] + double((VX[J] - VX[I]) * (Y - VY[I])) / double(VY[J] - VY[I]);
      if (X < XI) Inside = !Inside;
    }
  }
  return Inside;
}
