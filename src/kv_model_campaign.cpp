// The campaign document's accessors, its random generator and the derived
// queries every rule uses (who is local, how many people a province holds).
#include "kv_model.h"

#include <algorithm>
#include <stdexcept>

int64_t Bound(int64_t V, int64_t Lo, int64_t Hi) { return std::max(Lo, std::min(V, Hi)); }

TJson* TGame::Record(const TKey& ListKey, int64_t Id, int64_t Limit) const {
  if (!Data || Id < 1 || Id > Limit) return nullptr;
  TJson* L = List(Data.get(), ListKey);
  // The document must hold every record; a short list is a programming error.
  if (!L || size_t(Id) > L->Size())
    throw std::out_of_range("Record " + std::to_string(Id) + " of " + std::string(ListKey.Name) +
                            " is missing from the campaign.");
  return &L->At(size_t(Id - 1));
}

TJson* TGame::P(int64_t Id) const { return Record("provinces", Id, 49); }

TJson* TGame::C(int64_t Id) const { return Record("characters", Id, 255); }

TJson* TGame::F(int64_t Id) const {
  if (!Data || Id < 1 || size_t(Id) > Len(List(Data.get(), "factions"))) return nullptr;
  return Record("factions", Id, Id);
}

TJson* TGame::Party(int64_t Id) const {
  TJson* L = Data ? List(Data.get(), "exileParties") : nullptr;
  for (size_t I = 0; I < Len(L); ++I)
    if (N(Item(L, I), "leader") == Id) return Item(L, I);
  return nullptr;
}

int64_t TGame::N(const TJson* O, const TKey& Key, int64_t Default) {
  const TJson* V = O && O->IsObject() ? O->Find(Key) : nullptr;
  return V && V->IsInt() ? V->Int() : Default;
}

std::string TGame::S(const TJson* O, const TKey& Key, const std::string& Default) {
  const TJson* V = O && O->IsObject() ? O->Find(Key) : nullptr;
  return V && V->IsString() ? V->Text() : Default;
}

bool TGame::B(const TJson* O, const TKey& Key) {
  const TJson* V = O && O->IsObject() ? O->Find(Key) : nullptr;
  return V && V->Kind() == JTrue;
}

namespace {
TJson& Writable(TJson* O, const TKey& Key) {
  if (!O || !O->IsObject())
    throw std::logic_error("Cannot write \"" + std::string(Key.Name) + "\" into a missing record.");
  return *O;
}
}  // namespace

void TGame::Put(TJson* O, const TKey& Key, int64_t V) { Writable(O, Key).Put(Key, TJson(V)); }
void TGame::Put(TJson* O, const TKey& Key, bool V) { Writable(O, Key).Put(Key, TJson(V)); }
void TGame::Put(TJson* O, const TKey& Key, const std::string& V) { Writable(O, Key).Put(Key, TJson(V)); }

TJson* TGame::List(const TJson* O, const TKey& Key) {
  const TJson* V = O && O->IsObject() ? O->Find(Key) : nullptr;
  return V && V->IsArray() ? const_cast<TJson*>(V) : nullptr;
}

size_t TGame::Len(const TJson* L) { return L && L->IsArray() ? L->Size() : 0; }

TJson* TGame::Item(const TJson* L, size_t I) {
  return I < Len(L) ? const_cast<TJson*>(&L->At(I)) : nullptr;
}

int64_t TGame::NAt(const TJson* L, size_t I, int64_t Default) {
  const TJson* V = Item(L, I);
  return V && V->IsInt() ? V->Int() : Default;
}

bool TGame::Has(const TJson* O, const TKey& Key) { return O && O->IsObject() && O->Find(Key); }

TJson* TGame::Obj(const TJson* O, const TKey& Key) {
  const TJson* V = O && O->IsObject() ? O->Find(Key) : nullptr;
  return IsRecord(V) ? const_cast<TJson*>(V) : nullptr;
}

bool TGame::IsRecord(const TJson* V) { return V && V->IsObject(); }

namespace {
TJson& Reshaped(TJson* L) {
  if (!L || !L->IsArray()) throw std::logic_error("Cannot change a missing list.");
  return *L;
}
}  // namespace

void TGame::Add(TJson* O, const TKey& Key, int64_t V) { Writable(O, Key).Add(Key, TJson(V)); }

TJson* TGame::AddList(TJson* O, const TKey& Key) {
  Writable(O, Key).Add(Key, TJson::Array());
  return List(O, Key);
}

TJson* TGame::PutObj(TJson* O, const TKey& Key) {
  Writable(O, Key).Put(Key, TJson::Object());
  return Obj(O, Key);
}

void TGame::Push(TJson* L, int64_t V) { Reshaped(L).Push(TJson(V)); }

TJson* TGame::PushRecord(TJson* L) {
  Reshaped(L).Push(TJson::Object());
  return &L->At(L->Size() - 1);
}

void TGame::PutAt(TJson* L, size_t I, int64_t V) { Reshaped(L).At(I) = TJson(V); }

void TGame::Delete(TJson* L, size_t I) { Reshaped(L).Erase(I); }

void TGame::Clear(TJson* L) {
  TJson& List = Reshaped(L);
  while (List.Size() > 0) List.Erase(List.Size() - 1);
}

TJson* TGame::RoadParty(int64_t FID, int64_t PID) {
  if (TJson* Found = Party(FID)) return Found;
  TJson* Made = PushRecord(List(Data.get(), "exileParties"));
  Put(Made, "leader", FID);
  Put(Made, "province", PID);
  Put(Made, "food", 0);
  Put(Made, "gold", 0);
  return Made;
}

void TGame::Remove(TJson* O, const TKey& Key) {
  if (O && O->IsObject()) O->Remove(Key);
}

int64_t TGame::Rand(int64_t Limit) {
  if (!Data) throw std::logic_error("No campaign.");
  if (RandTrace) RandTrace->push_back(Limit);
  TJson* State = Data->Find("rng");
  uint32_t X = State && State->IsInt() ? uint32_t(uint64_t(State->Int())) : 1u;
  X ^= X << 13;
  X ^= X >> 17;
  X ^= X << 5;
  if (X == 0) X = 1;
  // The generator's member keeps its place in the document.
  if (State) {
    *State = TJson(int64_t(X));
  } else {
    Data->Add("rng", TJson(int64_t(X)));
  }
  return Limit > 0 ? int64_t(X % uint64_t(Limit)) : 0;
}

int64_t TGame::Rule(const TKey& Key, int64_t Default) const {
  return N(Obj(Data.get(), "rules"), Key, Default);
}

void TGame::Note(const std::string& Msg) {
  Log.push_back(Msg);
  ++Noted;
  while (Log.size() > 200) Log.pop_front();
}

int64_t TGame::Current() const {
  if (!Data) return 0;
  int64_t Index = N(Data.get(), "queueIndex");
  TJson* Queue = List(Data.get(), "queue");
  return Index >= 0 ? NAt(Queue, size_t(Index)) : 0;
}

bool TGame::IsExile() const { return Current() < 0; }

int64_t TGame::Province() const {
  int64_t Entry = Current();
  return Entry < 0 ? N(C(-Entry), "province") : Entry;
}

int64_t TGame::Faction() const {
  int64_t Entry = Current();
  return Entry < 0 ? -Entry : N(P(Entry), "owner");
}

bool TGame::Human(int64_t FID) const {
  TJson* Rec = F(FID);
  return B(Rec, "human") && B(Rec, "active");
}

bool TGame::Finished() const { return B(Data.get(), "ended"); }

bool TGame::Local(int64_t CID, int64_t PID, int64_t FID) const {
  // Place and fellowship first: they rule out nearly everyone at once.
  TJson* Ch = C(CID);
  return Ch && N(Ch, "province") == PID && N(Ch, "faction") == FID && B(Ch, "alive") && !B(Ch, "captured");
}

int64_t TGame::Troops(int64_t PID) const {
  int64_t Owner = N(P(PID), "owner");
  int64_t Sum = 0;
  for (int64_t I = 1; I <= 255; ++I)
    if (Local(I, PID, Owner) && S(C(I), "role") != "exile") Sum += N(C(I), "soldiers");
  return Sum;
}

// The people who fill the province's capacity of 5 x castles: the owner's own
// and every captive held there; free residents, exiles and overflow captives stay out.
int64_t TGame::Count(int64_t PID) const {
  int64_t Owner = N(P(PID), "owner");
  int64_t Total = 0;
  for (int64_t I = 1; I <= 255; ++I) {
    TJson* Ch = C(I);
    if (N(Ch, "province") != PID || !B(Ch, "alive") || B(Ch, "overflow")) continue;
    int64_t Fid = N(Ch, "faction");
    if (Fid == 0 || (Fid != Owner && !B(Ch, "captured"))) continue;
    if (S(Ch, "role") != "exile") ++Total;
  }
  return Total;
}

bool TGame::Neighbors(int64_t A, int64_t B) const {
  if (!P(B)) return false;
  TJson* L = List(P(A), "neighbors");
  for (size_t I = 0; I < Len(L); ++I)
    if (NAt(L, I) == B) return true;
  return false;
}

bool TGame::Allied(int64_t A, int64_t B) const {
  TJson* L = Data ? List(Data.get(), "treaties") : nullptr;
  for (size_t I = 0; I < Len(L); ++I) {
    TJson* T = Item(L, I);
    int64_t Ta = N(T, "a"), Tb = N(T, "b");
    if ((Ta == A && Tb == B) || (Ta == B && Tb == A)) return N(T, "years") > 0;
  }
  return false;
}
