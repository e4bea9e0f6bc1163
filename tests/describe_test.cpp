// Order previews on the fixture campaign, with round numbers for the people
// involved so that each sentence can be worked out by hand.
#include "fixture.h"
#include "kv_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

void Temper(TGame& G, int Cid, int Integrity, int Mercy, int Courage) {
  TGame::Put(G.C(Cid), "integrity", Integrity);
  TGame::Put(G.C(Cid), "mercy", Mercy);
  TGame::Put(G.C(Cid), "courage", Courage);
}

void Abilities(TGame& G, int Cid, int Strength, int Dexterity, int Wisdom, int Soldiers) {
  TGame::Put(G.C(Cid), "strength", Strength);
  TGame::Put(G.C(Cid), "dexterity", Dexterity);
  TGame::Put(G.C(Cid), "wisdom", Wisdom);
  TGame::Put(G.C(Cid), "soldiers", Soldiers);
}

// Three different people in province 1, so that a preview reading the wrong
// one shows: leader 1 (popularity 100), governor 3 and companion 4, who acts.
// The province has rate 33, 300 Food, 20 Fur and a tiger about.
void Preview(TGame& G) {
  NewFixtureCampaign(G);
  Abilities(G, 1, 50, 60, 40, 12);
  Temper(G, 1, 40, 50, 30);
  Place(G, 3, 1, 1, "follower");
  Abilities(G, 3, 50, 50, 50, 8);
  Temper(G, 3, 40, 75, 30);  // compatibility 92 with the leader
  Place(G, 4, 1, 1, "follower");
  Abilities(G, 4, 70, 80, 30, 20);
  Temper(G, 4, 70, 40, 60);
  Temper(G, 2, 46, 58, 62);  // compatibility 85 with the leader
  TGame::Put(G.C(2), "soldiers", 6);
  Temper(G, 50, 50, 50, 50);  // a free resident, compatibility 87 with the companion
  TGame::Put(G.F(1), "popularity", 100);
  TJson* Home = G.P(1);
  TGame::Put(Home, "governor", 3);
  TGame::Put(Home, "rate", 33);
  TGame::Put(Home, "food", 300);
  TGame::Put(Home, "fur", 20);
  TGame::Put(Home, "beast", 3);
}

struct TCase {
  TCommand Cmd;
  std::string Text;
  std::function<void(TGame&)> Change = nullptr;
};

}  // namespace

TEST(DescribeOrders, EachKindShowsItsSentenceAndCost) {
  const TCase Cases[] = {
      {Command(ORest, 1, 0, 0, 0),
       "All local companions recover 10 Body, followed by month-end recovery. Cost: 0 Body, 0 Gold."},
      {Command(ORest, 1, 0, 0, 0),
       "End the town visit and return to the lair. Confirmed transactions are retained. Cost: 0 Body, 0 Gold.",
       [](TGame& G) { TGame::Put(G.Data.get(), "town", true); }},
      {Command(OTravel, 1, 2, 0, 0),
       "Travel to adjacent Province 2 with your exile companions. Cost: 10 Body, 0 Gold."},
      {Command(OSettle, 1, 0, 0, 0),
       "Claim this unowned province. Carry your party stocks into the lair and receive 30 Food once. An occupied "
       "province below Support 40 instead starts an uprising battle. Cost: 0 Body, 0 Gold."},
      // 100 div 10 + 10 + 87 div 2 + 30 div 5 - 50 div 4
      {Command(ORecruit, 4, 50, 0, 0),
       "Invite Character 50 to join you. Chance 57%. Failure costs 1 Popularity. Cost: 10 Body, 0 Gold."},
      {Command(OCultivate, 4, 0, 0, 0), "Development +10, Support +4. No Gold required. Cost: 15 Body, 0 Gold."},
      {Command(OFlood, 4, 0, 0, 0), "Development +10, Support +4. No Gold required. Cost: 15 Body, 0 Gold."},
      {Command(OBuild, 4, 0, 0, 0), "Development +10, Support +4. No Gold required. Cost: 15 Body, 0 Gold."},
      // (80 + the leader's courage 30) div 2, a quarter of it in fur
      {Command(OHunt, 4, 0, 0, 0), "Hunt for food: bring back 55 Food. Cost: 20 Body, 0 Gold."},
      {Command(OHunt, 4, 0, 0, 1),
       "Hunt for fur: bring back 13 Fur to sell at the marketplace. Cost: 20 Body, 0 Gold."},
      // (30 + 80) x (150 - the leader's mercy 50) div 200, halved for metal
      {Command(OSolicit, 4, 0, 0, 0), "Gain 55 supplies; Support -5. Option 0: Gold, 1: Metal. Cost: 15 Body, 0 Gold."},
      {Command(OSolicit, 4, 0, 0, 1), "Gain 27 supplies; Support -5. Option 0: Gold, 1: Metal. Cost: 15 Body, 0 Gold."},
      // (70 + 80 + the leader's integrity 40) div 30 + 2
      {Command(OTrain, 4, 0, 0, 0), "Troop Skill +8. Cost: 15 Body, 0 Gold."},
      {Command(OHire, 4, 0, 10, 0),
       "Hire 10 soldiers for the companion. New soldiers dilute shared Skill and Arms. Cost: 0 Body, 40 Gold."},
      // 200 x (the governor's mercy 75 + 50) div 2000
      {Command(OGive, 4, 0, 200, 0), "Give 200 Food to citizens. Support +12. Cost: 0 Body, 0 Gold."},
      // 30 x (the leader's compatibility 92 + 50) div 500
      {Command(OReward, 4, 3, 30, 0), "Reward Character 3. Loyalty +8. Cost: 0 Body, 30 Gold."},
      // Three people at rate 33: (3 x 10 x 33 + 49) div 100.
      {Command(OFeast, 4, 0, 0, 0), "All local companions recover 10 Body and gain Loyalty. Cost: 0 Body, 10 Gold."},
      {Command(OOath, 4, 3, 0, 0),
       "Invite a permanent sworn bond. Chance 77%. Requires Loyalty 95 and compatibility 70. Cost: 10 Body, 0 Gold."},
      {Command(ODismiss, 1, 3, 0, 0),
       "Dismiss Character 3 with personal soldiers and ship. Popularity -5. Cost: 0 Body, 0 Gold."},
      {Command(OShip, 1, 0, 0, 0),
       "Build one ship for the companion. Requires Navigation and Dexterity 70. Cost: 15 Body, 20 Gold."},
      {Command(OWeapons, 4, 0, 20, 0), "Spend 20 Metal. Arms +11, capped at 100. Cost: 15 Body, 0 Gold."},
      {Command(OMove, 1, 8, 0, 0),
       "Move the companion and their soldiers/ship to Province 8. Claims unowned land. Cost: 10 Body, 0 Gold."},
      {Command(OConvoy, 4, 8, 100, 0),
       "Send 100 Food. Escort stays here. Risk 23% of losing a tenth. Cost: 10 Body, 0 Gold."},
      {Command(OConvoy, 4, 8, 100, 0),
       "Send 100 Food. Escort stays here. Risk 0% of losing a tenth. Cost: 10 Body, 0 Gold.",
       [](TGame& G) { TGame::Put(G.C(4), "wisdom", 200); }},
      // 30 div 2 + 20 + 85 div 4 + (40 - 6) div 20; the gift is 200 - 30 - 10.
      {Command(OTreaty, 4, 2, 0, 0), "Chance 57%. The gift is spent even on refusal. Cost: 25 Body, 160 Gold."},
      // 100 div 5 + 85 div 2 - 62 div 3; one member adds 10 Gold.
      {Command(OInvite, 4, 2, 0, 0),
       "Chance 42%. The gift is spent even on refusal. Travel allowance included for 1 people. Cost: 25 Body, 170 "
       "Gold."},
      {Command(OTown, 1, 0, 0, 0),
       "Visit the marketplace and downtown. Purchases and invitations stay in this visit until Return to lair. Cost: "
       "10 Body, 0 Gold."},
      {Command(OBuyFood, 1, 0, 3, 0),
       "Buy 3 Food at 1.32 Gold each. Total cost rounds up to whole Gold. Cost: 0 Body, 4 Gold."},
      {Command(OSellFood, 1, 0, 3, 0),
       "Sell 3 Food at 0.66 Gold each; receive 1 Gold (total rounded down). Cost: 0 Body, 0 Gold."},
      {Command(OBuyFur, 1, 0, 2, 0),
       "Buy 2 Fur at 7.00 Gold each. Total cost rounds up to whole Gold. Cost: 0 Body, 14 Gold."},
      {Command(OSellFur, 1, 0, 2, 0),
       "Sell 2 Fur at 4.00 Gold each; receive 8 Gold (total rounded down). Cost: 0 Body, 0 Gold."},
      {Command(OBuyArms, 1, 0, 5, 0), "Buy 5 Arms points at the smithy. Cost: 0 Body, 35 Gold."},
      {Command(OBuyShip, 1, 0, 1, 0), "Buy one ship for the companion from the shipyard. Cost: 0 Body, 17 Gold."},
      // (80 + 60) div 2 + 20 + 20 div 4 - (30 + 20)
      {Command(OBeasts, 4, 0, 0, 0),
       "Drive the tiger away and protect the residents. Chance 45%. Success earns Popularity. Failure costs 10 extra "
       "Body and a tenth of troops. Cost: 10 Body, 0 Gold."},
      // 12, 8 and 20 soldiers: 5 + 3 + 7 Gold.
      {Command(OWar, 4, 2, 0, 0),
       "Send up to ten ready companions to Province 2. Cost is 10 Body EACH plus quoted total Gold. A 30-day Food "
       "reserve travels with the army. Cost: 10 Body, 15 Gold."},
      {Command(OScout, 1, 49, 0, 0), "Gather details of Province 49. Uses this order. Cost: 10 Body, 0 Gold."},
      {Command(ORedistribute, 1, 3, 4, 0),
       "Transfer 4 soldiers from companion to target. Exact totals and shared training are conserved. Free action. "
       "Cost: 0 Body, 0 Gold."},
      {Command(OAssignShip, 1, 3, 0, 0),
       "Transfer the companion ship to the target. Free action. Cost: 0 Body, 0 Gold."},
      {Command(OGovernor, 1, 3, 0, 0),
       "Appoint Character 3 here. The leader must govern their own home. Free action. Cost: 0 Body, 0 Gold."},
      {Command(OPolicy, 1, 0, 1, 0),
       "Quantity 0: Balanced, 1: Develop, 2: Expand. Changes governor priorities. Free action. Cost: 0 Body, 0 Gold."},
      {Command(OAbandon, 1, 0, 0, 0),
       "Surrender every holding and the Royal Writ. Retain up to nine local companions and 100 Food/Gold. Popularity "
       "-100. Remaining governors and their followers form independent fellowships. Cost: 0 Body, 0 Gold."},
      {Command(ORetire, 1, 0, 0, 0),
       "Pass this fellowship to AI control. The campaign continues as an observer or with other players. Cost: 0 "
       "Body, 0 Gold."},
      {Command(ODivination, 1, 50, 0, 0),
       "Reveal the current recruitment chance and its main factors for the selected resident. Cost: 0 Body, 1 Gold."},
      {Command(ORumors, 1, 0, 0, 0),
       "Ask for leads to promising residents in distant provinces. Cost: 0 Body, 10 Gold."},

      // Costs follow the rules; ids that name nothing give empty names and plain numbers.
      {Command(OTravel, 1, 2, 0, 0), "Travel to adjacent Province 2 with your exile companions. Cost: 7 Body, 0 Gold.",
       [](TGame& G) { TGame::Put(TGame::PutObj(G.Data.get(), "rules"), "lightBody", 7); }},
      {Command(OTravel, 1, 50, 0, 0), "Travel to adjacent  with your exile companions. Cost: 10 Body, 0 Gold."},
      {Command(OHire, 0, 0, -5, 0),
       "Hire -5 soldiers for the companion. New soldiers dilute shared Skill and Arms. Cost: 0 Body, -20 Gold."},
      {Command(OGovernor, 1, 256, 0, 0),
       "Appoint  here. The leader must govern their own home. Free action. Cost: 0 Body, 0 Gold."},
      {Command(TOrder(40), 1, 0, 0, 0), "Unknown order."},
      {Command(TOrder(-1), 1, 0, 0, 0), "Unknown order."},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Text);
    TGame G;
    Preview(G);
    if (C.Change) C.Change(G);
    const std::string Before = WriteJson(*G.Data);
    EXPECT_EQ(G.Describe(C.Cmd), C.Text);
    EXPECT_EQ(WriteJson(*G.Data), Before);
    EXPECT_TRUE(G.Log.empty());
  }
}

TEST(DescribeOrders, EveryKindPreviewsWithoutACampaign) {
  TGame G;
  for (int K = 0; K < OrderCount; ++K) {
    const std::string Text = G.Describe(Command(TOrder(K), 1, 1, 1, 0));
    EXPECT_NE(Text.find(" Cost: "), std::string::npos) << OrderNames[K];
  }
  EXPECT_EQ(G.Describe(Command(ORest, 1, 0, 0, 0)),
            "All local companions recover 10 Body, followed by month-end recovery. Cost: 0 Body, 0 Gold.");
  EXPECT_EQ(G.Describe(Command(OShip, 1, 0, 0, 0)),
            "Build one ship for the companion. Requires Navigation and Dexterity 70. Cost: 15 Body, 20 Gold.");
}
