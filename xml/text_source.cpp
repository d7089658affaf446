// Reading a file on disk or in memory.
#include "xml/text_source.h"

#include <cstring>

bool TextSource::Open(const platform::FileSource& file) {
  if (!file.IsInMemory()) return m_file.Open(file.Path());
  m_bytes = file.Bytes();
  m_position = 0;
  if (!m_bytes) platform::MissingFileError();
  return m_bytes.has_value();
}

int64_t TextSource::Size() {
  if (!m_bytes) return m_file.Size();
  m_position = 0;
  return static_cast<int64_t>(m_bytes->size());
}

bool TextSource::Seek(int64_t offset) {
  if (!m_bytes) return m_file.Seek(offset);
  if (offset < 0 || static_cast<uint64_t>(offset) > m_bytes->size()) return false;
  m_position = static_cast<size_t>(offset);
  return true;
}

bool TextSource::Read(void* buffer, size_t count) {
  if (!m_bytes) return m_file.Read(buffer, count);
  if (count > m_bytes->size() - m_position) return false;
  std::memcpy(buffer, m_bytes->data() + m_position, count);
  m_position += count;
  return true;
}

bool TextSource::Close() {
  if (!m_bytes) return m_file.Close();
  m_bytes.reset();
  return true;
}
