// The pixel canvas every picture is drawn into, and the procedural figures
// painted on it when no artwork sheet is present.
//
// Pixels are AARRGGBB; colours passed to the drawing operations are RRGGBB and
// are stored opaque. All rasterising is exact integer work, so the same inputs
// always give the same pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Renderer;
struct SDL_Texture;

// The art palette.
constexpr uint32_t ABlack = 0x000000, ANavy = 0x1C2C70, AJade = 0x2E7D4F, ATeal = 0x2A8A8A, ARed = 0xA82828,
                   APlum = 0x803C8C, ABronze = 0x8C5A2C, AStone = 0xB4B4A8, ASlate = 0x585860, ASky = 0x5C7CE0,
                   ALeaf = 0x78C870, AIce = 0xC8E0EC, ACoral = 0xE0705C, AOrchid = 0xD45CD4, AGold = 0xF0D850,
                   AWhite = 0xF4F4EC;

class TArt {
 public:
  const int32_t W, H;
  std::vector<uint32_t> Pixels;
  SDL_Texture* Texture = nullptr;
  bool Dirty = true;

  TArt(int32_t AW, int32_t AH);
  ~TArt();
  TArt(TArt&& Other) noexcept;  // the texture goes with the pixels
  TArt(const TArt&) = delete;
  TArt& operator=(const TArt&) = delete;

  void Put(int64_t X, int64_t Y, uint32_t C);
  uint32_t Get(int64_t X, int64_t Y) const;
  void Fill(int64_t X, int64_t Y, int64_t AW, int64_t AH, uint32_t C);
  void Line(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, uint32_t C);
  void Tri(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t X3, int64_t Y3, uint32_t C);
  void Oval(int64_t X, int64_t Y, int64_t RX, int64_t RY, uint32_t C);
  void Dither(int64_t X, int64_t Y, int64_t AW, int64_t AH, uint32_t A, uint32_t B, int64_t Step);
  void Paste(const TArt* Source, int64_t SX, int64_t SY, int64_t SW, int64_t SH, int64_t DX, int64_t DY,
             int64_t DW, int64_t DH, int64_t Opacity, bool Smooth, bool Grey);

  void Upload(SDL_Renderer* Renderer);
  void Draw(SDL_Renderer* Renderer, int X, int Y, int AW, int AH);

  // The raw pixel, alpha included; 0 outside the canvas.
  uint32_t Raw(int64_t X, int64_t Y) const {
    return X >= 0 && Y >= 0 && X < W && Y < H ? Pixels[size_t(Y) * size_t(W) + size_t(X)] : 0;
  }
};

// Reads a PNG into a new canvas; nullptr when the file does not exist. A damaged,
// empty or oversized image raises std::runtime_error naming the file.
std::unique_ptr<TArt> LoadArtPNG(const std::string& FileName);
// Writes the canvas as an 8-bit RGBA PNG; raises std::runtime_error on failure.
void SaveArtPNG(const TArt& A, const std::string& FileName);

// Even-odd rule; a point on a left edge is inside, on a right edge outside.
bool WithinPolygon(int64_t X, int64_t Y, const std::vector<int64_t>& VX, const std::vector<int64_t>& VY);

// Figures.
uint32_t BannerColor(int32_t FID);
void Hero(TArt& A, int32_t CID, bool Woman, uint32_t Robe);
void Tree(TArt& A, int32_t X, int32_t Y, bool Pine);
void Mountain(TArt& A, int32_t X, int32_t Y, int32_t Size);
void Castle(TArt& A, int32_t X, int32_t Y);
void Banner(TArt& A, int32_t X, int32_t Y, int32_t Men, uint32_t Team, bool Spent, bool Commander, bool Selected);
