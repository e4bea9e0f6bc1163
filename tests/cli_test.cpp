#include "fixture.h"
#include "kv_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/wait.h>

namespace {

struct TRun {
  int Code;
  std::string Out;
};

std::string Quote(const std::string& S) {
  std::string Q = "'";
  for (char C : S) Q += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Q + "'";
}

// Runs kestmarch-cli with the arguments; standard error is kept apart.
TRun Cli(const std::vector<std::string>& Args, const std::string& ErrFile = "/dev/null") {
  std::string Line = KV_CLI;
  for (const auto& A : Args) Line += " " + Quote(A);
  Line += " 2>" + Quote(ErrFile);
  FILE* Pipe = popen(Line.c_str(), "r");
  std::string Out;
  char Buf[4096];
  for (size_t Got; (Got = fread(Buf, 1, sizeof Buf, Pipe)) > 0;) Out.append(Buf, Got);
  int Status = pclose(Pipe);
  return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, Out};
}

class CliTest : public ::testing::Test {
 protected:
  std::string Folder, Save;
  void SetUp() override {
    Folder = FreshFolder(std::string("cli-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    Save = Folder + "/start.json";
    TGame G;
    NewFixtureCampaign(G);
    G.Save(Save);
  }
};

}  // namespace

TEST_F(CliTest, CallReadsWritesAndSaves) {
  std::string Out = Folder + "/out.json";
  TRun R = Cli({"call", Save, "-o", Out, "get /provinces/2/gold", "set /provinces/2/gold 77", "get /provinces/2/gold",
                "set /provinces/2/name New Harbour", "get /provinces/2/name", "set /queue/1 25", "get /queue",
                "get /nothing/here", "set /rng 1", "rand 100", "validate", "hash", "log"});
  EXPECT_EQ(R.Code, 0);
  TGame G;
  G.Load(Out);
  EXPECT_EQ(R.Out, "139\nok\n77\nok\n\"New Harbour\"\nok\n[1, 25, 25]\nnull\nok\n69\nok\n" + G.StateHash() +
                       "\nCampaign restored. The next companion and random outcome are preserved.\n");
  EXPECT_EQ(TGame::N(G.P(3), "gold"), 77);
  EXPECT_EQ(TGame::N(G.Data.get(), "rng"), 270369);
  EXPECT_EQ(Cli({"verify", Out}).Out, "ok " + G.StateHash() + "\n");
}

TEST_F(CliTest, VerifyReportsAnAlteredState) {
  std::string Text = ReadTextFile(Save);
  size_t Digit = Text.find("\"food\" : ") + 9;
  Text[Digit] = Text[Digit] == '1' ? '2' : '1';
  std::ofstream(Save, std::ios::binary) << Text;
  TRun R = Cli({"verify", Save});
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "Save checksum failed. Your current campaign is unchanged.\n");
}

TEST_F(CliTest, ErrorsAndBadArguments) {
  std::string Err = Folder + "/err.txt";
  TRun R = Cli({"call", Save, "-o", Folder + "/bad.json", "set /month 0"}, Err);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(ReadTextFile(Err), "error: Cannot save invalid campaign: Invalid date.\n");
  EXPECT_FALSE(FileExists(Folder + "/bad.json"));

  EXPECT_EQ(Cli({"call", Folder + "/none.json", "hash"}).Code, 1);
  EXPECT_EQ(Cli({"call", Save, "set /nothing/here 1"}).Code, 1);
  for (std::vector<std::string> Args : std::vector<std::vector<std::string>>{
           {}, {"bogus"}, {"verify"}, {"call", Save, "fly away"}, {"call", Save, "rand"}, {"call", Save, "rand x"},
           {"call", Save, "-o"}}) {
    R = Cli(Args, Err);
    EXPECT_EQ(R.Code, 2);
    EXPECT_EQ(ReadTextFile(Err).rfind("usage: kestmarch-cli", 0), 0u);
  }
}

TEST_F(CliTest, NewCampaignThenTurnsAndMonths) {
  const std::string World = std::string(KV_ASSETS) + "/data/world.json", Started = Folder + "/new.json";
  TRun R = Cli({"new", "-o", Started, "--world", World, "--scenario", "2", "--leaders", "3,5", "--seed", "7"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "A new fellowship rises in the Ondrel Empire.\n");
  TGame G;
  G.NewGame(World, 2, 2, 2, {3, 5}, 7);
  EXPECT_EQ(Cli({"verify", Started}).Out, "ok " + G.StateHash() + "\n");

  // Every turn of the month closed, then the upkeep routines by name.
  const size_t Turns = TGame::Len(TGame::List(G.Data.get(), "queue"));
  std::vector<std::string> Args = {"call", Started, "-o", Folder + "/later.json"};
  for (size_t I = 0; I < Turns; ++I) Args.push_back("finish");
  for (const char* Op : {"get /month", "make-queue", "normalize", "appoint 3", "check-end", "riot 3 refuse"})
    Args.push_back(Op);
  R = Cli(Args);
  EXPECT_EQ(R.Code, 0);
  std::string Expected;
  for (size_t I = 0; I < Turns; ++I) Expected += "ok\n";
  Expected += std::to_string(TGame::N(G.Data.get(), "month") % 12 + 1) + "\nok\nok\nok\nok\nThere is no riot here.\n";
  EXPECT_EQ(R.Out, Expected);

  std::string Err = Folder + "/err.txt";
  R = Cli({"new", "-o", Folder + "/twice.json", "--world", World, "--leaders", "4,4"}, Err);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(ReadTextFile(Err), "error: Each player must choose a different leader.\n");
  EXPECT_FALSE(FileExists(Folder + "/twice.json"));
  for (std::vector<std::string> Bad : std::vector<std::vector<std::string>>{
           {"new"}, {"new", "-o", Started, "--seed", "-1"}, {"new", "-o", Started, "--colour", "red"},
           {"call", Started, "appoint 50"}, {"call", Started, "riot 3 maybe"}, {"call", Started, "chance OFly 1 0 0 0"},
           {"call", Started, "execute 40 1 0 0 0"}})
    EXPECT_EQ(Cli(Bad).Code, 2) << Bad.back();
}

TEST_F(CliTest, BattlesFoughtFromTheCommandLine) {
  // Faction 2 marches from province 2 on faction 1's province 1.
  const std::string Out = Folder + "/after.json";
  TRun R = Cli({"call", Save, "-o", Out, "begin-battle 2 1 2", "get /battle/attacker", "battle-action 0 1 0 0 dance",
                "battle-ai", "battle-day", "resolve-battle", "get /battle", "prisoner 60 1 hold", "log"});
  EXPECT_EQ(R.Code, 0);
  TGame G;
  G.Load(Save);
  G.BeginBattle(2, 1, 2);
  const std::string Refusal = G.BattleAction(0, 1, 0, 0, "dance");
  G.BattleAI();
  G.BattleDay();
  G.ResolveBattle();
  std::string Log;
  for (const std::string& Line : G.Log) Log += Line + "\n";
  EXPECT_EQ(R.Out, "ok\n2\n" + Refusal + "\nok\nok\nok\nnull\nThis character is not your prisoner.\n" + Log);
  EXPECT_NE(Log.find("Province 1"), std::string::npos);
  EXPECT_EQ(Cli({"verify", Out}).Out, "ok " + G.StateHash() + "\n");

  std::string Err = Folder + "/err.txt";
  R = Cli({"call", Save, "begin-battle 2 1 2", "begin-battle 2 1 2"}, Err);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(ReadTextFile(Err), "error: A battle is already in progress.\n");
  for (const char* Bad : {"begin-battle 0 1 2", "begin-battle 2 1 256", "battle-action 0 1 0 x move", "prisoner 60 1"})
    EXPECT_EQ(Cli({"call", Save, Bad}).Code, 2) << Bad;
}

TEST_F(CliTest, ObserveLetsTheComputerPlay) {
  const std::string World = std::string(KV_ASSETS) + "/data/world.json", Out = Folder + "/observed.json";
  TRun R = Cli({"observe", "--new", "--world", World, "--scenario", "2", "--seed", "5", "--months", "2", "--validate",
                "-o", Out});
  EXPECT_EQ(R.Code, 0);
  const size_t Summary = R.Out.rfind("months 2, turns ");
  ASSERT_NE(Summary, std::string::npos);
  EXPECT_NE(R.Out.find(", ended false, result: \n", Summary), std::string::npos);
  EXPECT_NE(R.Out.find("Month "), std::string::npos);  // the log is followed
  EXPECT_EQ(Cli({"verify", Out}).Code, 0);

  // Observing a saved campaign goes on from it; quietly, only the summary is printed.
  R = Cli({"observe", Out, "--months", "1", "--quiet"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out.rfind("months 1, turns ", 0), 0u);

  // With a player in the campaign the computer stops where the player must act.
  R = Cli({"observe", "--new", "--world", World, "--scenario", "2", "--leaders", "3", "--quiet"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_NE(R.Out.find("a player must act at queue entry "), std::string::npos);

  for (std::vector<std::string> Bad : std::vector<std::vector<std::string>>{
           {"observe"}, {"observe", Out, "--new"}, {"observe", Out, "--months"}, {"observe", Out, "--fast"}})
    EXPECT_EQ(Cli(Bad).Code, 2);
}

TEST_F(CliTest, OrdersGivenThroughCallOnEveryScenario) {
  const std::string World = std::string(KV_ASSETS) + "/data/world.json";
  for (int Scenario = 1; Scenario <= 4; ++Scenario) {
    SCOPED_TRACE(Scenario);
    TGame G;
    G.NewGame(World, Scenario, 0, 2, {}, 99);
    const std::string Start = Folder + "/scenario.json", Out = Folder + "/ordered.json";
    G.Save(Start);
    // The governor of the current turn (or the leader on the road) rests.
    const int64_t Actor = G.IsExile() ? G.Faction() : TGame::N(G.P(G.Province()), "governor");
    const std::string Args = std::to_string(Actor) + " 0 0 0";
    TRun R = Cli({"call", Start, "-o", Out, "describe ORest " + Args, "check 0 " + Args, "chance ORest " + Args,
                  "execute ORest " + Args});
    EXPECT_EQ(R.Code, 0);
    const std::string Preview = G.Describe(Command(ORest, int32_t(Actor), 0, 0, 0));
    const std::string Result = G.Execute(Command(ORest, int32_t(Actor), 0, 0, 0));
    EXPECT_EQ(Preview, "All local companions recover 10 Body, followed by month-end recovery. Cost: 0 Body, 0 Gold.");
    EXPECT_EQ(Result, "Rest completed.");
    EXPECT_EQ(R.Out, Preview + "\n\n100\n" + Result + "\n");
    EXPECT_EQ(Cli({"verify", Out}).Out, "ok " + G.StateHash() + "\n");
  }
}
