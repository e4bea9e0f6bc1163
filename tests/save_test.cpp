#include "fixture.h"
#include "kv_files.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

class Saves : public ::testing::Test {
 protected:
  TGame G;
  std::string Folder, File;
  void SetUp() override {
    NewFixtureCampaign(G);
    Folder = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    File = Folder + "/slot.json";
  }

  static void Write(const std::string& Name, const std::string& Text) { std::ofstream(Name, std::ios::binary) << Text; }
  static std::string Read(const std::string& Name) { return ReadTextFile(Name); }

  // Loads Name into a running campaign and expects the error Message with the campaign untouched.
  void ExpectLoadRefused(const std::string& Name, const std::string& Message) {
    std::string Before = G.StateHash();
    G.Note("before");
    try {
      G.Load(Name);
      ADD_FAILURE() << "loaded " << Name;
    } catch (const std::runtime_error& E) {
      EXPECT_EQ(std::string(E.what()), Message);
    }
    EXPECT_EQ(G.StateHash(), Before);
    EXPECT_EQ(G.Log.back(), "before");
  }

  std::string SaveText(TGame& Source) {
    Source.Save(File);
    return Read(File);
  }
};

std::string SaveError(const TGame& G, const std::string& File) {
  try {
    G.Save(File);
  } catch (const std::runtime_error& E) {
    return E.what();
  }
  return "";
}

}  // namespace

TEST_F(Saves, SaveThenLoadContinuesExactly) {
  G.Save(File);
  TGame Loaded;
  Loaded.Load(File);
  EXPECT_EQ(WriteJson(*Loaded.Data), WriteJson(*G.Data));
  ASSERT_EQ(Loaded.Log.size(), 1u);
  EXPECT_EQ(Loaded.Log[0], "Campaign restored. The next companion and random outcome are preserved.");
  for (int I = 0; I < 5; ++I) EXPECT_EQ(Loaded.Rand(1000), G.Rand(1000));
}

TEST_F(Saves, EnvelopeHasItsMembersInOrder) {
  std::string Text = SaveText(G);
  const std::string Head = "{ \"schema\" : 1, \"checksum\" : \"" + G.StateHash() + "\", \"timestamp\" : \"";
  ASSERT_EQ(Text.substr(0, Head.size()), Head);
  std::string Stamp = Text.substr(Head.size(), 19);
  EXPECT_TRUE(std::regex_match(Stamp, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << Stamp;
  EXPECT_EQ(Text.substr(Head.size() + 19), "\", \"state\" : " + WriteJson(*G.Data) + " }\n");
}

TEST_F(Saves, KeepsThePreviousSaveAsBackup) {
  G.Save(File);
  std::string First = Read(File);
  EXPECT_FALSE(FileExists(File + ".bak"));
  G.Rand(10);
  G.Save(File);
  std::string Second = Read(File);
  EXPECT_EQ(Read(File + ".bak"), First);
  G.Rand(10);
  G.Save(File);
  EXPECT_EQ(Read(File + ".bak"), Second);
  EXPECT_FALSE(FileExists(File + ".tmp"));
}

TEST_F(Saves, CreatesMissingFolders) {
  G.Save(Folder + "/a/b/c/save.json");
  EXPECT_TRUE(FileExists(Folder + "/a/b/c/save.json"));
}

TEST_F(Saves, AnAlteredStateFailsTheChecksumButTheTimestampDoesNot) {
  std::string Text = SaveText(G);
  size_t Gold = Text.find("\"gold\" : ") + 9;
  std::string Altered = Text;
  Altered[Gold] = Altered[Gold] == '9' ? '8' : char(Altered[Gold] + 1);
  Write(File, Altered);
  ExpectLoadRefused(File, "Save checksum failed. Your current campaign is unchanged.");

  size_t Stamp = Text.find("\"timestamp\" : \"") + 15;
  Write(File, Text.substr(0, Stamp) + "1999-01-01 00:00:00" + Text.substr(Stamp + 19));
  TGame Other;
  EXPECT_NO_THROW(Other.Load(File));
}

TEST_F(Saves, RefusesOtherEnvelopes) {
  std::string State = WriteJson(*G.Data), Hash = G.StateHash();
  struct {
    std::string Text, Message;
  } Cases[] = {
      {R"({"schema":2,"checksum":")" + Hash + R"(","state":)" + State + "}", "Unsupported save schema."},
      {R"({"schema":"1","checksum":")" + Hash + R"(","state":)" + State + "}", "Unsupported save schema."},
      {R"({"checksum":")" + Hash + R"(","state":)" + State + "}", "Unsupported save schema."},
      {"[1, 2]", "Unsupported save schema."},
      {"17", "Unsupported save schema."},
      {R"({"schema":1,"checksum":")" + Hash + "\"}", "The save file holds no campaign state."},
      {R"({"schema":1,"checksum":")" + Hash + R"(","state":[]})", "The save file holds no campaign state."},
      {R"({"schema":1,"state":)" + State + "}", "Save checksum failed. Your current campaign is unchanged."},
      {R"({"schema":1,"checksum":7,"state":)" + State + "}", "Save checksum failed. Your current campaign is unchanged."},
  };
  for (const auto& C : Cases) {
    Write(File, C.Text);
    ExpectLoadRefused(File, C.Message);
  }
}

TEST_F(Saves, BadFilesLeaveTheCampaignUnchanged) {
  std::string Good = SaveText(G);
  struct {
    std::string Name, Text, Message;  // an empty Text writes no file
  } Cases[] = {
      {"missing.json", "", "File not found: "},
      {"empty.json", "-", "Malformed JSON: the text is empty."},
      {"malformed.json", "{\"schema\" 1}", "Malformed JSON at line 1, column 11: "},
      {"truncated.json", Good.substr(0, Good.size() / 2), "Malformed JSON at line 1, column "},
      {"repeated.json", R"({"schema":1,"schema":1})", "Duplicate member \"schema\"."},
      {"bomb.json", std::string(1000000, '['), "JSON text nests deeper than 200 levels."},
      {"huge.json", R"({"schema":1,"n":18446744073709551616})", "Number 18446744073709551616 does not fit in 64 bits."},
      {"fraction.json", R"({"schema":1.0})", "Number 1.0 is not a whole number."},
  };
  for (const auto& C : Cases) {
    std::string Name = Folder + "/" + C.Name;
    if (!C.Text.empty()) Write(Name, C.Text == "-" ? "" : C.Text);
    std::string Before = G.StateHash();
    try {
      G.Load(Name);
      ADD_FAILURE() << C.Name;
    } catch (const std::runtime_error& E) {
      EXPECT_EQ(std::string(E.what()).rfind(C.Message, 0), 0u) << C.Name << ": " << E.what();
    }
    EXPECT_EQ(G.StateHash(), Before);
  }
  fs::create_directory(Folder + "/folder.json");
  ExpectLoadRefused(Folder + "/folder.json", "Not a file but a folder: " + Folder + "/folder.json");
}

TEST_F(Saves, AnInvalidSavedDocumentIsRefusedAfterItsChecksum) {
  TGame Broken;
  NewFixtureCampaign(Broken);
  TGame::Put(Broken.Data.get(), "month", 13);
  std::string State = WriteJson(*Broken.Data);
  Write(File, R"({ "schema" : 1, "checksum" : ")" + HashText(State) + R"(", "state" : )" + State + " }\n");
  ExpectLoadRefused(File, "Invalid save: Invalid date.");
}

TEST_F(Saves, AnInvalidCampaignIsNotWritten) {
  TGame::Put(G.Data.get(), "month", 0);
  EXPECT_EQ(SaveError(G, File), "Cannot save invalid campaign: Invalid date.");
  EXPECT_FALSE(FileExists(File));
  EXPECT_FALSE(FileExists(File + ".tmp"));
}

TEST_F(Saves, AnUnwritableFolderIsReported) {
  Write(Folder + "/plain", "a file, not a folder");
  EXPECT_EQ(SaveError(G, Folder + "/plain/sub/save.json"), "Unable to create the save folder " + Folder + "/plain/sub");
}

TEST_F(Saves, AFullDiskLeavesTheOldSaveInPlace) {
  G.Save(File);
  std::string Old = Read(File);
  G.Rand(10);
  // A file size limit makes the write fail part-way, as a full disk would.
  auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit Saved;
  getrlimit(RLIMIT_FSIZE, &Saved);
  rlimit Small = Saved;
  Small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &Small);
  std::string Error = SaveError(G, File);
  setrlimit(RLIMIT_FSIZE, &Saved);
  std::signal(SIGXFSZ, OldHandler);
  EXPECT_EQ(Error, "Unable to commit save file.");
  EXPECT_EQ(Read(File), Old);
  EXPECT_FALSE(FileExists(File + ".tmp"));
  EXPECT_FALSE(FileExists(File + ".bak"));
}

TEST_F(Saves, AnOldSaveThatCannotBeMovedAsideStays) {
  G.Save(File);
  std::string Old = Read(File);
  // A backup name taken by a folder that is not empty cannot be replaced.
  fs::create_directories(File + ".bak/inner");
  EXPECT_EQ(SaveError(G, File), "Unable to preserve previous save.");
  EXPECT_EQ(Read(File), Old);
  EXPECT_TRUE(FileExists(File + ".tmp"));
}

// ---- Validate ------------------------------------------------------------

namespace {

struct TBreak {
  const char* Pointer;
  const char* Json;  // nullptr removes the member
  const char* Message;
};

}  // namespace

TEST(Validate, TheFixtureIsValid) {
  TGame G;
  NewFixtureCampaign(G);
  EXPECT_EQ(G.Validate(), "");
}

TEST(Validate, ReportsTheFirstBrokenInvariant) {
  const TBreak Cases[] = {
      {"/provinces/48", nullptr, "Incorrect world dimensions."},
      {"/characters/254", nullptr, "Incorrect world dimensions."},
      {"/characters", "{}", "Incorrect world dimensions."},
      {"/characters/99/province", "0", "Invalid character location."},
      {"/characters/99/province", "50", "Invalid character location."},
      {"/provinces/6/id", "8", "Province IDs are inconsistent."},
      {"/provinces/6", "3", "Province IDs are inconsistent."},
      {"/provinces/3/gold", "10000", "gold outside bounds."},
      {"/provinces/3/food", "-1", "food outside bounds."},
      {"/provinces/3/metal", "1000", "metal outside bounds."},
      {"/provinces/3/fur", "1000", "fur outside bounds."},
      {"/provinces/3/skill", "101", "skill outside bounds."},
      {"/provinces/3/arms", "101", "arms outside bounds."},
      {"/provinces/3/support", "101", "support outside bounds."},
      {"/provinces/3/flood", "101", "flood outside bounds."},
      {"/provinces/3/land", "101", "land outside bounds."},
      {"/provinces/3/wealth", "101", "wealth outside bounds."},
      {"/provinces/3/rate", "101", "rate outside bounds."},
      {"/provinces/3/owner", "256", "Invalid owner."},
      {"/provinces/3/owner", "-1", "Invalid owner."},
      {"/provinces/0/castles", "0", "Province 1 exceeds character capacity."},
      {"/provinces/1/governor", "30", "Province 2 has no valid local governor."},
      {"/characters/1/captured", "true", "Province 2 has no valid local governor."},
      {"/characters/40/soldiers", "101", "Invalid soldiers."},
      {"/characters/40/body", "101", "Invalid Body."},
      {"/characters/40/body", "-1", "Invalid Body."},
      {"/beastNotices", "{}", "Invalid beast notifications."},
      {"/beastNotices", "[3]", "Invalid beast notification."},
      {"/beastNotices", R"([{"province":50,"beast":1}])", "Invalid beast notification location/species."},
      {"/beastNotices", R"([{"province":5,"beast":5}])", "Invalid beast notification location/species."},
      {"/beastNotices", R"([{"province":5,"beast":2,"foodBefore":100,"foodLoss":30,"foodAfter":60}])",
       "Invalid beast notification food loss."},
      {"/beastNotices", R"([{"province":5,"beast":2,"foodBefore":10000,"foodLoss":0,"foodAfter":10000}])",
       "Invalid beast notification food loss."},
      {"/month", "0", "Invalid date."},
      {"/month", "13", "Invalid date."},
      {"/month", nullptr, "Invalid date."},
      {"/factions", nullptr, "Invalid owner."},  // the owners are checked first
      {"/factions", "{}", "Invalid owner."},
      {"/treaties", "{}", "The campaign has no treaties list."},
      {"/exileParties", nullptr, "The campaign has no exileParties list."},
      {"/queue", "1", "The campaign has no queue list."},
      {"/treaties", "[7]", "Invalid record in treaties."},
      {"/exileParties", "[[]]", "Invalid record in exileParties."},
      {"/factions/254", nullptr, "Faction records are incomplete."},
      {"/factions/100/id", "7", "Faction IDs are inconsistent."},
      {"/queueIndex", "4", "Invalid queue position."},
      {"/queueIndex", "-1", "Invalid queue position."},
      {"/queue", "[1, 0]", "Invalid queue entry."},
      {"/queue", "[50]", "Invalid queue entry."},
      {"/queue", "[-256]", "Invalid queue entry."},
      {"/queue", R"(["1"])", "Invalid queue entry."},
      {"/queueOwners", "[]", "Invalid queue owners."},
      {"/provinces/9/neighbors", "[]", "Province 10 has no neighbors."},
      {"/provinces/9/neighbors", nullptr, "Province 10 has no neighbors."},
      {"/provinces/9/neighbors", "[11, 0]", "Province 10 has an invalid neighbor."},
      {"/provinces/9/castles", "8", "castles outside bounds."},
      {"/provinces/9/castles", "-1", "Province 10 exceeds character capacity."},  // capacity comes first
      {"/characters/200/xp", nullptr, "Character 201 has no experience record."},
      {"/characters/200/xp", "0", "Character 201 has no experience record."},
  };
  for (const TBreak& C : Cases) {
    TGame G;
    NewFixtureCampaign(G);
    if (C.Json) SetAt(G, C.Pointer, ParseJson(C.Json));
    else RemoveAt(G, C.Pointer);
    EXPECT_EQ(G.Validate(), C.Message) << C.Pointer << " = " << (C.Json ? C.Json : "(removed)");
  }
}

TEST(Validate, CapacityCountsCaptivesButNotFreeResidentsOrExiles) {
  TGame G;
  NewFixtureCampaign(G);
  TGame::Put(G.P(1), "castles", 1);
  for (int Cid : {30, 31, 32, 33}) Place(G, Cid, 1, 1, "follower");
  Place(G, 34, 1, 1, "exile");
  Place(G, 35, 1, 2, "follower");  // a stranger does not occupy the province
  EXPECT_EQ(G.Validate(), "");
  TGame::Put(G.C(35), "captured", true);
  EXPECT_EQ(G.Validate(), "Province 1 exceeds character capacity.");
  TGame::Put(G.C(35), "overflow", true);
  EXPECT_EQ(G.Validate(), "");
}

TEST(Validate, ATownVisitNeedsItsAttempts) {
  TGame G;
  NewFixtureCampaign(G);
  TGame::Put(G.Data.get(), "town", true);
  EXPECT_EQ(G.Validate(), "");
  RemoveAt(G, "/townAttempts");
  EXPECT_EQ(G.Validate(), "Invalid town visit.");
  TGame::Put(G.Data.get(), "town", false);
  RemoveAt(G, "/beastNotices");
  RemoveAt(G, "/queueOwners");
  EXPECT_EQ(G.Validate(), "");
}
