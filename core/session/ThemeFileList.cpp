// The rules of theme file lists and download names, apart from the folders and stored state
// so that the theme list reader can be exercised on its own.
#include <optional>

#include "core/models/FileListEntity.h"
#include "core/session/ThemeUtil.h"

namespace nvx {

bool ThemeUtil::isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string ThemeUtil::lastPathComponent(std::string_view address) {
  address = address.substr(0, address.find_first_of("?#"));
  if (size_t scheme = address.find("://"); scheme != std::string_view::npos) {
    address.remove_prefix(scheme + 3);
    size_t path = address.find('/');
    if (path == std::string_view::npos) return {};
    address.remove_prefix(path);
  }
  while (!address.empty() && address.back() == '/') address.remove_suffix(1);
  size_t slash = address.rfind('/');
  return std::string(slash == std::string_view::npos ? address : address.substr(slash + 1));
}

// --- the stored theme's file list ---

int64_t ThemeUtil::versionOf(const platform::Json& version) { return platform::json::asInt(version).value_or(0); }

namespace {

// The position of the first entry named like entry in list.
std::optional<size_t> indexOfName(const ThemeUtil::FileList& list, const FileListEntity& entry) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] && list[i]->fileName() == entry.fileName()) return i;
  }
  return std::nullopt;
}

}  // namespace

ThemeUtil::FileList ThemeUtil::needDownloadArrWithDefaultList(const FileList& defaultList, const FileList& netList) {
  FileList fetch;
  for (const auto& entry : netList) {
    if (!entry) continue;
    auto stored = indexOfName(defaultList, *entry);
    if (!stored || versionOf(defaultList[*stored]->fileVersion()) < versionOf(entry->fileVersion())) {
      fetch.push_back(entry);
    }
  }
  return fetch;
}

ThemeUtil::FileList ThemeUtil::mergeFileArrWithDefaultList(const FileList& defaultList, const FileList& netList) {
  FileList merged = defaultList;
  for (const auto& entry : netList) {
    if (!entry) continue;
    auto stored = indexOfName(defaultList, *entry);
    if (!stored) {
      merged.push_back(entry);
    } else if (versionOf(defaultList[*stored]->fileVersion()) < versionOf(entry->fileVersion())) {
      merged[*stored] = entry;
    }
  }
  return merged;
}

}  // namespace nvx
