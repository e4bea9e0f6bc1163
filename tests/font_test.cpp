// The committed font sheet, read the way the game reads it: through
// SDL_LoadBMP, keyed on pixel value 0 and tinted from white.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int Cell = 16;
constexpr int Advance = 12;  // three quarters of a cell
constexpr int First = 32;
constexpr int Last = 127;

struct TSheet {
  int W = 0, H = 0;
  std::vector<uint32_t> Raw;  // pixel values in the file's own format
  std::vector<uint32_t> Rgb;  // 0xRRGGBB
  std::string Error;
};

TSheet Load() {
  TSheet S;
  SDL_Surface* Surface = SDL_LoadBMP(KV_ASSETS "/font.bmp");
  if (!Surface) {
    S.Error = SDL_GetError();
    return S;
  }
  S.W = Surface->w;
  S.H = Surface->h;
  const int Bytes = Surface->format->BytesPerPixel;
  SDL_LockSurface(Surface);
  for (int Y = 0; Y < S.H; ++Y)
    for (int X = 0; X < S.W; ++X) {
      uint32_t V = 0;
      std::memcpy(&V, static_cast<const uint8_t*>(Surface->pixels) + Y * Surface->pitch + X * Bytes, Bytes);
      uint8_t R, G, B;
      SDL_GetRGB(V, Surface->format, &R, &G, &B);
      S.Raw.push_back(V);
      S.Rgb.push_back(uint32_t(R) << 16 | uint32_t(G) << 8 | B);
    }
  SDL_UnlockSurface(Surface);
  SDL_FreeSurface(Surface);
  return S;
}

const TSheet& Sheet() {
  static const TSheet S = Load();
  return S;
}

bool Lit(int K, int X, int Y) {
  const TSheet& S = Sheet();
  return S.Rgb[((K - First) / 16 * Cell + Y) * S.W + K % 16 * Cell + X] != 0;
}

// The glyph of K as text, one character per pixel of its cell.
std::string Picture(int K) {
  std::string Out;
  for (int Y = 0; Y < Cell; ++Y)
    for (int X = 0; X < Cell; ++X) Out += Lit(K, X, Y) ? '#' : '.';
  return Out;
}

// The first and last rows of K that hold a lit pixel; -1 when it has none.
int Top(int K) {
  for (int Y = 0; Y < Cell; ++Y)
    for (int X = 0; X < Cell; ++X)
      if (Lit(K, X, Y)) return Y;
  return -1;
}

int Bottom(int K) {
  for (int Y = Cell - 1; Y >= 0; --Y)
    for (int X = 0; X < Cell; ++X)
      if (Lit(K, X, Y)) return Y;
  return -1;
}

struct FontTest : ::testing::Test {
  void SetUp() override {
    ASSERT_EQ(Sheet().Error, "");
    ASSERT_GE(Sheet().W, 16 * Cell);
    ASSERT_GE(Sheet().H, 6 * Cell);
  }
};

}  // namespace

TEST_F(FontTest, PixelsAreKeyedBackgroundOrWhiteInk) {
  const TSheet& S = Sheet();
  int Ink = 0;
  for (size_t I = 0; I < S.Rgb.size(); ++I) {
    const int X = int(I) % S.W, Y = int(I) / S.W;
    ASSERT_TRUE(S.Rgb[I] == 0 || S.Rgb[I] == 0xFFFFFF) << "pixel " << X << "," << Y << " is " << std::hex << S.Rgb[I];
    // The game keys out pixel value 0, so black must be exactly that value.
    ASSERT_EQ(S.Raw[I] == 0, S.Rgb[I] == 0) << "pixel " << X << "," << Y;
    Ink += S.Rgb[I] != 0;
  }
  EXPECT_GT(Ink, 0);
}

TEST_F(FontTest, GlyphsKeepClearOfTheirNeighbours) {
  // Beyond the advance, and along the top and bottom rows, a cell stays
  // empty, so scaled or filtered glyphs never pick up a neighbour's ink.
  for (int K = First; K <= Last; ++K)
    for (int Y = 0; Y < Cell; ++Y)
      for (int X = 0; X < Cell; ++X)
        if (X >= Advance || Y == 0 || Y == Cell - 1) {
          ASSERT_FALSE(Lit(K, X, Y)) << "character " << K << " at " << X << "," << Y;
        }
}

TEST_F(FontTest, EveryPrintableCharacterIsDrawnAndSpaceIsBlank) {
  EXPECT_EQ(Top(' '), -1);
  for (int K = '!'; K <= '~'; ++K) EXPECT_NE(Top(K), -1) << "character " << char(K);
}

TEST_F(FontTest, LettersShareTheirLines) {
  const int CapLine = Top('H'), XLine = Top('x'), Baseline = Bottom('x');
  ASSERT_LT(CapLine, XLine);
  ASSERT_LT(XLine, Baseline);
  struct TCase {
    const char* Chars;
    int WantTop;  // -1: free, as for the dotted and tall-stemmed letters
    int Drop;     // rows reaching below the baseline, at least; 0: none
  };
  const TCase Cases[] = {
      {"ABCDEFGHIJKLMNOPRSTUVWXYZ0123456789", CapLine, 0},
      {"Q", CapLine, 1},
      {"bdhkl", CapLine, 0},
      {"acemnorsuvwxz", XLine, 0},
      {"gpqy", XLine, 2},
      {"fit", -1, 0},
      {"j", -1, 2},
  };
  for (const TCase& C : Cases)
    for (const char* P = C.Chars; *P; ++P) {
      if (C.WantTop >= 0) {
        EXPECT_EQ(Top(*P), C.WantTop) << "top of " << *P;
      }
      if (C.Drop > 0) {
        EXPECT_GE(Bottom(*P), Baseline + C.Drop) << "bottom of " << *P;
      } else {
        EXPECT_EQ(Bottom(*P), Baseline) << "bottom of " << *P;
      }
    }
}

TEST_F(FontTest, DistinctCharactersHaveDistinctGlyphs) {
  std::map<std::string, char> Owner;
  for (int K = '!'; K <= '~'; ++K) {
    const auto [It, Fresh] = Owner.emplace(Picture(K), char(K));
    EXPECT_TRUE(Fresh) << char(K) << " is drawn the same as " << It->second;
  }
}
