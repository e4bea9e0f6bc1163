// Order checks on the fixture campaign, whose turn is province 1 of faction 1:
// leader 1 governs there alone (body 61, soldiers 3, dexterity 37, wisdom 39),
// with 113 Gold, 229 Food, 7 Metal, 11 Fur, arms 5, support 31, rate 41 and
// 3 castles; free residents 50, 99, 148, ... live there too. Province 1 borders
// 2 (faction 2's home) and 8 (unclaimed, support 38).
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

namespace {

std::string At(const char* List, int Id, const char* Key) {
  return std::string("/") + List + "/" + std::to_string(Id - 1) + "/" + Key;
}
std::string Ch(int Id, const char* Key) { return At("characters", Id, Key); }
std::string Pr(int Id, const char* Key) { return At("provinces", Id, Key); }
std::string Fa(int Id, const char* Key) { return At("factions", Id, Key); }

TCommand Order(TOrder K, int Actor = 1, int Target = 0, int Amount = 0, int Extra = 0) {
  return Command(K, Actor, Target, Amount, Extra);
}

// Characters First.. First + Count - 1 join faction Fid in province Pid.
void Join(TGame& G, int First, int Count, int Pid = 1, int Fid = 1, const char* Role = "follower") {
  for (int Cid = First; Cid < First + Count; ++Cid) Place(G, Cid, Pid, Fid, Role);
}

// Faction 1 gives up province 1 and travels: its leader, Companions exiles
// (characters 100, 101, ...) and the party stand in Pid, and its turn is current.
void OnTheRoad(TGame& G, int Pid, int Companions = 0) {
  Own(G, 1, 0, 0);
  SetAt(G, Fa(1, "home"), 0);
  Place(G, 1, Pid, 1, "exile");
  Join(G, 100, Companions, Pid, 1, "exile");
  SetAt(G, "/exileParties",
        ParseJson(R"([{"leader":1,"province":)" + std::to_string(Pid) + R"(,"food":40,"gold":30}])"));
  SetAt(G, "/queue", ParseJson("[-1, 2, 25]"));
  SetAt(G, "/queueOwners", ParseJson(R"({"-1":1,"2":2,"25":11})"));
}

void InTown(TGame& G) {
  SetAt(G, "/town", true);
  SetAt(G, "/townActor", 1);
}

void Temper(TGame& G, int Cid, int Integrity, int Mercy, int Courage) {
  SetAt(G, Ch(Cid, "integrity"), Integrity);
  SetAt(G, Ch(Cid, "mercy"), Mercy);
  SetAt(G, Ch(Cid, "courage"), Courage);
}

// Follower 3 beside the leader, loyal enough and as compatible with the leader
// (integrity 23, mercy 29, courage 31) as Compatibility says: 70 or 69.
void Candidate(TGame& G, int Compatibility = 70) {
  Join(G, 3, 1);
  SetAt(G, Ch(3, "loyalty"), 95);
  const int Apart = 100 - Compatibility;  // each of the three differs by as much
  Temper(G, 3, 23 + Apart, 29 + Apart, 31 + Apart);
}

// The leader can forge weapons.
void Smith(TGame& G) {
  SetAt(G, Ch(1, "dexterity"), 60);
  SetAt(G, Ch(1, "wisdom"), 50);
}

// Province 8 belongs to faction 1, governed by its follower 4.
void Outpost(TGame& G) {
  Place(G, 4, 8, 1, "follower");
  Own(G, 8, 1, 4);
}

// The leader stands elsewhere; followers 3 and 4 hold province 1.
void LeaderAway(TGame& G) {
  Join(G, 3, 2);
  Place(G, 1, 8, 1, "leader");
}

std::string Text(const TGame& G) { return G.Data ? WriteJson(*G.Data) : std::string(); }

struct TCase {
  const char* Why;
  std::function<void(TGame&)> Change;  // nullptr: the fixture as it stands
  TCommand Cmd;
  const char* Refusal;  // "" when the order may be given
};

}  // namespace

// Every refusal sentence, the general conditions in their order and then each
// kind's, with rows that pass a condition to reach the next one.
TEST(CheckOrders, RefusalsComeInTheirOrder) {
  const TCase Cases[] = {
      // A campaign, running, between battles.
      {"no campaign", [](TGame& G) { G.Data.reset(); }, Order(ORest), "No campaign loaded."},
      {"no campaign before an unknown kind", [](TGame& G) { G.Data.reset(); }, Order(TOrder(40)),
       "No campaign loaded."},
      {"kind past the catalogue", nullptr, Order(TOrder(40)), "Unknown order."},
      {"negative kind", nullptr, Order(TOrder(-1)), "Unknown order."},
      {"unknown kind in an ended campaign", [](TGame& G) { SetAt(G, "/ended", true); }, Order(TOrder(99)),
       "Unknown order."},
      {"ended", [](TGame& G) { SetAt(G, "/ended", true); }, Order(ORest), "This campaign has ended."},
      {"ended during a battle", [](TGame& G) { SetAt(G, "/ended", true); OpenField(G); }, Order(ORest),
       "This campaign has ended."},
      {"battle", [](TGame& G) { OpenField(G); }, Order(ORest), "Finish the battle first."},
      {"battle before the scout's target", [](TGame& G) { OpenField(G); }, Order(OScout, 1, 0),
       "Finish the battle first."},

      // The scout's target comes before whose turn it is and who acts.
      {"scout nowhere", nullptr, Order(OScout, 1, 0), "Choose a valid province."},
      {"scout past the map, changed hands, no actor", [](TGame& G) { Own(G, 1, 2, 2); }, Order(OScout, 0, 50),
       "Choose a valid province."},
      {"scout the far corner", nullptr, Order(OScout, 1, 49), ""},

      // Whose turn it is.
      {"changed hands", [](TGame& G) { Own(G, 1, 2, 2); Place(G, 2, 1, 2, "leader"); }, Order(ORest, 2),
       "This province changed hands; its next order is next month."},
      {"entry not recorded: the acting faction is assumed",
       [](TGame& G) { RemoveAt(G, "/queueOwners/1"); Own(G, 1, 2, 2); Place(G, 2, 1, 2, "leader"); }, Order(ORest, 2),
       ""},
      {"no owners recorded at all",
       [](TGame& G) { RemoveAt(G, "/queueOwners"); Own(G, 1, 2, 2); Place(G, 2, 1, 2, "leader"); }, Order(ORest, 2),
       ""},
      {"unclaimed province", [](TGame& G) { SetAt(G, "/queueOwners/1", 0); Own(G, 1, 0, 0); }, Order(ORest),
       "No current order."},
      {"month's queue done", [](TGame& G) { SetAt(G, "/queueIndex", 3); }, Order(ORest), "No current order."},
      {"owner without a faction record", [](TGame& G) { SetAt(G, "/queueOwners/1", 300); Own(G, 1, 300, 1); },
       Order(ORest), "Choose a serving local character."},

      // Who acts.
      {"actor 0", nullptr, Order(ORest, 0), "Choose a serving local character."},
      {"actor -1", nullptr, Order(ORest, -1), "Choose a serving local character."},
      {"actor 256", nullptr, Order(ORest, 256), "Choose a serving local character."},
      {"free resident", nullptr, Order(ORest, 50), "Choose a serving local character."},
      {"member elsewhere", [](TGame& G) { Join(G, 3, 1, 8); }, Order(ORest, 3), "Choose a serving local character."},
      {"rival leader", nullptr, Order(ORest, 2), "Choose a serving local character."},
      {"captive follower", [](TGame& G) { Join(G, 3, 1); SetAt(G, Ch(3, "captured"), true); }, Order(ORest, 3),
       "Choose a serving local character."},
      {"dead follower", [](TGame& G) { Join(G, 3, 1); SetAt(G, Ch(3, "alive"), false); }, Order(ORest, 3),
       "Choose a serving local character."},
      {"follower", [](TGame& G) { Join(G, 3, 1); }, Order(ORest, 3), ""},
      {"actor before the town list", InTown, Order(OTravel, 0, 2), "Choose a serving local character."},

      // A town visit.
      {"resident approached this visit", [](TGame& G) { InTown(G); SetAt(G, "/townAttempts", ParseJson("[50]")); },
       Order(ORecruit, 1, 50), "Already approached this resident during this visit."},
      {"another resident this visit", [](TGame& G) { InTown(G); SetAt(G, "/townAttempts", ParseJson("[50]")); },
       Order(ORecruit, 1, 99), ""},
      {"visit without a list of attempts", [](TGame& G) { InTown(G); RemoveAt(G, "/townAttempts"); },
       Order(ORecruit, 1, 50), ""},
      {"attempts count only in town", [](TGame& G) { SetAt(G, "/townAttempts", ParseJson("[50]")); },
       Order(ORecruit, 1, 50), ""},
      {"travel from town", InTown, Order(OTravel, 1, 2), "Return to the lair before giving another order."},
      {"town travel from town", InTown, Order(OTown), "Return to the lair before giving another order."},
      {"rest in town", InTown, Order(ORest), ""},

      // The road.
      {"cultivate on the road", [](TGame& G) { OnTheRoad(G, 8); }, Order(OCultivate),
       "Settle an unclaimed province first."},
      {"town before the road", [](TGame& G) { OnTheRoad(G, 8); InTown(G); }, Order(OCultivate),
       "Return to the lair before giving another order."},
      {"rest on the road", [](TGame& G) { OnTheRoad(G, 8); }, Order(ORest), ""},
      {"road without a party record", [](TGame& G) { OnTheRoad(G, 8); SetAt(G, "/exileParties", TJson::Array()); },
       Order(ORest), ""},

      // Body and Gold, after the kind's own conditions.
      {"tired traveller", [](TGame& G) { OnTheRoad(G, 8); SetAt(G, Ch(1, "body"), 9); }, Order(OTravel, 1, 9),
       "Requires 10 Body; companion has 9."},
      {"traveller with just enough", [](TGame& G) { OnTheRoad(G, 8); SetAt(G, Ch(1, "body"), 10); },
       Order(OTravel, 1, 9), ""},
      {"the kind's conditions before Body", [](TGame& G) { OnTheRoad(G, 8); SetAt(G, Ch(1, "body"), 0); },
       Order(OTravel, 1, 3), "Choose an adjacent province."},
      {"free order without Body", [](TGame& G) { SetAt(G, Ch(1, "body"), 0); }, Order(ORest), ""},
      {"cultivate", [](TGame& G) { SetAt(G, Ch(1, "body"), 14); }, Order(OCultivate),
       "Requires 15 Body; companion has 14."},
      {"flood control", [](TGame& G) { SetAt(G, Ch(1, "body"), 15); }, Order(OFlood), ""},
      {"construction", [](TGame& G) { SetAt(G, Ch(1, "body"), 14); }, Order(OBuild),
       "Requires 15 Body; companion has 14."},
      {"solicit", [](TGame& G) { SetAt(G, Ch(1, "body"), 14); }, Order(OSolicit, 1, 0, 0, 1),
       "Requires 15 Body; companion has 14."},
      {"hunt", [](TGame& G) { SetAt(G, Ch(1, "body"), 19); }, Order(OHunt), "Requires 20 Body; companion has 19."},
      {"treaty", [](TGame& G) { SetAt(G, Ch(1, "body"), 24); }, Order(OTreaty, 1, 2),
       "Requires 25 Body; companion has 24."},
      {"light cost from the rules",
       [](TGame& G) {
         OnTheRoad(G, 8);
         SetAt(G, "/rules", ParseJson(R"({"lightBody":12})"));
         SetAt(G, Ch(1, "body"), 11);
       },
       Order(OTravel, 1, 9), "Requires 12 Body; companion has 11."},
      {"standard cost from the rules",
       [](TGame& G) { SetAt(G, "/rules", ParseJson(R"({"standardBody":16})")); SetAt(G, Ch(1, "body"), 15); },
       Order(OCultivate), "Requires 16 Body; companion has 15."},
      {"heavy cost from the rules",
       [](TGame& G) { SetAt(G, "/rules", ParseJson(R"({"heavyBody":9})")); SetAt(G, Ch(1, "body"), 9); },
       Order(OHunt), ""},
      {"mission cost from the rules",
       [](TGame& G) { SetAt(G, "/rules", ParseJson(R"({"missionBody":30})")); SetAt(G, Ch(1, "body"), 29); },
       Order(OTreaty, 1, 2), "Requires 30 Body; companion has 29."},

      // Travel.
      {"travel while settled", nullptr, Order(OTravel, 1, 2), "Use Move people while settled."},
      {"travel two provinces away", [](TGame& G) { OnTheRoad(G, 8); }, Order(OTravel, 1, 3),
       "Choose an adjacent province."},
      {"travel nowhere", [](TGame& G) { OnTheRoad(G, 8); }, Order(OTravel, 1, 0), "Choose an adjacent province."},
      {"travel past the map", [](TGame& G) { OnTheRoad(G, 8); }, Order(OTravel, 1, 50),
       "Choose an adjacent province."},
      {"travel to a neighbour", [](TGame& G) { OnTheRoad(G, 8); }, Order(OTravel, 1, 9), ""},

      // Settle: unclaimed land takes the whole party, an uprising its leader.
      {"settle while settled", nullptr, Order(OSettle), "Your fellowship is already settled."},
      {"settle unclaimed land", [](TGame& G) { OnTheRoad(G, 8); }, Order(OSettle), ""},
      {"uprising", [](TGame& G) { OnTheRoad(G, 2); }, Order(OSettle), ""},
      {"uprising at Support 40", [](TGame& G) { OnTheRoad(G, 2); SetAt(G, Pr(2, "support"), 40); }, Order(OSettle),
       "Settlement in an occupied province needs Support below 40 for an uprising."},
      {"Chancellor home at Support 55", [](TGame& G) { OnTheRoad(G, 25); }, Order(OSettle),
       "Settlement in an occupied province needs Support below 40 for an uprising."},
      {"Chancellor home without the writ", [](TGame& G) { OnTheRoad(G, 25); SetAt(G, Pr(25, "support"), 39); },
       Order(OSettle), "The Chancellor home requires a Royal Writ."},
      {"Chancellor home with the writ",
       [](TGame& G) { OnTheRoad(G, 25); SetAt(G, Pr(25, "support"), 39); SetAt(G, Fa(1, "writ"), true); },
       Order(OSettle), ""},
      {"a party of five in one castle", [](TGame& G) { OnTheRoad(G, 8, 4); SetAt(G, Pr(8, "castles"), 1); },
       Order(OSettle), ""},
      {"a party of six in one castle", [](TGame& G) { OnTheRoad(G, 8, 5); SetAt(G, Pr(8, "castles"), 1); },
       Order(OSettle), "No room to settle."},
      {"a captive held there takes a place",
       [](TGame& G) {
         OnTheRoad(G, 8, 4); SetAt(G, Pr(8, "castles"), 1);
         Place(G, 3, 8, 2, "prisoner"); SetAt(G, Ch(3, "captured"), true);
       },
       Order(OSettle), "No room to settle."},
      {"uprising of a party of six needs one place",
       [](TGame& G) { OnTheRoad(G, 2, 5); SetAt(G, Pr(2, "castles"), 1); Join(G, 3, 3, 2, 2); }, Order(OSettle), ""},
      {"uprising in a full province",
       [](TGame& G) { OnTheRoad(G, 2); SetAt(G, Pr(2, "castles"), 1); Join(G, 3, 4, 2, 2); }, Order(OSettle),
       "No room to settle."},

      // Recruit.
      {"recruit from elsewhere", nullptr, Order(ORecruit, 1, 2), "Choose an eligible free resident here."},
      {"recruit no one", nullptr, Order(ORecruit, 1, 0), "Choose an eligible free resident here."},
      {"recruit past the roll", nullptr, Order(ORecruit, 1, 256), "Choose an eligible free resident here."},
      {"recruit a captive resident", [](TGame& G) { SetAt(G, Ch(50, "captured"), true); }, Order(ORecruit, 1, 50),
       "Choose an eligible free resident here."},
      {"recruit the dead", [](TGame& G) { SetAt(G, Ch(50, "alive"), false); }, Order(ORecruit, 1, 50),
       "Choose an eligible free resident here."},
      {"recruit a follower", [](TGame& G) { Join(G, 3, 1); }, Order(ORecruit, 1, 3),
       "Choose an eligible free resident here."},
      {"recruit a resident", nullptr, Order(ORecruit, 1, 50), ""},
      {"a party of nine takes a tenth", [](TGame& G) { OnTheRoad(G, 8, 8); }, Order(ORecruit, 1, 57), ""},
      {"a party of ten", [](TGame& G) { OnTheRoad(G, 8, 9); }, Order(ORecruit, 1, 57),
       "An exile party can hold ten people."},
      {"a party ignores castles", [](TGame& G) { OnTheRoad(G, 8, 8); SetAt(G, Pr(8, "castles"), 0); },
       Order(ORecruit, 1, 57), ""},
      {"province of fifteen", [](TGame& G) { Join(G, 100, 14); }, Order(ORecruit, 1, 50),
       "Province character capacity reached."},
      {"province of fourteen", [](TGame& G) { Join(G, 100, 13); }, Order(ORecruit, 1, 50), ""},

      // Hunt.
      {"hunt for metal", nullptr, Order(OHunt, 1, 0, 0, 2), "Choose Food or Fur for the hunt."},
      {"hunt for nothing", nullptr, Order(OHunt, 1, 0, 0, -1), "Choose Food or Fur for the hunt."},
      {"bad option before winter", [](TGame& G) { SetAt(G, "/month", 1); }, Order(OHunt, 1, 0, 0, 2),
       "Choose Food or Fur for the hunt."},
      {"hunt in December", [](TGame& G) { SetAt(G, "/month", 12); }, Order(OHunt),
       "Hunting is unavailable in winter; it resumes in March."},
      {"hunt in January", [](TGame& G) { SetAt(G, "/month", 1); }, Order(OHunt, 1, 0, 0, 1),
       "Hunting is unavailable in winter; it resumes in March."},
      {"hunt in February", [](TGame& G) { SetAt(G, "/month", 2); }, Order(OHunt),
       "Hunting is unavailable in winter; it resumes in March."},
      {"hunt in March", nullptr, Order(OHunt), ""},
      {"hunt in November", [](TGame& G) { SetAt(G, "/month", 11); }, Order(OHunt, 1, 0, 0, 1), ""},
      {"food store full", [](TGame& G) { SetAt(G, Pr(1, "food"), 9999); }, Order(OHunt),
       "There is no room for more hunting supplies."},
      {"fur store full", [](TGame& G) { SetAt(G, Pr(1, "fur"), 999); }, Order(OHunt, 1, 0, 0, 1),
       "There is no room for more hunting supplies."},
      {"food hunt beside a full fur store", [](TGame& G) { SetAt(G, Pr(1, "fur"), 999); }, Order(OHunt), ""},

      // Train troops.
      {"train no one", [](TGame& G) { SetAt(G, Ch(1, "soldiers"), 0); }, Order(OTrain), "No soldiers to train."},
      {"exiles here are no garrison",
       [](TGame& G) { SetAt(G, Ch(1, "soldiers"), 0); Place(G, 3, 1, 1, "exile"); }, Order(OTrain),
       "No soldiers to train."},
      {"train", nullptr, Order(OTrain), ""},

      // Hire soldiers: Amount x 5 Gold at rate 41.
      {"hire into a full company", [](TGame& G) { SetAt(G, Ch(1, "soldiers"), 100); }, Order(OHire, 1, 0, 1),
       "Quantity must be 1..0."},
      {"hire past 100", nullptr, Order(OHire, 1, 0, 98), "Quantity must be 1..97."},
      {"hire none", nullptr, Order(OHire, 1, 0, 0), "Quantity must be 1..97."},
      {"hire 23", nullptr, Order(OHire, 1, 0, 23), "Requires 115 Gold; available 113."},
      {"hire 22", nullptr, Order(OHire, 1, 0, 22), ""},

      // Give citizens.
      {"give from an empty store", [](TGame& G) { SetAt(G, Pr(1, "food"), 0); }, Order(OGive, 1, 0, 1),
       "Food must be 1..0."},
      {"give more than 1000", [](TGame& G) { SetAt(G, Pr(1, "food"), 1500); }, Order(OGive, 1, 0, 1200),
       "Food must be 1..1000."},
      {"give 1000", [](TGame& G) { SetAt(G, Pr(1, "food"), 1500); }, Order(OGive, 1, 0, 1000), ""},
      {"give nothing", nullptr, Order(OGive, 1, 0, 0), "Food must be 1..229."},
      {"give the whole store", nullptr, Order(OGive, 1, 0, 229), ""},

      // Reward follower.
      {"reward a stranger", nullptr, Order(OReward, 1, 2, 10), "Choose a local follower."},
      {"reward no one", nullptr, Order(OReward, 1, 0, 10), "Choose a local follower."},
      {"reward the leader", nullptr, Order(OReward, 1, 1, 50), ""},
      {"reward 101", [](TGame& G) { Join(G, 3, 1); }, Order(OReward, 1, 3, 101), "Gold must be 1..100."},
      {"reward nothing", [](TGame& G) { Join(G, 3, 1); }, Order(OReward, 1, 3, 0), "Gold must be 1..100."},
      {"reward beyond the treasury", [](TGame& G) { Join(G, 3, 1); SetAt(G, Pr(1, "gold"), 99); },
       Order(OReward, 1, 3, 100), "Requires 100 Gold; available 99."},
      {"reward the treasury", [](TGame& G) { Join(G, 3, 1); SetAt(G, Pr(1, "gold"), 100); },
       Order(OReward, 1, 3, 100), ""},

      // Feast: (1 person x 10 x rate 41 + 49) div 100 = 4 Gold, at least 1.
      {"feast short of Gold", [](TGame& G) { SetAt(G, Pr(1, "gold"), 3); }, Order(OFeast),
       "Requires 4 Gold; available 3."},
      {"feast", [](TGame& G) { SetAt(G, Pr(1, "gold"), 4); }, Order(OFeast), ""},
      {"feast at rate 0 still costs", [](TGame& G) { SetAt(G, Pr(1, "rate"), 0); SetAt(G, Pr(1, "gold"), 0); },
       Order(OFeast), "Requires 1 Gold; available 0."},

      // Swear oath.
      {"oath of the leader", nullptr, Order(OOath, 1, 1), "Choose a follower."},
      {"oath of a stranger", nullptr, Order(OOath, 1, 2), "Choose a follower."},
      {"loyalty 94", [](TGame& G) { Candidate(G); SetAt(G, Ch(3, "loyalty"), 94); }, Order(OOath, 1, 3),
       "Requires Loyalty 95 and compatibility 70."},
      {"compatibility 69", [](TGame& G) { Candidate(G, 69); }, Order(OOath, 1, 3),
       "Requires Loyalty 95 and compatibility 70."},
      {"loyalty 95, compatibility 70", [](TGame& G) { Candidate(G); }, Order(OOath, 1, 3), ""},
      {"a companion's oath weighs the leader's temper", [](TGame& G) { Candidate(G); Join(G, 4, 1); },
       Order(OOath, 4, 3), ""},
      {"lower thresholds from the rules",
       [](TGame& G) {
         Candidate(G, 60); SetAt(G, Ch(3, "loyalty"), 90);
         SetAt(G, "/rules", ParseJson(R"({"oathLoyalty":90,"oathCompatibility":60})"));
       },
       Order(OOath, 1, 3), ""},
      {"higher thresholds keep the sentence",
       [](TGame& G) { Candidate(G); SetAt(G, "/rules", ParseJson(R"({"oathLoyalty":99})")); }, Order(OOath, 1, 3),
       "Requires Loyalty 95 and compatibility 70."},
      {"already sworn", [](TGame& G) { Candidate(G); SetAt(G, Ch(3, "role"), "sworn companion"); },
       Order(OOath, 1, 3), "Already a sworn companion."},
      {"a seventh oath at difficulty 3",
       [](TGame& G) { Candidate(G); SetAt(G, "/difficulty", 3); Join(G, 100, 6, 9, 1, "sworn companion"); },
       Order(OOath, 1, 3), ""},
      {"an eighth oath at difficulty 3",
       [](TGame& G) { Candidate(G); SetAt(G, "/difficulty", 3); Join(G, 100, 7, 9, 1, "sworn companion"); },
       Order(OOath, 1, 3), "Sworn companion limit reached."},

      // Dismiss.
      {"dismiss the leader", nullptr, Order(ODismiss, 1, 1), "Choose a follower, not the leader."},
      {"dismiss a stranger", nullptr, Order(ODismiss, 1, 2), "Choose a follower, not the leader."},
      {"dismiss no one", nullptr, Order(ODismiss, 1, 0), "Choose a follower, not the leader."},
      {"dismiss a follower", [](TGame& G) { Join(G, 3, 1); }, Order(ODismiss, 1, 3), ""},

      // Make ship: 15 Body and 20 Gold.
      {"no navigator", [](TGame& G) { SetAt(G, Ch(1, "dexterity"), 70); }, Order(OShip),
       "Needs navigation and Dexterity 70."},
      {"navigator with Dexterity 69",
       [](TGame& G) { SetAt(G, Ch(1, "navigator"), true); SetAt(G, Ch(1, "dexterity"), 69); }, Order(OShip),
       "Needs navigation and Dexterity 70."},
      {"ship owner",
       [](TGame& G) {
         SetAt(G, Ch(1, "navigator"), true); SetAt(G, Ch(1, "dexterity"), 70); SetAt(G, Ch(1, "ship"), true);
       },
       Order(OShip), "Companion already owns a ship."},
      {"shipwright short of Gold",
       [](TGame& G) {
         SetAt(G, Ch(1, "navigator"), true); SetAt(G, Ch(1, "dexterity"), 70); SetAt(G, Pr(1, "gold"), 19);
       },
       Order(OShip), "Requires 20 Gold; available 19."},
      {"tired and short of Gold",
       [](TGame& G) {
         SetAt(G, Ch(1, "navigator"), true); SetAt(G, Ch(1, "dexterity"), 70); SetAt(G, Pr(1, "gold"), 0);
         SetAt(G, Ch(1, "body"), 14);
       },
       Order(OShip), "Requires 15 Body; companion has 14."},
      {"shipwright",
       [](TGame& G) {
         SetAt(G, Ch(1, "navigator"), true); SetAt(G, Ch(1, "dexterity"), 70); SetAt(G, Pr(1, "gold"), 20);
       },
       Order(OShip), ""},

      // Make weapons.
      {"Dexterity 59", [](TGame& G) { Smith(G); SetAt(G, Ch(1, "dexterity"), 59); }, Order(OWeapons, 1, 0, 5),
       "Needs Dexterity 60 and Wisdom 50."},
      {"Wisdom 49", [](TGame& G) { Smith(G); SetAt(G, Ch(1, "wisdom"), 49); }, Order(OWeapons, 1, 0, 5),
       "Needs Dexterity 60 and Wisdom 50."},
      {"weapons for no one", [](TGame& G) { Smith(G); SetAt(G, Ch(1, "soldiers"), 0); }, Order(OWeapons, 1, 0, 5),
       "No soldiers to equip."},
      {"metal past 99", [](TGame& G) { Smith(G); SetAt(G, Pr(1, "metal"), 150); }, Order(OWeapons, 1, 0, 100),
       "Metal must be 1..99."},
      {"metal past the store", Smith, Order(OWeapons, 1, 0, 8), "Metal must be 1..7."},
      {"no metal", Smith, Order(OWeapons, 1, 0, 0), "Metal must be 1..7."},
      {"the whole store", Smith, Order(OWeapons, 1, 0, 7), ""},

      // Move people.
      {"move two provinces away", nullptr, Order(OMove, 1, 3), "Choose an adjacent province."},
      {"move nowhere", nullptr, Order(OMove, 1, 0), "Choose an adjacent province."},
      {"snow here", [](TGame& G) { SetAt(G, Pr(1, "snow"), true); }, Order(OMove, 1, 8), "Snow blocks this route."},
      {"snow there", [](TGame& G) { SetAt(G, Pr(8, "snow"), true); }, Order(OMove, 1, 8), "Snow blocks this route."},
      {"move into a rival's land", nullptr, Order(OMove, 1, 2), "Destination must be friendly or unclaimed."},
      {"move into a land without castles", [](TGame& G) { SetAt(G, Pr(8, "castles"), 0); }, Order(OMove, 1, 8),
       "Destination is full."},
      {"move into a full outpost", [](TGame& G) { Outpost(G); SetAt(G, Pr(8, "castles"), 1); Join(G, 100, 4, 8); },
       Order(OMove, 1, 8), "Destination is full."},
      {"leader before a follower", [](TGame& G) { Join(G, 3, 1); }, Order(OMove, 1, 8),
       "Move followers first; the leader departs last."},
      {"follower first", [](TGame& G) { Join(G, 3, 1); }, Order(OMove, 3, 8), ""},
      {"leader alone", nullptr, Order(OMove, 1, 8), ""},
      {"leader into the outpost", Outpost, Order(OMove, 1, 8), ""},

      // Send provisions.
      {"provisions to unclaimed land", nullptr, Order(OConvoy, 1, 8, 10), "Destination must be friendly or unclaimed."},
      {"provisions to a rival", nullptr, Order(OConvoy, 1, 2, 10), "Destination must be friendly or unclaimed."},
      {"provisions through snow", [](TGame& G) { Outpost(G); SetAt(G, Pr(8, "snow"), true); },
       Order(OConvoy, 1, 8, 10), "Snow blocks this route."},
      {"no provisions", Outpost, Order(OConvoy, 1, 8, 0), "Food exceeds origin stock or destination capacity."},
      {"more than the store", Outpost, Order(OConvoy, 1, 8, 230), "Food exceeds origin stock or destination capacity."},
      {"overfill the outpost", [](TGame& G) { Outpost(G); SetAt(G, Pr(8, "food"), 9990); }, Order(OConvoy, 1, 8, 10),
       "Food exceeds origin stock or destination capacity."},
      {"fill the outpost", [](TGame& G) { Outpost(G); SetAt(G, Pr(8, "food"), 9990); }, Order(OConvoy, 1, 8, 9), ""},
      {"the whole store", Outpost, Order(OConvoy, 1, 8, 229), ""},

      // War: the leader's 3 soldiers cost (3 + 3) div 3 = 2 Gold.
      {"war two provinces away", nullptr, Order(OWar, 1, 3), "Choose an adjacent province."},
      {"war past the map", nullptr, Order(OWar, 1, 50), "Choose an adjacent province."},
      {"war through snow", [](TGame& G) { SetAt(G, Pr(2, "snow"), true); }, Order(OWar, 1, 2),
       "Snow blocks this route."},
      {"war on unclaimed land", nullptr, Order(OWar, 1, 8), "Target must be an enemy province."},
      {"war on our outpost", Outpost, Order(OWar, 1, 8), "Target must be an enemy province."},
      {"war on an ally", [](TGame& G) { SetAt(G, "/treaties", ParseJson(R"([{"a":2,"b":1,"years":1}])")); },
       Order(OWar, 1, 2), "A binding treaty forbids this attack."},
      {"war after the treaty ran out",
       [](TGame& G) { SetAt(G, "/treaties", ParseJson(R"([{"a":2,"b":1,"years":0}])")); }, Order(OWar, 1, 2), ""},
      {"war on the Chancellor home", [](TGame& G) { SetAt(G, Fa(11, "home"), 2); }, Order(OWar, 1, 2),
       "A Royal Writ is required to attack the Chancellor home."},
      {"an inactive Chancellor's home still needs the writ",
       [](TGame& G) { SetAt(G, Fa(11, "home"), 2); SetAt(G, Fa(11, "active"), false); }, Order(OWar, 1, 2),
       "A Royal Writ is required to attack the Chancellor home."},
      {"war on the Chancellor home with the writ",
       [](TGame& G) { SetAt(G, Fa(11, "home"), 2); SetAt(G, Fa(1, "writ"), true); }, Order(OWar, 1, 2), ""},
      {"war without food", [](TGame& G) { SetAt(G, Pr(1, "food"), 0); }, Order(OWar, 1, 2),
       "The army requires provisions."},
      {"war chest too small", [](TGame& G) { SetAt(G, Ch(1, "soldiers"), 30); SetAt(G, Pr(1, "gold"), 10); },
       Order(OWar, 1, 2), "Requires 11 Gold; available 10."},
      {"war chest", [](TGame& G) { SetAt(G, Ch(1, "soldiers"), 30); SetAt(G, Pr(1, "gold"), 11); },
       Order(OWar, 1, 2), ""},
      {"war when tired", [](TGame& G) { SetAt(G, Ch(1, "body"), 9); }, Order(OWar, 1, 2),
       "Requires 10 Body; companion has 9."},

      // Treaty: max(20, 200 - wisdom 39 - popularity 0) = 161 Gold.
      {"treaty with no one", nullptr, Order(OTreaty, 1, 0), "Choose a settled rival leader."},
      {"treaty with ourselves", nullptr, Order(OTreaty, 1, 1), "Choose a settled rival leader."},
      {"treaty past the factions", nullptr, Order(OTreaty, 1, 256), "Choose a settled rival leader."},
      {"treaty with an inactive faction", nullptr, Order(OTreaty, 1, 3), "Choose a settled rival leader."},
      {"treaty with a fellowship on the road", [](TGame& G) { SetAt(G, Fa(3, "active"), true); },
       Order(OTreaty, 1, 3), "Choose a settled rival leader."},
      {"treaty with a player", [](TGame& G) { SetAt(G, Fa(2, "human"), true); }, Order(OTreaty, 1, 2),
       "Human diplomacy requires an incoming decision; select an AI leader."},
      {"treaty gift", nullptr, Order(OTreaty, 1, 2), "Requires 161 Gold; available 113."},
      {"treaty", [](TGame& G) { SetAt(G, Pr(1, "gold"), 161); }, Order(OTreaty, 1, 2), ""},
      {"the gift is at least 20",
       [](TGame& G) {
         SetAt(G, Ch(1, "wisdom"), 100); SetAt(G, Fa(1, "popularity"), 900); SetAt(G, Pr(1, "gold"), 19);
       },
       Order(OTreaty, 1, 2), "Requires 20 Gold; available 19."},

      // Invite fellowship: the gift plus 10 Gold for each of the rival's people.
      {"invite a player before counting land",
       [](TGame& G) { SetAt(G, Fa(2, "human"), true); Place(G, 3, 9, 2, "follower"); Own(G, 9, 2, 3); },
       Order(OInvite, 1, 2), "Human diplomacy requires an incoming decision; select an AI leader."},
      {"invite a lord of two provinces", [](TGame& G) { Place(G, 3, 9, 2, "follower"); Own(G, 9, 2, 3); },
       Order(OInvite, 1, 2), "Target owns more than one province."},
      {"invitation allowance", nullptr, Order(OInvite, 1, 2), "Requires 171 Gold; available 113."},
      {"invitation", [](TGame& G) { SetAt(G, Pr(1, "gold"), 171); }, Order(OInvite, 1, 2), ""},
      {"fellowship of fifteen", [](TGame& G) { SetAt(G, Pr(1, "gold"), 999); Join(G, 100, 14, 2, 2); },
       Order(OInvite, 1, 2), "Insufficient room for the whole fellowship."},
      {"fellowship of fourteen", [](TGame& G) { SetAt(G, Pr(1, "gold"), 301); Join(G, 100, 13, 2, 2); },
       Order(OInvite, 1, 2), ""},
      {"fellowship of fourteen, short of Gold", [](TGame& G) { SetAt(G, Pr(1, "gold"), 300); Join(G, 100, 13, 2, 2); },
       Order(OInvite, 1, 2), "Requires 301 Gold; available 300."},

      // Town travel.
      {"a follower to town", [](TGame& G) { Join(G, 3, 1); }, Order(OTown, 3),
       "Only the leader or a sworn companion may visit town."},
      {"a sworn companion to town", [](TGame& G) { Join(G, 3, 1, 1, 1, "sworn companion"); }, Order(OTown, 3), ""},
      {"the leader to town", nullptr, Order(OTown), ""},

      // The marketplace, at rate 41: food 1.64 and 0.82, fur 9 and 5 Gold.
      {"buy food from the lair", nullptr, Order(OBuyFood, 1, 0, 10), "Visit town first."},
      {"buy a ship from the lair", [](TGame& G) { SetAt(G, Pr(1, "shipyard"), true); }, Order(OBuyShip, 1, 0, 1),
       "Visit town first."},
      {"buy no food", InTown, Order(OBuyFood, 1, 0, 0), "Quantity must be 1..9999."},
      {"sell 10000 food", InTown, Order(OSellFood, 1, 0, 10000), "Quantity must be 1..9999."},
      {"food store overflows", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "food"), 9990); }, Order(OBuyFood, 1, 0, 10),
       "Food capacity is 9999."},
      {"buy 100 food", InTown, Order(OBuyFood, 1, 0, 100), "Requires 164 Gold; available 113."},
      {"buy 50 food", InTown, Order(OBuyFood, 1, 0, 50), ""},
      {"sell more food than stored", InTown, Order(OSellFood, 1, 0, 230), "Not enough food."},
      {"sell one food at rate 20", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "rate"), 20); },
       Order(OSellFood, 1, 0, 1), "Quantity too small: this sale would return 0 Gold."},
      {"sell three food at rate 20", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "rate"), 20); },
       Order(OSellFood, 1, 0, 3), ""},
      {"food sale overflows the treasury", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "gold"), 9999); },
       Order(OSellFood, 1, 0, 100), "Gold capacity is 9999."},
      {"fur store overflows", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "fur"), 999); }, Order(OBuyFur, 1, 0, 1),
       "Fur capacity is 999."},
      {"buy 13 fur", InTown, Order(OBuyFur, 1, 0, 13), "Requires 117 Gold; available 113."},
      {"buy 12 fur", InTown, Order(OBuyFur, 1, 0, 12), ""},
      {"sell more fur than stored", InTown, Order(OSellFur, 1, 0, 12), "Not enough fur."},
      {"fur sale overflows the treasury", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "gold"), 9995); },
       Order(OSellFur, 1, 0, 1), "Gold capacity is 9999."},
      {"fur sale fills the treasury", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "gold"), 9994); },
       Order(OSellFur, 1, 0, 1), ""},
      {"one fur at rate 20", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "rate"), 20); }, Order(OSellFur, 1, 0, 1), ""},
      {"no smithy", InTown, Order(OBuyArms, 1, 0, 5), "There is no smithy here."},
      {"arms for no one",
       [](TGame& G) { InTown(G); SetAt(G, Pr(1, "smithy"), true); SetAt(G, Ch(1, "soldiers"), 0); },
       Order(OBuyArms, 1, 0, 5), "No soldiers to equip."},
      {"arms past 100", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "smithy"), true); }, Order(OBuyArms, 1, 0, 96),
       "Arms cannot exceed 100."},
      {"13 arms at 9 Gold", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "smithy"), true); }, Order(OBuyArms, 1, 0, 13),
       "Requires 117 Gold; available 113."},
      {"12 arms at 9 Gold", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "smithy"), true); }, Order(OBuyArms, 1, 0, 12),
       ""},
      {"no shipyard", InTown, Order(OBuyShip, 1, 0, 1), "There is no shipyard here."},
      {"a second ship",
       [](TGame& G) { InTown(G); SetAt(G, Pr(1, "shipyard"), true); SetAt(G, Ch(1, "ship"), true); },
       Order(OBuyShip, 1, 0, 1), "Choose one character without a ship."},
      {"two ships at once", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "shipyard"), true); }, Order(OBuyShip, 1, 0, 2),
       "Choose one character without a ship."},
      {"ship at 21 Gold",
       [](TGame& G) { InTown(G); SetAt(G, Pr(1, "shipyard"), true); SetAt(G, Pr(1, "gold"), 20); },
       Order(OBuyShip, 1, 0, 1), "Requires 21 Gold; available 20."},
      {"ship", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "shipyard"), true); }, Order(OBuyShip, 1, 0, 1), ""},

      // Beast expedition.
      {"no beast", nullptr, Order(OBeasts), "There is no beast event here."},
      {"a leopard", [](TGame& G) { SetAt(G, Pr(1, "beast"), 2); }, Order(OBeasts), ""},

      // Reconnaissance also goes out from the road.
      {"scout from the road", [](TGame& G) { OnTheRoad(G, 8); }, Order(OScout, 1, 40), ""},

      // Redistribute troops: the leader has 3 soldiers, follower 3 has 9.
      {"troops to oneself", nullptr, Order(ORedistribute, 1, 1, 1), "Choose a different local character."},
      {"troops to a stranger", nullptr, Order(ORedistribute, 1, 2, 1), "Choose a different local character."},
      {"troops past the roll", nullptr, Order(ORedistribute, 1, 256, 1), "Choose a different local character."},
      {"no troops", [](TGame& G) { Join(G, 3, 1); }, Order(ORedistribute, 1, 3, 0),
       "Transfer exceeds available troops or 100 per character."},
      {"more troops than led", [](TGame& G) { Join(G, 3, 1); }, Order(ORedistribute, 1, 3, 4),
       "Transfer exceeds available troops or 100 per character."},
      {"a company past 100", [](TGame& G) { Join(G, 3, 1); SetAt(G, Ch(3, "soldiers"), 98); },
       Order(ORedistribute, 1, 3, 3), "Transfer exceeds available troops or 100 per character."},
      {"a company of 100", [](TGame& G) { Join(G, 3, 1); SetAt(G, Ch(3, "soldiers"), 97); },
       Order(ORedistribute, 1, 3, 3), ""},

      // Assign ship.
      {"ship to oneself", [](TGame& G) { SetAt(G, Ch(1, "ship"), true); }, Order(OAssignShip, 1, 1),
       "Choose a different local character."},
      {"no ship to give", [](TGame& G) { Join(G, 3, 1); }, Order(OAssignShip, 1, 3),
       "Companion needs a ship; recipient must lack one."},
      {"recipient owns a ship",
       [](TGame& G) { Join(G, 3, 1); SetAt(G, Ch(1, "ship"), true); SetAt(G, Ch(3, "ship"), true); },
       Order(OAssignShip, 1, 3), "Companion needs a ship; recipient must lack one."},
      {"assign the ship", [](TGame& G) { Join(G, 3, 1); SetAt(G, Ch(1, "ship"), true); }, Order(OAssignShip, 1, 3),
       ""},

      // Appoint governor.
      {"appoint a stranger", nullptr, Order(OGovernor, 1, 2), "Choose a local officer."},
      {"appoint beside the leader", [](TGame& G) { Join(G, 3, 1); }, Order(OGovernor, 1, 3),
       "The leader must govern their own location."},
      {"appoint with the leader away", LeaderAway, Order(OGovernor, 3, 4), ""},

      // Governor policy.
      {"policy 3", nullptr, Order(OPolicy, 1, 0, 3), "Policy must be 0 Balanced, 1 Develop, or 2 Expand."},
      {"policy -1", nullptr, Order(OPolicy, 1, 0, -1), "Policy must be 0 Balanced, 1 Develop, or 2 Expand."},
      {"policy 0", nullptr, Order(OPolicy, 1, 0, 0), ""},
      {"policy 2", nullptr, Order(OPolicy, 1, 0, 2), ""},

      // Abandon realm and Retire.
      {"abandon in person", nullptr, Order(OAbandon), ""},
      {"abandon with the leader away", LeaderAway, Order(OAbandon, 3),
       "The leader must be present to abandon the realm."},
      {"abandon with the leader captive here", [](TGame& G) { Join(G, 3, 1); SetAt(G, Ch(1, "captured"), true); },
       Order(OAbandon, 3), "The leader must be present to abandon the realm."},
      {"retire", nullptr, Order(ORetire), ""},
      {"retire from the road", [](TGame& G) { OnTheRoad(G, 8); }, Order(ORetire), ""},

      // Divination and Rumors.
      {"divination from the lair", nullptr, Order(ODivination, 1, 50), "Visit town first."},
      {"divine no one", InTown, Order(ODivination, 1, 0), "Choose a resident."},
      {"divine past the roll", InTown, Order(ODivination, 1, 256), "Choose a resident."},
      {"divine anyone anywhere", InTown, Order(ODivination, 1, 200), ""},
      {"divination fee", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "gold"), 0); }, Order(ODivination, 1, 50),
       "Requires 1 Gold; available 0."},
      {"rumors from the lair", nullptr, Order(ORumors), "Visit town first."},
      {"rumors fee", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "gold"), 9); }, Order(ORumors),
       "Requires 10 Gold; available 9."},
      {"rumors", [](TGame& G) { InTown(G); SetAt(G, Pr(1, "gold"), 10); }, Order(ORumors), ""},
  };
  TGame Base;
  NewFixtureCampaign(Base);
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Why);
    TGame G;
    G.Data = std::make_unique<TJson>(*Base.Data);
    if (C.Change) C.Change(G);
    const std::string Before = Text(G);
    const auto Log = G.Log;
    EXPECT_EQ(G.Check(C.Cmd), C.Refusal);
    EXPECT_EQ(Text(G), Before);
    EXPECT_EQ(G.Log, Log);
  }
}

TEST(CheckOrders, TheCampaignsStateRefusesEveryKind) {
  for (int K = 0; K < OrderCount; ++K) {
    SCOPED_TRACE(OrderNames[K]);
    const TCommand Cmd = Order(TOrder(K), 1, 0, 0, 0);
    TGame Empty;
    EXPECT_EQ(Empty.Check(Cmd), "No campaign loaded.");
    TGame Ended, Fighting;
    NewFixtureCampaign(Ended);
    SetAt(Ended, "/ended", true);
    EXPECT_EQ(Ended.Check(Cmd), "This campaign has ended.");
    NewFixtureCampaign(Fighting);
    OpenField(Fighting);
    EXPECT_EQ(Fighting.Check(Cmd), "Finish the battle first.");
  }
}

TEST(CheckOrders, TownAndRoadAdmitOnlyTheirKinds) {
  const std::set<int> Town = {ORest,    ORecruit, OBuyFood, OSellFood,   OBuyFur,
                              OSellFur, OBuyArms, OBuyShip, ODivination, ORumors};
  const std::set<int> Road = {ORest, OTravel, OSettle, ORecruit, OScout, ORetire};
  for (int K = 0; K < OrderCount; ++K) {
    SCOPED_TRACE(OrderNames[K]);
    const TCommand Cmd = Order(TOrder(K), 1, 2, 1, 0);
    TGame Visit, Exile;
    NewFixtureCampaign(Visit);
    InTown(Visit);
    EXPECT_EQ(Visit.Check(Cmd) == "Return to the lair before giving another order.", Town.count(K) == 0);
    NewFixtureCampaign(Exile);
    OnTheRoad(Exile, 8);
    EXPECT_EQ(Exile.Check(Cmd) == "Settle an unclaimed province first.", Road.count(K) == 0);
  }
}

TEST(CheckWarCost, ATenthReadyCompanionIsTheLastPaidFor) {
  TGame G;
  EXPECT_EQ(G.WarCost(1, 1), 0);
  NewFixtureCampaign(G);
  auto Company = [&](int Cid, int Soldiers, int Body) {
    SetAt(G, Ch(Cid, "soldiers"), Soldiers);
    SetAt(G, Ch(Cid, "body"), Body);
  };
  EXPECT_EQ(G.WarCost(1, 1), 2);  // the leader's 3 soldiers: (3 + 3) div 3
  Company(1, 0, 10);
  EXPECT_EQ(G.WarCost(1, 1), 1);

  // Neither the tired, the captive, another fellowship's people nor our own
  // elsewhere march, and none of them takes one of the ten places.
  Join(G, 3, 2);
  Company(3, 90, 9);
  Company(4, 90, 60);
  SetAt(G, Ch(4, "captured"), true);
  Join(G, 5, 1, 1, 2);
  Join(G, 6, 1, 2);
  Company(5, 90, 60);
  Company(6, 90, 60);
  EXPECT_EQ(G.WarCost(1, 1), 1);

  // Nine more with 30 soldiers (11 Gold each) fill the ten places; later ones add nothing.
  Join(G, 100, 11);
  for (int Cid = 100; Cid < 111; ++Cid) Company(Cid, 30, 10);
  EXPECT_EQ(G.WarCost(1, 1), 1 + 9 * 11);
  EXPECT_EQ(G.WarCost(2, 2), 3);  // faction 2's leader with 6 soldiers
}
