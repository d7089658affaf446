// Fallback faces through fontconfig's sorted list for a character: the first face in the order of
// likeness to the asked-for family that covers the character.
#include "platform/posix/face_set.h"

#include <fontconfig/fontconfig.h>
#include <hb-ft.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace platform::posix {
namespace {

constexpr size_t kPrimary = 0;

struct FcDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
  void operator()(FcCharSet* c) const { FcCharSetDestroy(c); }
};
template <typename T>
using FcPtr = std::unique_ptr<T, FcDeleter>;

}  // namespace

FaceSet::FaceSet(FT_Library library, FT_Face primary, std::string family, FT_F26Dot6 ppemX, FT_F26Dot6 ppemY)
    : m_library(library), m_family(std::move(family)), m_ppemX(ppemX), m_ppemY(ppemY) {
  Add(primary, {}, 0);
}

FaceSet::~FaceSet() {
  for (Sized& sized : m_faces) {
    hb_font_destroy(sized.font);
    FT_Done_Face(sized.face);
  }
}

// The shaping font reads the face's outlines and metrics as the drawing loads them; it holds a
// reference of its own to the face. A face that cannot be sized is released.
bool FaceSet::Add(FT_Face face, std::string file, int index) {
  if (m_faces.size() > kPrimary && FT_Set_Char_Size(face, m_ppemX, m_ppemY, 72, 72) != 0) {
    FT_Done_Face(face);
    return false;
  }
  hb_font_t* font = hb_ft_font_create_referenced(face);
  hb_ft_font_set_load_flags(font, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT);
  m_faces.push_back(Sized{face, font, std::move(file), index});
  return true;
}

size_t FaceSet::FaceFor(char32_t codePoint) {
  for (size_t i = 0; i < m_faces.size(); ++i)
    if (FT_Get_Char_Index(m_faces[i].face, codePoint) != 0) return i;
  if (std::find(m_nowhere.begin(), m_nowhere.end(), codePoint) != m_nowhere.end()) return kPrimary;
  const size_t opened = OpenFallback(codePoint);
  if (opened == kPrimary) m_nowhere.push_back(codePoint);
  return opened;
}

size_t FaceSet::OpenFallback(char32_t codePoint) {
  FcPtr<FcPattern> pattern(FcPatternCreate());
  FcPtr<FcCharSet> wanted(FcCharSetCreate());
  FcCharSetAddChar(wanted.get(), codePoint);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(m_family.c_str()));
  FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FcPtr<FcFontSet> sorted(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
  if (!sorted) return kPrimary;
  for (int i = 0; i < sorted->nfont; ++i) {
    FcCharSet* covers = nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &covers) != FcResultMatch ||
        !FcCharSetHasChar(covers, codePoint) ||
        FcPatternGetString(sorted->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
      continue;
    FcPatternGetInteger(sorted->fonts[i], FC_INDEX, 0, &index);
    const std::string path = reinterpret_cast<const char*>(file);
    // A face already open (met again for a character its table lacks after all) is not opened twice.
    if (std::any_of(m_faces.begin(), m_faces.end(),
                    [&](const Sized& s) { return s.file == path && s.index == index; }))
      continue;
    FT_Face face = nullptr;
    if (FT_New_Face(m_library, path.c_str(), index, &face) != 0) continue;
    if (FT_Get_Char_Index(face, codePoint) == 0) {
      FT_Done_Face(face);
      continue;
    }
    if (Add(face, path, index)) return m_faces.size() - 1;
  }
  return kPrimary;
}

}  // namespace platform::posix
