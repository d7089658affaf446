// Where a file the program reads whole comes from: from disk by its path, or already in memory (a
// file packed inside the executable). The readers of the configuration, the texts and the skin
// take either, so that both give the same result by the same rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class FileSource {
 public:
  // A file on disk, read when it is needed.
  FileSource(std::u16string path) : m_path(std::move(path)) {}
  // A file held in memory; nullopt stands for a file that is missing.
  static FileSource InMemory(std::optional<std::string_view> bytes) {
    FileSource file(u"");
    file.m_inMemory = true;
    file.m_bytes = bytes;
    return file;
  }

  bool IsInMemory() const { return m_inMemory; }
  // The path of a file on disk.
  const std::u16string& Path() const { return m_path; }
  // The content of a file in memory; nullopt when it is missing.
  std::optional<std::string_view> Bytes() const { return m_bytes; }

 private:
  std::u16string m_path;
  bool m_inMemory = false;
  std::optional<std::string_view> m_bytes;
};

// A set of files by name: a folder, or the files packed inside the executable.
class IFileSet {
 public:
  virtual FileSource File(std::u16string_view name) const = 0;

 protected:
  ~IFileSet() = default;
};

// The files of a folder: `folder` + "\" + name, as the installer builds its paths (the Linux seams
// read "\" as "/").
class FolderFiles final : public IFileSet {
 public:
  explicit FolderFiles(std::u16string folder) : m_folder(std::move(folder)) {}
  FileSource File(std::u16string_view name) const override {
    return FileSource(m_folder + u'\\' + std::u16string(name));
  }

 private:
  std::u16string m_folder;
};

}  // namespace platform
