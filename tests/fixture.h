// A small valid campaign for model tests and benchmarks: 49 provinces on a
// 7 x 7 grid, 255 characters with every key, 255 faction records.
//
// Factions 1 (human, home 1), 2 (computer, home 2) and 11 (the Chancellor,
// home 25) are active and each governs its home; every other character is a
// free resident of province (id - 1) mod 49 + 1. The queue is [1, 2, 25].
#pragma once

#include "kv_model.h"

#include <string>

TJson FixtureCampaign();
void NewFixtureCampaign(TGame& G);

// Moves character CID to province PID as a member of faction FID with Role.
void Place(TGame& G, int CID, int PID, int FID, const std::string& Role);
// Gives province PID to faction FID, governed by its local character Governor.
void Own(TGame& G, int PID, int FID, int Governor);
// Writes V at a JSON Pointer ("/provinces/0/gold"), replacing what stood there.
void SetAt(TGame& G, const std::string& Pointer, TJson V);
// Removes the member a JSON Pointer names.
void RemoveAt(TGame& G, const std::string& Pointer);

// A scenario of a world book, built like FixtureCampaign but with only the
// eleven factions of a world book and none of the members a new campaign adds.
// Scenario 1 starts the ten leaders on the road, each with an exile party and a
// companion; 2..4 settle leaders 1..10 on provinces 1..10 with a follower each
// (scenario 4 only leaders 1..5, the others on the road). The Chancellor holds
// 25 and 26 throughout; scenario 3 has treaties.
TJson FixtureScenario(int Number);
// Writes the four scenarios as Folder/world.json and returns its path.
std::string WriteFixtureWorld(const std::string& Folder);

// A scratch generator standing where G's stands, to foresee its next draws.
TGame Foresee(const TGame& G);
// Whether the model log holds Line.
bool Logged(const TGame& G, const std::string& Line);
// Lays terrain Code on cell (Q, R) of the battle under way.
void Ground(TGame& G, int Q, int R, int Code);

// A fresh, empty folder for one test's files.
std::string FreshFolder(const std::string& Name);

// A battle already under way: faction 2 marches from province 2 against
// faction 1 in province 1, on an open field (every cell Plain) with no units
// yet, on day 1 in clear weather, the defenders to act, both sides with 50
// food and no training or arms. Returns the battle record.
TJson* OpenField(TGame& G);
// Puts character CID on the field for Side at (Q, R), ready to act; returns its unit index.
int64_t Deploy(TGame& G, int CID, int Side, int Q, int R);
