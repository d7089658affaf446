// Loading a document from a text file (on disk or in memory) in any of the supported encodings.
#include "xml/text_file_reader.h"
#include "xml/xml_document.h"

bool CXmlDocument::LoadFile(const platform::FileSource& file) {
  TextFileReader reader(m_nFlags | FLAG_READ_FILE);
  bool loaded = reader.Open(file);
  m_strResult = reader.m_strReadResult;
  m_strText.clear();
  if (loaded) {
    reader.m_nBytesToRead = reader.m_nFileSize - reader.m_nFilePos;
    loaded = reader.ReadText(m_strText);
    reader.Close();
    reader.m_nReaderFlags &= ~FLAG_MODE_BITS;
    m_strResult += reader.m_strReadResult;
    m_nFlags = reader.m_nReaderFlags;
  }
  if (loaded) return Parse();
  // The text that a failed read left is not the file's; parsing nothing leaves an empty document
  // whose index no longer describes the previous text.
  m_strText.clear();
  Parse();
  return false;
}
