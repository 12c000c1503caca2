#include "path_text.h"

namespace bw {

std::string FolderOf(std::string_view path) {
  const std::size_t last = path.find_last_of("\\:");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string FileNameOf(std::string_view path) { return std::string(path.substr(FolderOf(path).size())); }

std::string WithoutExtension(std::string_view path) {
  const std::size_t folderLength = FolderOf(path).size();
  const std::size_t dot = path.find_last_of('.');
  return std::string(dot == std::string_view::npos || dot < folderLength ? path : path.substr(0, dot));
}

std::string WithTrailingBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace bw
