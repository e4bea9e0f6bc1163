// The JSON tree of the campaign document, its parser and its exact text form.
//
// Objects keep their members in the order they were added; keys are found by
// comparing a precomputed 32-bit hash before the text, which keeps lookups in
// a 30-member record cheap. Numbers are whole 64-bit integers only: the game
// never stores a fraction, so the parser refuses one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum TJsonKind : uint8_t { JNull, JFalse, JTrue, JInt, JString, JArray, JObject };

constexpr uint32_t KeyHash(const char* S, size_t Len) {
  uint32_t H = 2166136261u;
  for (size_t I = 0; I < Len; ++I) H = (H ^ static_cast<unsigned char>(S[I])) * 16777619u;
  return H;
}

// A member name with its hash; built from a string literal at no run-time cost.
struct TKey {
  std::string_view Name;
  uint32_t Hash;
  template <size_t L>
  constexpr TKey(const char (&S)[L]) : Name(S, L - 1), Hash(KeyHash(S, L - 1)) {}
  explicit constexpr TKey(std::string_view S) : Name(S), Hash(KeyHash(S.data(), S.size())) {}
};

class TJson {
 public:
  TJson() = default;
  TJson(int64_t V) : Kind_(JInt), Int_(V) {}
  TJson(int V) : TJson(int64_t(V)) {}
  TJson(bool V) : Kind_(V ? JTrue : JFalse) {}
  TJson(std::string V) : Kind_(JString), Text_(std::move(V)) {}
  TJson(const char* V) : TJson(std::string(V)) {}
  static TJson Object();
  static TJson Array();

  TJsonKind Kind() const { return Kind_; }
  bool IsObject() const { return Kind_ == JObject; }
  bool IsArray() const { return Kind_ == JArray; }
  bool IsInt() const { return Kind_ == JInt; }
  bool IsString() const { return Kind_ == JString; }
  int64_t Int() const { return Int_; }
  const std::string& Text() const { return Text_; }

  // Elements of an array, or member values of an object, by position.
  size_t Size() const { return Items_.size(); }
  TJson& At(size_t I);
  const TJson& At(size_t I) const;
  void Push(TJson V);
  void Erase(size_t I);

  // Members of an object.
  const std::string& KeyAt(size_t I) const { return Keys_[I]; }
  TJson* Find(const TKey& K) {
    std::ptrdiff_t I = IndexOf(K);
    return I < 0 ? nullptr : &Items_[size_t(I)];
  }
  const TJson* Find(const TKey& K) const { return const_cast<TJson*>(this)->Find(K); }
  void Add(const TKey& K, TJson V);  // a member that exists is an error
  void Put(const TKey& K, TJson V);  // removes the member, then appends it
  void Remove(const TKey& K);

 private:
  // Inline: every rule's field access ends here.
  std::ptrdiff_t IndexOf(const TKey& K) const {
    const size_t Count = Hashes_.size();
    for (size_t I = 0; I < Count; ++I)
      if (Hashes_[I] == K.Hash && Keys_[I] == K.Name) return std::ptrdiff_t(I);
    return -1;
  }

  TJsonKind Kind_ = JNull;
  int64_t Int_ = 0;
  std::string Text_;
  std::vector<TJson> Items_;  // array elements, or member values of an object
  std::vector<std::string> Keys_;
  std::vector<uint32_t> Hashes_;
};

// Parses UTF-8 JSON text; raises std::runtime_error with a readable message.
TJson ParseJson(std::string_view Text);

// The compact text form that save files use and the checksum covers.
std::string WriteJson(const TJson& V);
void WriteJson(const TJson& V, std::string& Out);
void WriteJsonString(std::string_view S, std::string& Out);

// 32-bit FNV-1a of the bytes, as 8 upper-case hexadecimal digits.
std::string HashText(std::string_view S);
