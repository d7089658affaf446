// The faces one font of the Linux text seam draws with: the face it asked for, and for characters
// that face lacks, the faces fontconfig offers for them, all at the same size. This is how every
// script gets real glyphs from the fonts the machine has.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include <cstddef>
#include <string>
#include <vector>

namespace platform::posix {

class FaceSet {
 public:
  // Takes `primary`, already sized to `ppemX` by `ppemY` (26.6 pixels), and `family`, the name it
  // was asked for (fontconfig orders the other faces by their likeness to it).
  FaceSet(FT_Library library, FT_Face primary, std::string family, FT_F26Dot6 ppemX, FT_F26Dot6 ppemY);
  ~FaceSet();
  FaceSet(const FaceSet&) = delete;
  FaceSet& operator=(const FaceSet&) = delete;

  // The face that draws `codePoint`: 0 (the primary) when it has the character or when no face of
  // the machine has it (the primary's missing-glyph shape is then drawn); opened on first need.
  size_t FaceFor(char32_t codePoint);
  FT_Face Face(size_t index) const { return m_faces[index].face; }
  hb_font_t* ShapingFont(size_t index) const { return m_faces[index].font; }

 private:
  struct Sized {
    FT_Face face = nullptr;
    hb_font_t* font = nullptr;
    std::string file;
    int index = 0;
  };
  size_t OpenFallback(char32_t codePoint);
  bool Add(FT_Face face, std::string file, int index);

  FT_Library m_library;
  std::string m_family;
  FT_F26Dot6 m_ppemX, m_ppemY;
  std::vector<Sized> m_faces;
  std::vector<char32_t> m_nowhere;  // characters no face of the machine has
};

}  // namespace platform::posix
