#include "kestmarch_cli.h"

#include "kv_art.h"
#include "kv_assets.h"
#include "kv_atlas.h"
#include "kv_files.h"
#include "kv_model.h"

#include <map>
#include <stdexcept>

namespace {

struct TRenderArgs {
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options;  // "--woman" maps to ""
  bool Has(const std::string& K) const { return Options.count(K) > 0; }
};

// Options that take a value; any other "--x" is a flag.
bool TakesValue(const std::string& Option) {
  return Option == "-o" || Option == "--robe" || Option == "--size" || Option == "--selected";
}

TRenderArgs Split(const std::vector<std::string>& Args) {
  TRenderArgs Out;
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::string& A = Args[I];
    if (A.size() > 1 && A[0] == '-') {
      if (!TakesValue(A)) {
        Out.Options[A] = "";
        continue;
      }
      if (I + 1 == Args.size()) throw TUsageError(A + " needs a value");
      Out.Options[A] = Args[++I];
    } else {
      Out.Positional.push_back(A);
    }
  }
  if (!Out.Has("-o")) throw TUsageError("render needs -o PNG");
  return Out;
}

int32_t Whole(const std::string& Text, int Base = 10) {
  size_t Used = 0;
  long V = 0;
  try {
    V = std::stol(Text, &Used, Base);
  } catch (const std::exception&) {
    Used = 0;
  }
  if (Used == 0 || Used != Text.size() || V < INT32_MIN || V > INT32_MAX)
    throw TUsageError("not a number: " + Text);
  return int32_t(V);
}

void RenderHero(const TRenderArgs& A) {
  if (A.Positional.size() != 2) throw TUsageError("render hero CID");
  int32_t W = 184, H = 256;
  if (A.Has("--size")) {
    const std::string& Size = A.Options.at("--size");
    size_t X = Size.find('x');
    if (X == std::string::npos) throw TUsageError("--size WxH");
    W = Whole(Size.substr(0, X));
    H = Whole(Size.substr(X + 1));
    if (W < 1 || H < 1 || W > 4096 || H > 4096) throw TUsageError("--size between 1x1 and 4096x4096");
  }
  uint32_t Robe = A.Has("--robe") ? uint32_t(Whole(A.Options.at("--robe"), 16)) & 0xFFFFFF : ASky;
  TArt Art(W, H);
  Hero(Art, Whole(A.Positional[1]), A.Has("--woman"), Robe);
  SaveArtPNG(Art, A.Options.at("-o"));
}

void RenderAtlas(const TRenderArgs& A) {
  if (A.Positional.size() > 2) throw TUsageError("render atlas [SAVE]");
  TGame G;
  if (A.Positional.size() == 2) G.Load(A.Positional[1]);
  OpenArtwork(ProgramRoot() + "assets/art");
  TAtlas Atlas;
  Atlas.Update(G, A.Has("--selected") ? Whole(A.Options.at("--selected")) : 0);
  SaveArtPNG(Atlas.Art, A.Options.at("-o"));
}

// A sheet of the small figures on a parchment ground, with the banner colours below.
void RenderFigures(const TRenderArgs& A) {
  if (A.Positional.size() != 1) throw TUsageError("render figures");
  TArt Art(320, 120);
  Art.Fill(0, 0, Art.W, Art.H, AWhite);
  Tree(Art, 16, 24, false);
  Tree(Art, 36, 24, true);
  Mountain(Art, 70, 30, 14);
  Castle(Art, 110, 26);
  struct {
    bool Spent, Commander, Selected;
  } States[] = {{false, false, false}, {true, false, false}, {false, true, false}, {false, false, true},
                {false, true, true}};
  for (int I = 0; I < 5; ++I)
    Banner(Art, 150 + 30 * I, 26, 40, BannerColor(1 + I), States[I].Spent, States[I].Commander, States[I].Selected);
  for (int I = 0; I < 15; ++I) Art.Fill(8 + 20 * I, 70, 16, 30, BannerColor(I));
  SaveArtPNG(Art, A.Options.at("-o"));
}

}  // namespace

int Render(const std::vector<std::string>& Args) {
  TRenderArgs A = Split(Args);
  const std::string What = A.Positional.empty() ? "" : A.Positional[0];
  if (What == "hero") RenderHero(A);
  else if (What == "atlas") RenderAtlas(A);
  else if (What == "figures") RenderFigures(A);
  else throw TUsageError("render hero|atlas|figures");
  return 0;
}
