// The province atlas: territories generated from 49 seeds, a coastline and a
// few sine-wave distortions, and their picture coloured by owner.
#pragma once

#include "kv_art.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TGame;

constexpr int AtlasW = 348, AtlasH = 272;

class TAtlas {
 public:
  std::vector<uint8_t> Cells;          // province id of cell (x, y) at y * AtlasW + x, 0 for sea
  std::array<int32_t, 50> CX{}, CY{};  // label positions, indexed 1..49
  TArt Art{2 * AtlasW, 2 * AtlasH};
  std::string LastKey;
  std::array<bool, 50> OnRiver{};      // provinces the great river crosses

  TAtlas();  // Create: raises when the generation breaks its own guarantees

  uint8_t At(int64_t X, int64_t Y) const;
  static void Project(double X, double Y, int32_t& PX, int32_t& PY);
  void Update(const TGame& G, int32_t Selected);
  // The cell under picture pixel (PX, PY); 0 outside the picture.
  int NativeCell(int64_t PX, int64_t PY) const;

 private:
  // What a repaint shares with every other one, worked out once: the sea's
  // colour, each land pixel's shade and border flags, and the river's cells.
  struct TRiverCell {
    int32_t X, Y, H;  // a Fill two pixels wide
    uint32_t Colour;
  };
  std::vector<uint32_t> SeaColour;  // 0 for land
  std::vector<int16_t> LandShade;
  std::vector<uint8_t> LandFlags;
  std::vector<TRiverCell> Waters;
  void Prepare();
};

// The colour of territory held by Owner.
uint32_t TerritoryColour(int64_t Owner);
