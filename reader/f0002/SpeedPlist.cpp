#include "reader/f0002/SpeedPlist.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

namespace nvx::reader {

namespace {

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

bool named(const xmlNode* node, const char* name) {
  return node && node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* firstElement(const xmlNode* node) {
  for (const xmlNode* n = node ? node->children : nullptr; n; n = n->next)
    if (n->type == XML_ELEMENT_NODE) return n;
  return nullptr;
}

// The element's own text and CDATA. References to entities the file declares itself are not
// followed: a few kilobytes named a few thousand times would expand to megabytes of text
// (predefined and character references are text already).
std::string textOf(const xmlNode* element) {
  std::string text;
  for (const xmlNode* n = element->children; n; n = n->next) {
    if ((n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) && n->content)
      text += reinterpret_cast<const char*>(n->content);
  }
  return text;
}

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

}  // namespace

platform::Path SpeedPlist::path() { return platform::Sandbox::documents() / std::string(kFileName); }

std::string SpeedPlist::serialize(const std::string& text) {
  std::unique_ptr<xmlDoc, DocFree> doc(xmlNewDoc(X("1.0")));
  xmlNode* root = xmlNewNode(nullptr, X("plist"));
  xmlDocSetRootElement(doc.get(), root);
  xmlNewProp(root, X("version"), X("1.0"));
  xmlNode* array = xmlNewChild(root, nullptr, X("array"), nullptr);
  xmlNewTextChild(array, nullptr, X("string"), X(text.c_str()));  // escapes &, < and >
  xmlChar* buffer = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc.get(), &buffer, &size, "UTF-8", 1);
  std::string out(reinterpret_cast<const char*>(buffer), buffer ? static_cast<size_t>(size) : 0);
  xmlFree(buffer);
  return out;
}

std::optional<std::string> SpeedPlist::firstString(std::string_view xml) {
  if (xml.empty() || xml.size() > 64 * 1024) return std::nullopt;
  // No network, no DTD loading; entities are left as references (textOf skips them).
  std::unique_ptr<xmlDoc, DocFree> doc(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "speed.plist", nullptr,
                                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!doc) return std::nullopt;
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  if (!named(root, "plist")) return std::nullopt;
  const xmlNode* array = firstElement(root);
  if (!named(array, "array")) return std::nullopt;
  const xmlNode* entry = firstElement(array);
  if (!named(entry, "string")) return std::nullopt;
  return textOf(entry);
}

bool SpeedPlist::write(const platform::Path& file, const std::string& text) {
  return platform::fs::writeAtomic(file, serialize(text));
}

std::optional<std::string> SpeedPlist::read(const platform::Path& file) {
  auto bytes = platform::fs::read(file);
  if (!bytes) return std::nullopt;
  return firstString(*bytes);
}

}  // namespace nvx::reader
