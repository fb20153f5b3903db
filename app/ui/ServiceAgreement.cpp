#include "app/ui/ServiceAgreement.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Sandbox.h"

namespace nvx {

namespace {

// The resource is small; anything much bigger is not it.
constexpr size_t kMaxBytes = 1024 * 1024;

bool named(const xmlNode* node, const char* name) {
  return node && node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* nextElement(const xmlNode* node) {
  for (; node; node = node->next)
    if (node->type == XML_ELEMENT_NODE) return node;
  return nullptr;
}

// The text and CDATA below the node, in document order. References to entities the document
// declares itself are not followed: a few kilobytes of nested declarations would expand to
// gigabytes of text (predefined and character references are text already).
std::string contentOf(const xmlNode* node) {
  std::string text;
  const xmlNode* n = node->children;
  while (n) {
    if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
      if (n->content) text += reinterpret_cast<const char*>(n->content);
    } else if (n->type == XML_ELEMENT_NODE && n->children) {
      n = n->children;
      continue;
    }
    while (n != node && !n->next) n = n->parent;
    if (n == node) break;
    n = n->next;
  }
  return text;
}

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

}  // namespace

std::optional<std::map<std::string, std::string>> ServiceAgreement::parseStringDictionary(std::string_view xml) {
  if (xml.empty() || xml.size() > kMaxBytes) return std::nullopt;
  std::unique_ptr<xmlDoc, DocFree> doc(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "NVXService.plist",
                                                     nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!doc) return std::nullopt;
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  if (!named(root, "plist")) return std::nullopt;
  const xmlNode* dict = nextElement(root->children);
  if (!named(dict, "dict")) return std::nullopt;
  std::map<std::string, std::string> out;
  for (const xmlNode* key = nextElement(dict->children); key; key = nextElement(key->next)) {
    if (!named(key, "key")) continue;
    const xmlNode* value = nextElement(key->next);
    if (!value) break;
    if (named(value, "string")) out[contentOf(key)] = contentOf(value);
    key = value;
  }
  return out;
}

std::map<std::string, std::string> ServiceAgreement::clauses() {
  auto file = platform::Bundle::main().resource(kResourceName, kResourceType);
  if (!file) return {};
  auto bytes = platform::fs::read(*file);
  if (!bytes) return {};
  return parseStringDictionary(*bytes).value_or(std::map<std::string, std::string>{});
}

std::optional<std::string> ServiceAgreement::clause(std::string_view title) {
  auto all = clauses();
  auto it = all.find(std::string(title));
  if (it == all.end()) return std::nullopt;
  return it->second;
}

}  // namespace nvx
