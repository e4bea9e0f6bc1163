// The three optional artwork sheets: portraits, terrain and unit sprites, and a
// landscape. Each picture that could use one falls back to its painted figure
// when the sheet is absent, so the game runs without any artwork.
#pragma once

#include "kv_art.h"

#include <string>

void OpenArtwork(const std::string& ArtFolder);
void CloseArtwork();
bool ArtworkReady();
bool TerrainSpriteReady();

bool IllustratedPortrait(TArt& A, int32_t CID, bool Woman, const std::string& Profession);
bool IllustratedTitle(TArt& A);
void Sprite(TArt& A, int32_t Tile, int32_t X, int32_t Y, int32_t W, int32_t H, int32_t Opacity, bool Muted);

// The sheet cell that shows character CID (the illustrated portrait index).
int PortraitIndex(int32_t CID, bool Woman, const std::string& Profession);
