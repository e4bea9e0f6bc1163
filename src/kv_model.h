// The campaign model: one TGame holding the campaign document and its log.
//
// Every rule reads and writes the document through the accessors below, never
// through JSON nodes, so the representation can change without touching a rule.
#pragma once

#include "kv_json.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

enum TOrder : int32_t {
  ORest, OTravel, OSettle, ORecruit, OCultivate, OFlood, OBuild, OHunt, OSolicit, OTrain,
  OHire, OGive, OReward, OFeast, OOath, ODismiss, OShip, OWeapons, OMove, OConvoy,
  OTreaty, OInvite, OTown, OBuyFood, OSellFood, OBuyFur, OSellFur, OBuyArms, OBuyShip, OBeasts,
  OWar, OScout, ORedistribute, OAssignShip, OGovernor, OPolicy, OAbandon, ORetire, ODivination, ORumors,
};
constexpr int OrderCount = 40;

extern const char* const OrderNames[OrderCount];

// The battlefield: 18 columns by 14 rows of hexes; cell (q, r) has index r * 18 + q.
constexpr int FieldCols = 18, FieldRows = 14, FieldCells = FieldCols * FieldRows;
// Movement cost from a unit's cell to every cell of the field.
using TReachCosts = std::array<int32_t, FieldCells>;
// Terrain of a battlefield cell.
enum TGround : int32_t { GPlain, GForest, GHill, GMountain, GCastle, GRiver, GMarsh, GIce };

struct TCommand {
  TOrder Kind;
  int32_t Actor;
  int32_t Target;
  int32_t Amount;
  int32_t Extra;
};

TCommand Command(TOrder K, int32_t Actor, int32_t Target, int32_t Amount, int32_t Extra);

// max(Lo, min(V, Hi)): Lo wins when Lo > Hi.
int64_t Bound(int64_t V, int64_t Lo, int64_t Hi);

// Reads and parses the world book and checks the shape every scenario needs
// (four scenarios; 49 provinces, 255 characters and 11 factions each, ids in
// range); raises std::runtime_error with a readable message.
TJson ReadWorldBook(const std::string& FileName);

class TGame {
 public:
  std::unique_ptr<TJson> Data;  // absent until a campaign is started or loaded
  std::deque<std::string> Log;  // at most 200 lines, oldest first; never saved
  uint64_t Noted = 0;           // lines ever noted, so that a reader can follow the log

  // Records inside the document, or nullptr ("nothing").
  TJson* P(int64_t Id) const;
  TJson* C(int64_t Id) const;
  TJson* F(int64_t Id) const;
  TJson* Party(int64_t Id) const;
  // The exile party of faction FID, made {leader, province PID, food 0, gold 0} when it has none.
  TJson* RoadParty(int64_t FID, int64_t PID);

  // Fields of a record; O may be nullptr.
  static int64_t N(const TJson* O, const TKey& Key, int64_t Default = 0);
  static std::string S(const TJson* O, const TKey& Key, const std::string& Default = "");
  static bool B(const TJson* O, const TKey& Key);
  static void Put(TJson* O, const TKey& Key, int64_t V);
  static void Put(TJson* O, const TKey& Key, int V) { Put(O, Key, int64_t(V)); }
  static void Put(TJson* O, const TKey& Key, bool V);
  static void Put(TJson* O, const TKey& Key, const std::string& V);
  static void Put(TJson* O, const TKey& Key, const char* V) { Put(O, Key, std::string(V)); }

  // Lists inside a record: the array member, its length, an element, an integer element.
  static TJson* List(const TJson* O, const TKey& Key);
  static size_t Len(const TJson* L);
  static TJson* Item(const TJson* L, size_t I);
  static int64_t NAt(const TJson* L, size_t I, int64_t Default = 0);

  // Shapes, for the checks that guard a document: a member exists, is an object, a value is a record.
  static bool Has(const TJson* O, const TKey& Key);
  static TJson* Obj(const TJson* O, const TKey& Key);
  static bool IsRecord(const TJson* V);

  // Building and reshaping: new members, list elements appended, changed in place or deleted.
  // Add raises the JSON layer's duplicate-member error when the key exists.
  static void Add(TJson* O, const TKey& Key, int64_t V);
  static TJson* AddList(TJson* O, const TKey& Key);
  static TJson* PutObj(TJson* O, const TKey& Key);  // a new empty object, put like Put
  static void Push(TJson* L, int64_t V);
  static TJson* PushRecord(TJson* L);  // appends an empty object and returns it
  static void PutAt(TJson* L, size_t I, int64_t V);
  static void Delete(TJson* L, size_t I);
  static void Clear(TJson* L);
  static void Remove(TJson* O, const TKey& Key);  // deletes the member when present

  int64_t Rand(int64_t Limit);
  // When set, every draw appends its Limit here: the order of draws is part of the game.
  std::vector<int64_t>* RandTrace = nullptr;
  int64_t Rule(const TKey& Key, int64_t Default) const;
  void Note(const std::string& Msg);

  int64_t Current() const;
  bool IsExile() const;
  int64_t Province() const;
  int64_t Faction() const;
  bool Human(int64_t FID) const;
  bool Finished() const;
  bool Local(int64_t CID, int64_t PID, int64_t FID) const;
  int64_t Troops(int64_t PID) const;
  int64_t Count(int64_t PID) const;
  bool Neighbors(int64_t A, int64_t B) const;
  bool Allied(int64_t A, int64_t B) const;

  // New campaigns from the world book.
  void NewGame(const std::string& FileName, int64_t Scenario, int64_t LeaderCount, int64_t Difficulty,
               const std::vector<int64_t>& Leaders, uint32_t Seed);

  // The monthly turn queue and the upkeep of fellowships.
  void MakeQueue();
  void FinishOrder();
  void Appoint(int64_t PID);
  void NormalizeFactions();
  void CheckEnd();

  // Month-end.
  void MonthEnd();

  // Odds, prices and yields.
  int64_t Compatible(int64_t AId, int64_t BId) const;
  int64_t Chance(const TCommand& Cmd) const;
  void Experience(int64_t CID, int64_t St, int64_t De, int64_t Wi);
  int64_t TradePrice(TOrder K, int64_t PID) const;
  int64_t TradeTotal(TOrder K, int64_t PID, int64_t Quantity) const;
  std::string TradeQuote(TOrder K, int64_t PID) const;
  int64_t HuntYield(int64_t Actor, int64_t Option) const;
  static std::string BeastName(int64_t Kind);
  TJson* BeastNotice() const;  // the oldest report, or nullptr
  void DismissBeastNotice();

  // Orders: the check with its refusal sentence, the preview, and execution.
  std::string Check(const TCommand& Cmd) const;
  std::string Describe(const TCommand& Cmd) const;
  std::string Execute(const TCommand& Cmd);
  // Gold an army marching from PID takes: a third of each ready companion's soldiers, ten at most.
  int64_t WarCost(int64_t PID, int64_t FID) const;

  // Computer players and self-running governors.
  void AdvanceAI(int64_t MaxOrders);
  void AIOrder();

  // Riots.
  std::string ResolveRiot(int64_t PID, bool Pay);

  // Save files.
  std::string StateHash() const;
  void Save(const std::string& FileName) const;
  void Load(const std::string& FileName);
  std::string Validate() const;

  // Battles: the record under "battle", its field and its units.
  bool InBattle() const;
  TJson* Battle() const;
  TJson* UnitObj(int64_t I) const;
  int64_t UnitAt(int64_t Q, int64_t R) const;
  static int64_t HexDistance(int64_t Q1, int64_t R1, int64_t Q2, int64_t R2);
  int64_t Terrain(int64_t Q, int64_t R) const;
  bool BattleHuman() const;
  void BeginBattle(int64_t Origin, int64_t Dest, int64_t FID);
  std::string BattleAction(int64_t I, int64_t Target, int64_t Q, int64_t R, const std::string& Action);
  double UnitPower(int64_t U) const;
  void Hit(int64_t U, int64_t Loss, int64_t Injury);
  TReachCosts Reachable(int64_t UnitId, bool Charge) const;
  void BattleCheck();
  void BattleDay();
  void BattleAI();
  void ResolveBattle();
  void BattleEnd(int64_t Winner);
  std::string PrisonerAction(int64_t Cid, int64_t Fid, const std::string& Action);

 private:
  TJson* Record(const TKey& ListKey, int64_t Id, int64_t Limit) const;
  int64_t ReadyUnit(int64_t Side) const;
  void PassSpentSides();
};
