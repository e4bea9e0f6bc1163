#include "kv_json.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

TJson TJson::Object() {
  TJson V;
  V.Kind_ = JObject;
  return V;
}

TJson TJson::Array() {
  TJson V;
  V.Kind_ = JArray;
  return V;
}

TJson& TJson::At(size_t I) {
  if (I >= Items_.size()) throw std::out_of_range("JSON element " + std::to_string(I) + " is missing.");
  return Items_[I];
}

const TJson& TJson::At(size_t I) const { return const_cast<TJson*>(this)->At(I); }

void TJson::Push(TJson V) { Items_.push_back(std::move(V)); }

void TJson::Erase(size_t I) {
  At(I);
  Items_.erase(Items_.begin() + std::ptrdiff_t(I));
  if (Kind_ == JObject) {
    Keys_.erase(Keys_.begin() + std::ptrdiff_t(I));
    Hashes_.erase(Hashes_.begin() + std::ptrdiff_t(I));
  }
}

void TJson::Add(const TKey& K, TJson V) {
  if (Kind_ != JObject) throw std::logic_error("Member added to a value that is not an object.");
  if (IndexOf(K) >= 0) throw std::runtime_error("Duplicate member \"" + std::string(K.Name) + "\".");
  Keys_.emplace_back(K.Name);
  Hashes_.push_back(K.Hash);
  Items_.push_back(std::move(V));
}

void TJson::Put(const TKey& K, TJson V) {
  Remove(K);
  Add(K, std::move(V));
}

void TJson::Remove(const TKey& K) {
  std::ptrdiff_t I = IndexOf(K);
  if (I >= 0) Erase(size_t(I));
}

namespace {

// Deeper documents are refused: the game's own never nest beyond six levels,
// and a hostile file must not make later recursive walks exhaust the stack.
constexpr size_t MaxDepth = 200;

// Builds the tree from nlohmann's lexer events. Returning false stops the parse;
// the reason is kept in Error.
class TBuilder : public nlohmann::json_sax<nlohmann::json> {
 public:
  TJson Root;
  std::string Error;

  bool null() override { return Value(TJson()); }
  bool boolean(bool V) override { return Value(TJson(V)); }
  bool number_integer(number_integer_t V) override { return Value(TJson(int64_t(V))); }
  bool number_unsigned(number_unsigned_t V) override {
    if (V > uint64_t(INT64_MAX)) return Fail("Number " + std::to_string(V) + " does not fit in 64 bits.");
    return Value(TJson(int64_t(V)));
  }
  bool number_float(number_float_t, const string_t& Token) override {
    if (Token.find_first_of(".eE") != std::string::npos)
      return Fail("Number " + Token + " is not a whole number.");
    return Fail("Number " + Token + " does not fit in 64 bits.");
  }
  bool string(string_t& V) override { return Value(TJson(std::move(V))); }
  bool binary(binary_t&) override { return Fail("Binary values are not JSON text."); }

  bool start_object(std::size_t) override { return Open(TJson::Object()); }
  bool key(string_t& K) override {
    TJson& Obj = *Stack.back();
    if (Obj.Find(TKey(K))) return Fail("Duplicate member \"" + K + "\".");
    PendingKey = std::move(K);
    return true;
  }
  bool end_object() override { return Close(); }
  bool start_array(std::size_t) override { return Open(TJson::Array()); }
  bool end_array() override { return Close(); }

  bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception& Ex) override {
    std::string What = Ex.what();
    // "[json.exception.parse_error.101] parse error at line 1, column 5: ..." becomes
    // "Malformed JSON at line 1, column 5: ...".
    size_t At = What.find("parse error ");
    if (At != std::string::npos) What.erase(0, At + 12);
    return Fail("Malformed JSON " + What);
  }

 private:
  std::vector<TJson*> Stack;
  std::string PendingKey;

  bool Fail(std::string Msg) {
    if (Error.empty()) Error = std::move(Msg);
    return false;
  }

  // Places V where the parse stands and returns where it went.
  TJson* Place(TJson V) {
    if (Stack.empty()) {
      Root = std::move(V);
      return &Root;
    }
    TJson& Parent = *Stack.back();
    if (Parent.IsObject()) {
      Parent.Add(TKey(PendingKey), std::move(V));
    } else {
      Parent.Push(std::move(V));
    }
    return &Parent.At(Parent.Size() - 1);
  }

  bool Value(TJson V) {
    Place(std::move(V));
    return true;
  }

  bool Open(TJson Container) {
    if (Stack.size() >= MaxDepth)
      return Fail("JSON text nests deeper than " + std::to_string(MaxDepth) + " levels.");
    Stack.push_back(Place(std::move(Container)));
    return true;
  }

  bool Close() {
    Stack.pop_back();
    return true;
  }
};

}  // namespace

TJson ParseJson(std::string_view Text) {
  if (Text.find_first_not_of(" \t\r\n") == std::string_view::npos)
    throw std::runtime_error("Malformed JSON: the text is empty.");
  TBuilder Builder;
  bool Ok = nlohmann::json::sax_parse(Text.begin(), Text.end(), &Builder);
  if (!Ok) throw std::runtime_error(Builder.Error.empty() ? "Malformed JSON." : Builder.Error);
  return std::move(Builder.Root);
}

void WriteJsonString(std::string_view S, std::string& Out) {
  static const char Hex[] = "0123456789ABCDEF";
  Out += '"';
  for (char Ch : S) {
    unsigned char B = static_cast<unsigned char>(Ch);
    switch (B) {
      case '\\': Out += "\\\\"; break;
      case '"': Out += "\\\""; break;
      case 8: Out += "\\b"; break;
      case 9: Out += "\\t"; break;
      case 10: Out += "\\n"; break;
      case 12: Out += "\\f"; break;
      case 13: Out += "\\r"; break;
      default:
        if (B < 32) {
          Out += "\\u00";
          Out += Hex[B >> 4];
          Out += Hex[B & 15];
        } else {
          Out += Ch;
        }
    }
  }
  Out += '"';
}

void WriteJson(const TJson& V, std::string& Out) {
  switch (V.Kind()) {
    case JNull: Out += "null"; break;
    case JFalse: Out += "false"; break;
    case JTrue: Out += "true"; break;
    case JInt: Out += std::to_string(V.Int()); break;
    case JString: WriteJsonString(V.Text(), Out); break;
    case JArray:
      Out += '[';
      for (size_t I = 0; I < V.Size(); ++I) {
        if (I > 0) Out += ", ";
        WriteJson(V.At(I), Out);
      }
      Out += ']';
      break;
    case JObject:
      if (V.Size() == 0) {
        Out += "{}";
        break;
      }
      Out += "{ ";
      for (size_t I = 0; I < V.Size(); ++I) {
        if (I > 0) Out += ", ";
        WriteJsonString(V.KeyAt(I), Out);
        Out += " : ";
        WriteJson(V.At(I), Out);
      }
      Out += " }";
      break;
  }
}

std::string WriteJson(const TJson& V) {
  std::string Out;
  WriteJson(V, Out);
  return Out;
}

std::string HashText(std::string_view S) {
  char Buf[9];
  snprintf(Buf, sizeof Buf, "%08X", KeyHash(S.data(), S.size()));
  return Buf;
}
