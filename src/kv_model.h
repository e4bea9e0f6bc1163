// The campaign model: one TGame holding the campaign document and its log.
//
// Every rule reads and writes the document through the accessors below, never
// through JSON nodes, so the representation can change without touching a rule.
#pragma once

#include "kv_json.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

enum TOrder : int32_t {
  ORest, OTravel, OSettle, ORecruit, OCultivate, OFlood, OBuild, OHunt, OSolicit, OTrain,
  OHire, OGive, OReward, OFeast, OOath, ODismiss, OShip, OWeapons, OMove, OConvoy,
  OTreaty, OInvite, OTown, OBuyFood, OSellFood, OBuyFur, OSellFur, OBuyArms, OBuyShip, OBeasts,
  OWar, OScout, ORedistribute, OAssignShip, OGovernor, OPolicy, OAbandon, ORetire, ODivination, ORumors,
};
constexpr int OrderCount = 40;

extern const char* const OrderNames[OrderCount];

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

class TGame {
 public:
  std::unique_ptr<TJson> Data;  // absent until a campaign is started or loaded
  std::deque<std::string> Log;  // at most 200 lines, oldest first; never saved

  // Records inside the document, or nullptr ("nothing").
  TJson* P(int64_t Id) const;
  TJson* C(int64_t Id) const;
  TJson* F(int64_t Id) const;
  TJson* Party(int64_t Id) const;

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

  int64_t Rand(int64_t Limit);
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

  // Save files.
  std::string StateHash() const;
  void Save(const std::string& FileName) const;
  void Load(const std::string& FileName);
  std::string Validate() const;

 private:
  TJson* Record(const TKey& ListKey, int64_t Id, int64_t Limit) const;
};
