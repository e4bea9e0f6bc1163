// PNG files to and from canvases, through libpng. libpng reports errors by
// jumping back to setjmp, so the decoding routine holds no C++ objects that
// would need unwinding; it fills a plain buffer that the caller owns.
#include "kv_art.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>

namespace {

// A sheet larger than this is refused before any pixel memory is taken.
constexpr png_uint_32 MaxSide = 16384;
constexpr uint64_t MaxPixels = uint64_t(1) << 26;

struct TDecoded {
  png_uint_32 W = 0, H = 0;
  uint32_t* Pixels = nullptr;  // malloc'ed, AARRGGBB
  char Error[200] = "";
};

void OnError(png_structp Png, png_const_charp Msg) {
  auto* Out = static_cast<TDecoded*>(png_get_error_ptr(Png));
  snprintf(Out->Error, sizeof Out->Error, "%s", Msg);
  png_longjmp(Png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Decodes an open PNG file into Out; false with Out.Error set on failure.
bool Decode(FILE* File, TDecoded& Out) {
  png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Out, OnError, OnWarning);
  if (!Png) return false;
  png_infop Info = png_create_info_struct(Png);
  png_bytep volatile Row = nullptr;
  png_bytepp volatile RowPointers = nullptr;
  if (!Info || setjmp(png_jmpbuf(Png))) {
    png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr);
    free(Row);
    free(RowPointers);
    free(Out.Pixels);
    Out.Pixels = nullptr;
    return false;
  }
  png_init_io(Png, File);
  png_set_user_limits(Png, MaxSide, MaxSide);
  png_read_info(Png, Info);
  Out.W = png_get_image_width(Png, Info);
  Out.H = png_get_image_height(Png, Info);
  if (uint64_t(Out.W) * Out.H > MaxPixels) png_error(Png, "image too large");

  // Every colour type becomes 8-bit RGBA; 16-bit channels keep their high byte.
  png_set_expand(Png);
  png_set_strip_16(Png);
  png_set_gray_to_rgb(Png);
  png_set_add_alpha(Png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(Png);
  png_read_update_info(Png, Info);

  if (Out.W > 0 && Out.H > 0) {
    Out.Pixels = static_cast<uint32_t*>(malloc(size_t(Out.W) * Out.H * 4));
    Row = static_cast<png_bytep>(malloc(size_t(Out.W) * Out.H * 4));
    RowPointers = static_cast<png_bytepp>(malloc(sizeof(png_bytep) * Out.H));
    if (!Out.Pixels || !Row || !RowPointers) png_error(Png, "out of memory");
    // Interlaced images need every row present at once, so the whole image is read into Row.
    for (png_uint_32 Y = 0; Y < Out.H; ++Y) RowPointers[Y] = Row + size_t(Y) * Out.W * 4;
    png_read_image(Png, RowPointers);
    png_read_end(Png, nullptr);
    for (size_t I = 0; I < size_t(Out.W) * Out.H; ++I) {
      const png_byte* P = Row + I * 4;
      Out.Pixels[I] = uint32_t(P[3]) << 24 | uint32_t(P[0]) << 16 | uint32_t(P[1]) << 8 | P[2];
    }
  }
  png_destroy_read_struct(&Png, &Info, nullptr);
  free(Row);
  free(RowPointers);
  return true;
}

}  // namespace

std::unique_ptr<TArt> LoadArtPNG(const std::string& FileName) {
  struct stat St;
  if (stat(FileName.c_str(), &St) != 0) return nullptr;
  FILE* File = fopen(FileName.c_str(), "rb");
  if (!File) throw std::runtime_error("Unable to open artwork: " + FileName);
  // The signature and the header chunk, read here so that an empty or huge
  // image is reported as such before libpng allocates anything.
  png_byte Head[24];
  bool IsPng = fread(Head, 1, 24, File) == 24 && png_sig_cmp(Head, 0, 8) == 0 && memcmp(Head + 12, "IHDR", 4) == 0;
  if (!IsPng) {
    fclose(File);
    throw std::runtime_error("Artwork is not a PNG image: " + FileName);
  }
  const png_uint_32 HeadW = png_get_uint_32(Head + 16), HeadH = png_get_uint_32(Head + 20);
  if (HeadW < 1 || HeadH < 1) {
    fclose(File);
    throw std::runtime_error("Empty artwork: " + FileName);
  }
  if (HeadW > MaxSide || HeadH > MaxSide || uint64_t(HeadW) * HeadH > MaxPixels) {
    fclose(File);
    throw std::runtime_error("Artwork is too large: " + FileName + " (" + std::to_string(HeadW) + " x " +
                             std::to_string(HeadH) + ")");
  }
  rewind(File);
  TDecoded Out;
  bool Ok = Decode(File, Out);
  fclose(File);
  if (!Ok) throw std::runtime_error("Damaged artwork: " + FileName + " (" + Out.Error + ")");
  if (Out.W < 1 || Out.H < 1) {
    free(Out.Pixels);
    throw std::runtime_error("Empty artwork: " + FileName);
  }
  auto Art = std::make_unique<TArt>(int32_t(Out.W), int32_t(Out.H));
  memcpy(Art->Pixels.data(), Out.Pixels, size_t(Out.W) * Out.H * 4);
  free(Out.Pixels);
  return Art;
}

void SaveArtPNG(const TArt& A, const std::string& FileName) {
  png_image Image;
  memset(&Image, 0, sizeof Image);
  Image.version = PNG_IMAGE_VERSION;
  Image.width = png_uint_32(A.W);
  Image.height = png_uint_32(A.H);
  Image.format = PNG_FORMAT_BGRA;  // the bytes of an AARRGGBB pixel in memory order
  if (!png_image_write_to_file(&Image, FileName.c_str(), 0, A.Pixels.data(), A.W * 4, nullptr))
    throw std::runtime_error("Unable to write " + FileName + ": " + Image.message);
}
