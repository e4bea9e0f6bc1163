#include "kv_art.h"
#include "fixture.h"
#include "kv_files.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <set>
#include <utility>

namespace {

using TPixels = std::set<std::pair<int, int>>;

// The pixels that are not transparent black.
TPixels Drawn(const TArt& A) {
  TPixels Out;
  for (int Y = 0; Y < A.H; ++Y)
    for (int X = 0; X < A.W; ++X)
      if (A.Raw(X, Y) != 0) Out.insert({X, Y});
  return Out;
}

}  // namespace

TEST(Canvas, PutAndGetStayInside) {
  TArt A(4, 3);
  EXPECT_TRUE(A.Dirty);
  A.Dirty = false;
  A.Put(4, 0, ARed);
  A.Put(-1, 0, ARed);
  A.Put(0, 3, ARed);
  EXPECT_FALSE(A.Dirty);
  EXPECT_EQ(Drawn(A), TPixels{});
  A.Put(1, 2, AGold);
  EXPECT_TRUE(A.Dirty);
  EXPECT_EQ(A.Get(1, 2), 0xF0D850u);
  EXPECT_EQ(A.Raw(1, 2), 0xFFF0D850u);
  EXPECT_EQ(A.Get(-1, 0), 0u);
  EXPECT_EQ(A.Get(0, 3), 0u);
  A.Dirty = false;
  A.Fill(0, 0, 0, 5, ARed);
  EXPECT_TRUE(A.Dirty);
  A.Fill(-2, 1, 4, 9, ARed);
  EXPECT_EQ(Drawn(A), (TPixels{{0, 1}, {1, 1}, {0, 2}, {1, 2}}));
}

TEST(Canvas, LineWalksEveryOctant) {
  TArt A(8, 8);
  A.Line(0, 0, 3, 1, ARed);
  EXPECT_EQ(Drawn(A), (TPixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  TArt B(8, 8);
  B.Line(3, 1, 0, 0, ARed);
  EXPECT_EQ(Drawn(B), (TPixels{{3, 1}, {2, 1}, {1, 0}, {0, 0}}));
  TArt C(8, 8);
  C.Line(1, 6, 2, 2, ARed);
  EXPECT_EQ(Drawn(C), (TPixels{{1, 6}, {1, 5}, {2, 4}, {2, 3}, {2, 2}}));
  TArt D(8, 8);
  D.Line(5, 5, 5, 5, ARed);
  EXPECT_EQ(Drawn(D), (TPixels{{5, 5}}));
}

TEST(Canvas, TriangleIncludesItsEdgesInEitherWinding) {
  TPixels Expected;
  for (int Y = 0; Y <= 4; ++Y)
    for (int X = 0; X + Y <= 4; ++X) Expected.insert({X, Y});
  TArt A(8, 8), B(8, 8), C(8, 8);
  A.Tri(0, 0, 4, 0, 0, 4, ARed);
  B.Tri(0, 0, 0, 4, 4, 0, ARed);
  EXPECT_EQ(Drawn(A).size(), 15u);
  EXPECT_EQ(Drawn(A), Expected);
  EXPECT_EQ(Drawn(B), Expected);
  C.Tri(0, 0, 2, 2, 4, 4, ARed);  // degenerate: its line
  EXPECT_EQ(Drawn(C), (TPixels{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
}

TEST(Canvas, OvalFollowsTheEllipseInequality) {
  TArt A(12, 12);
  A.Oval(5, 5, 2, 1, ARed);
  EXPECT_EQ(Drawn(A), (TPixels{{5, 4}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}, {5, 6}}));
  TArt B(12, 12);
  B.Oval(3, 3, 0, 2, ARed);
  EXPECT_EQ(Drawn(B), (TPixels{{3, 1}, {3, 2}, {3, 3}, {3, 4}, {3, 5}}));
  TArt C(12, 12);
  C.Oval(3, 3, -1, 2, ARed);
  C.Oval(3, 3, 2, -1, ARed);
  EXPECT_EQ(Drawn(C), TPixels{});
}

TEST(Canvas, DitherUsesCanvasCoordinates) {
  TArt A(4, 4);
  A.Dither(0, 0, 2, 2, ARed, AGold, 2);
  EXPECT_EQ(A.Get(0, 0), AGold);
  EXPECT_EQ(A.Get(1, 1), AGold);
  EXPECT_EQ(A.Get(1, 0), ARed);
  EXPECT_EQ(A.Get(0, 1), ARed);
  A.Dither(1, 2, 3, 1, ARed, ASky, 3);  // (x + y) mod 3 over the canvas, not the rectangle
  EXPECT_EQ(A.Get(1, 2), ASky);
  EXPECT_EQ(A.Get(2, 2), ARed);
  EXPECT_EQ(A.Get(3, 2), ARed);
}

TEST(Canvas, FarAwayCoordinatesAreClippedQuickly) {
  const int64_t Far = INT32_MAX, Near = INT32_MIN;
  TArt A(8, 8);
  A.Line(Near, 5, Far, 5, ARed);
  for (int X = 0; X < 8; ++X) EXPECT_EQ(A.Get(X, 5), ARed) << X;
  A.Line(Near, Near, Far, Far, AGold);
  A.Tri(Near, 0, Far, 0, 0, Far, ASky);
  EXPECT_EQ(A.Get(7, 7), ASky);
  A.Oval(4, 4, Far, Far, AJade);
  EXPECT_EQ(A.Get(0, 0), AJade);
  A.Fill(Near, Near, Far, Far, ARed);
  A.Dither(Near, Near, Far, Far, ARed, AGold, 2);
  A.Line(Far, Far, Far - 3, Far, ARed);
  A.Paste(&A, 0, 0, 8, 8, Near, Near, Far, Far, 255, true, false);
  A.Put(Far, Near, ARed);
  EXPECT_EQ(A.Get(Far, Near), 0u);
}

TEST(Paste, ScalesToTheNearestPixel) {
  TArt S(2, 2), D(4, 4);
  S.Put(0, 0, ARed);
  S.Put(1, 0, AGold);
  S.Put(0, 1, ASky);
  S.Put(1, 1, AJade);
  D.Paste(&S, 0, 0, 2, 2, 0, 0, 4, 4, 255, false, false);
  const uint32_t Expected[4][4] = {{ARed, ARed, AGold, AGold}, {ARed, ARed, AGold, AGold},
                                   {ASky, ASky, AJade, AJade}, {ASky, ASky, AJade, AJade}};
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X) EXPECT_EQ(D.Get(X, Y), Expected[Y][X]) << X << "," << Y;
  TArt E(4, 4);  // a region reaching past the source is skipped there
  E.Paste(&S, 1, 0, 2, 2, 0, 0, 4, 4, 255, false, false);
  EXPECT_EQ(E.Get(0, 0), AGold);
  EXPECT_EQ(E.Raw(3, 0), 0u);
}

TEST(Paste, BlendsByAlphaAndOpacity) {
  TArt S(1, 1), D(1, 1);
  S.Put(0, 0, 0xFF0000);
  D.Put(0, 0, 0x0000FF);
  D.Paste(&S, 0, 0, 1, 1, 0, 0, 1, 1, 128, false, false);
  EXPECT_EQ(D.Raw(0, 0), 0xFF80007Fu);  // 255 * 128 / 255 = 128 of red, 127 of blue
  D.Paste(&S, 0, 0, 1, 1, 0, 0, 1, 1, 300, false, false);
  EXPECT_EQ(D.Raw(0, 0), 0xFFFF0000u);
  S.Pixels[0] = 0x00FFFFFF;  // transparent source
  D.Paste(&S, 0, 0, 1, 1, 0, 0, 1, 1, 255, false, false);
  EXPECT_EQ(D.Raw(0, 0), 0xFFFF0000u);
  S.Pixels[0] = 0x8000FF00;  // a half-transparent source over an empty target
  TArt E(1, 1);
  E.Paste(&S, 0, 0, 1, 1, 0, 0, 1, 1, 255, false, false);
  EXPECT_EQ(E.Raw(0, 0), 0xFF008000u);
  D.Dirty = false;
  D.Paste(&S, 0, 0, 1, 1, 0, 0, 1, 1, 0, false, false);
  EXPECT_TRUE(D.Dirty);
  EXPECT_EQ(D.Raw(0, 0), 0xFFFF0000u);
}

TEST(Paste, SmoothAveragesFourSamplesAndGreyMutes) {
  TArt S(2, 2), D(1, 1);
  S.Pixels = {0xFF000000, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
  D.Paste(&S, 0, 0, 2, 2, 0, 0, 1, 1, 255, true, false);
  EXPECT_EQ(D.Raw(0, 0), 0xFF3F3F3Fu);
  TArt G(1, 1);
  TArt One(1, 1);
  One.Put(0, 0, 0xC86432);  // r 200, g 100, b 50: L = (6000 + 5900 + 550) / 100 = 124
  G.Paste(&One, 0, 0, 1, 1, 0, 0, 1, 1, 255, false, true);
  EXPECT_EQ(G.Raw(0, 0), 0xFF000000u | (572 / 4) << 16 | (472 / 4) << 8 | 422 / 4);
}

TEST(Paste, SmoothSamplesStayInsideANarrowSource) {
  TArt S(3, 4);
  S.Fill(0, 0, 3, 4, ARed);
  TArt D(8, 8);
  // The region is wider and taller than the sheet, as a narrow landscape cut for a portrait.
  D.Paste(&S, 1, 0, 9, 6, 0, 0, 8, 8, 255, true, false);
  EXPECT_EQ(D.Get(0, 0), ARed);
  EXPECT_EQ(D.Raw(7, 7), 0u);
}

TEST(Polygon, EvenOddWithLeftEdgesInside) {
  const std::vector<int64_t> X = {0, 4, 4, 0}, Y = {0, 0, 4, 4};
  EXPECT_TRUE(WithinPolygon(0, 2, X, Y));
  EXPECT_FALSE(WithinPolygon(4, 2, X, Y));
  EXPECT_TRUE(WithinPolygon(2, 2, X, Y));
  EXPECT_FALSE(WithinPolygon(5, 2, X, Y));
  EXPECT_FALSE(WithinPolygon(2, 4, X, Y));
  EXPECT_FALSE(WithinPolygon(0, 0, {}, {}));
}

// ---- PNG files ---------------------------------------------------------

namespace {

// Writes an image with libpng's full interface, so that any depth and colour type can be made.
void WritePng(const std::string& Name, int W, int H, int Depth, int Type, const std::vector<uint8_t>& Bytes,
              const std::vector<png_color>& Palette = {}) {
  FILE* F = fopen(Name.c_str(), "wb");
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  png_init_io(Png, F);
  png_set_IHDR(Png, Info, W, H, Depth, Type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!Palette.empty()) png_set_PLTE(Png, Info, Palette.data(), int(Palette.size()));
  png_write_info(Png, Info);
  const size_t RowBytes = Bytes.size() / size_t(H);
  for (int Y = 0; Y < H; ++Y) png_write_row(Png, Bytes.data() + size_t(Y) * RowBytes);
  png_write_end(Png, nullptr);
  png_destroy_write_struct(&Png, &Info);
  fclose(F);
}

// The signature and a header chunk announcing W x H; nothing after it.
void WriteHeaderOnly(const std::string& Name, uint32_t W, uint32_t H) {
  const unsigned char Head[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                uint8_t(W >> 24), uint8_t(W >> 16), uint8_t(W >> 8), uint8_t(W),
                                uint8_t(H >> 24), uint8_t(H >> 16), uint8_t(H >> 8), uint8_t(H),
                                8, 6, 0, 0, 0, 0, 0, 0, 0};
  std::ofstream(Name, std::ios::binary).write(reinterpret_cast<const char*>(Head), sizeof Head);
}

std::string LoadError(const std::string& Name) {
  try {
    LoadArtPNG(Name);
  } catch (const std::runtime_error& E) {
    return E.what();
  }
  return "";
}

}  // namespace

TEST(Png, RoundTripsEveryPixelWithAlpha) {
  std::string Name = FreshFolder("png-roundtrip") + "/a.png";
  TArt A(3, 2);
  A.Pixels = {0xFF102030, 0x80405060, 0x00000000, 0xFFFFFFFF, 0x01020304, 0xFEDCBA98};
  SaveArtPNG(A, Name);
  auto B = LoadArtPNG(Name);
  ASSERT_TRUE(B);
  EXPECT_EQ(B->W, 3);
  EXPECT_EQ(B->H, 2);
  EXPECT_EQ(B->Pixels, A.Pixels);
}

TEST(Png, ReadsEveryColourTypeTakingTheHighByte) {
  std::string Folder = FreshFolder("png-types");
  WritePng(Folder + "/rgb16.png", 1, 1, 16, PNG_COLOR_TYPE_RGB, {0x12, 0xAB, 0x34, 0xCD, 0x56, 0xEF});
  WritePng(Folder + "/ga16.png", 1, 1, 16, PNG_COLOR_TYPE_GRAY_ALPHA, {0x77, 0x01, 0x99, 0xFF});
  WritePng(Folder + "/gray2.png", 4, 1, 2, PNG_COLOR_TYPE_GRAY, {0x1B});  // levels 0, 1, 2, 3
  WritePng(Folder + "/palette.png", 2, 1, 8, PNG_COLOR_TYPE_PALETTE, {1, 0}, {{10, 20, 30}, {200, 100, 50}});
  EXPECT_EQ(LoadArtPNG(Folder + "/rgb16.png")->Pixels, std::vector<uint32_t>{0xFF123456});
  EXPECT_EQ(LoadArtPNG(Folder + "/ga16.png")->Pixels, std::vector<uint32_t>{0x99777777});
  EXPECT_EQ(LoadArtPNG(Folder + "/gray2.png")->Pixels,
            (std::vector<uint32_t>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}));
  EXPECT_EQ(LoadArtPNG(Folder + "/palette.png")->Pixels, (std::vector<uint32_t>{0xFFC86432, 0xFF0A141E}));
}

TEST(Png, BadFilesRaiseNamingTheFile) {
  std::string Folder = FreshFolder("png-bad");
  EXPECT_EQ(LoadArtPNG(Folder + "/missing.png"), nullptr);

  WriteHeaderOnly(Folder + "/empty.png", 0, 5);
  EXPECT_EQ(LoadError(Folder + "/empty.png"), "Empty artwork: " + Folder + "/empty.png");
  WriteHeaderOnly(Folder + "/huge.png", 20000, 20000);
  EXPECT_EQ(LoadError(Folder + "/huge.png"), "Artwork is too large: " + Folder + "/huge.png (20000 x 20000)");

  std::ofstream(Folder + "/text.png") << "not a picture at all, only words";
  EXPECT_EQ(LoadError(Folder + "/text.png"), "Artwork is not a PNG image: " + Folder + "/text.png");
  std::ofstream(Folder + "/tiny.png") << "\x89PNG";
  EXPECT_EQ(LoadError(Folder + "/tiny.png"), "Artwork is not a PNG image: " + Folder + "/tiny.png");

  TArt A(40, 40);
  A.Dither(0, 0, 40, 40, ARed, ASky, 3);
  SaveArtPNG(A, Folder + "/whole.png");
  std::string Bytes = ReadTextFile(Folder + "/whole.png");
  std::ofstream(Folder + "/cut.png", std::ios::binary) << Bytes.substr(0, Bytes.size() / 2);
  EXPECT_EQ(LoadError(Folder + "/cut.png").rfind("Damaged artwork: " + Folder + "/cut.png (", 0), 0u);
  WriteHeaderOnly(Folder + "/headonly.png", 4, 4);
  EXPECT_EQ(LoadError(Folder + "/headonly.png").rfind("Damaged artwork: ", 0), 0u);
}

// ---- The texture, through SDL's software renderer ------------------------

TEST(Texture, UploadsArgbAndBlendsByAlpha) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Surface* Screen = SDL_CreateRGBSurfaceWithFormat(0, 4, 2, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* R = SDL_CreateSoftwareRenderer(Screen);
  ASSERT_TRUE(R) << SDL_GetError();
  {
    TArt A(2, 1);
    A.Pixels = {0xFFC83214, 0x800000FF};
    SDL_SetRenderDrawColor(R, 0, 255, 0, 255);
    SDL_RenderClear(R);
    A.Draw(R, 0, 0, 4, 2);  // stretched 2 x
    EXPECT_FALSE(A.Dirty);
    Uint32 Format;
    SDL_QueryTexture(A.Texture, &Format, nullptr, nullptr, nullptr);
    EXPECT_EQ(Format, Uint32(SDL_PIXELFORMAT_ARGB8888));
    auto Pixel = [&](int X, int Y) { return static_cast<Uint32*>(Screen->pixels)[Y * Screen->pitch / 4 + X]; };
    EXPECT_EQ(Pixel(0, 0) & 0xFFFFFF, 0xC83214u);
    EXPECT_EQ(Pixel(1, 1) & 0xFFFFFF, 0xC83214u);
    // Half blue over green: each channel within one of the exact mix.
    Uint32 Mixed = Pixel(3, 1);
    EXPECT_NEAR(int(Mixed >> 8 & 0xFF), 127, 1);
    EXPECT_NEAR(int(Mixed & 0xFF), 128, 1);
    EXPECT_EQ(Mixed >> 16 & 0xFF, 0u);

    A.Put(1, 0, 0x0A0B0C);  // a changed canvas is uploaded again on its next draw
    EXPECT_TRUE(A.Dirty);
    A.Draw(R, 0, 0, 4, 2);
    EXPECT_EQ(Pixel(3, 0) & 0xFFFFFF, 0x0A0B0Cu);
  }
  SDL_DestroyRenderer(R);
  SDL_FreeSurface(Screen);
  SDL_Quit();
}
