#include "kv_assets.h"

#include <memory>

namespace {

std::unique_ptr<TArt> Faces, Tiles, Scene;

struct TCell {
  int64_t X, Y, W, H;
};

// Cell I of a 4 x 4 sheet, from its integer bounds.
TCell CellOf(const TArt& Sheet, int I) {
  const int64_t Col = I % 4, Row = I / 4;
  const int64_t X0 = Col * Sheet.W / 4, X1 = (Col + 1) * Sheet.W / 4;
  const int64_t Y0 = Row * Sheet.H / 4, Y1 = (Row + 1) * Sheet.H / 4;
  return {X0, Y0, X1 - X0, Y1 - Y0};
}

}  // namespace

void OpenArtwork(const std::string& ArtFolder) {
  CloseArtwork();
  std::string Folder = ArtFolder;
  if (!Folder.empty() && Folder.back() != '/') Folder += '/';
  Faces = LoadArtPNG(Folder + "characters-v2.png");
  Tiles = LoadArtPNG(Folder + "terrain-units-v2.png");
  Scene = LoadArtPNG(Folder + "riverlands-v2.png");
}

void CloseArtwork() {
  Faces.reset();
  Tiles.reset();
  Scene.reset();
}

bool ArtworkReady() { return Faces && Tiles && Scene; }

bool TerrainSpriteReady() { return bool(Tiles); }

int PortraitIndex(int32_t CID, bool Woman, const std::string& Profession) {
  const std::string& P = Profession;
  if (CID >= 1 && CID <= 11) return CID - 1;
  if (Woman) {
    if (P == "scholar") return 14;
    if (P == "innkeeper" || P == "trader") return 15;
    return 11;
  }
  if (P == "doctor" || P == "mystic") return 12;
  if (P == "trader" || P == "innkeeper") return 13;
  if (P == "scholar") return 5;
  if (P == "courtier") return 10;
  if (P == "hunter") return 3;
  if (P == "fisher") return 8 + CID % 2;
  if (P == "wrestler") return CID % 2 == 0 ? 1 : 7;
  if (P == "artisan") return 4;
  if (P == "performer") return 2;
  return CID % 10;
}

bool IllustratedPortrait(TArt& A, int32_t CID, bool Woman, const std::string& Profession) {
  // A landscape detail stands in for character 0, nobody.
  if (CID == 0 && Scene) {
    A.Paste(Scene.get(), Scene->W / 4, 0, 3 * int64_t(Scene->H) / 4, Scene->H, 0, 0, A.W, A.H, 255, true, false);
    return true;
  }
  if (!Faces || CID <= 0) return false;
  TCell C = CellOf(*Faces, PortraitIndex(CID, Woman, Profession));
  A.Paste(Faces.get(), C.X + 2, C.Y + 2, C.W - 4, C.H - 4, 0, 0, A.W, A.H, 255, true, false);
  return true;
}

bool IllustratedTitle(TArt& A) {
  if (!Scene) return false;
  A.Paste(Scene.get(), 0, 0, Scene->W, Scene->H, 0, 0, A.W, A.H, 255, true, false);
  return true;
}

void Sprite(TArt& A, int32_t Tile, int32_t X, int32_t Y, int32_t W, int32_t H, int32_t Opacity, bool Muted) {
  if (!Tiles || Tile < 0 || Tile > 15) return;
  TCell C = CellOf(*Tiles, Tile);
  A.Paste(Tiles.get(), C.X, C.Y, C.W, C.H, X, Y, W, H, Opacity, false, Muted);
}
