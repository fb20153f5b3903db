#include "platform/ui/WebView.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/HttpWebEngine.h"

namespace platform::ui {

namespace {

// The engine installed for every web view of the process.
struct DefaultWebEngine {
  std::shared_ptr<WebEngine> engine;
};

// Bigger pages are read only this far (the engines stop long before).
constexpr size_t kMaxHtmlBytes = 32u * 1024u * 1024u;
constexpr size_t kDescribedTextChars = 120;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Strips ASCII white space at both ends and collapses every run inside to one space.
std::string collapseSpaces(std::string_view text) {
  std::string out;
  bool gap = false;
  for (char c : text) {
    if (isSpace(c)) {
      gap = !out.empty();
      continue;
    }
    if (gap) out += ' ';
    gap = false;
    out += c;
  }
  return out;
}

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

const char* nameOf(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

bool isElement(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && node->name && std::strcmp(nameOf(node), name) == 0;
}

bool isAnyElement(const xmlNode* node, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    if (isElement(node, n)) return true;
  }
  return false;
}

std::optional<std::string> attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (!value) return std::nullopt;
  std::string out(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return out;
}

std::string contentOf(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string out = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return out;
}

// The address an href leads to from a page at base. Spaces and characters outside ASCII are
// escaped as UTF-8 first, as browsers do; what cannot be resolved stays as written.
std::string resolve(std::string_view href, std::string_view base) {
  std::string written(trimSpaces(href));
  if (base.empty() || base == WebView::kBlankUrl) return written;
  xmlChar* escaped = xmlURIEscapeStr(reinterpret_cast<const xmlChar*>(written.c_str()),
                                     reinterpret_cast<const xmlChar*>(":/?#[]@!$&'()*+,;=%~"));
  std::string baseText(base);
  xmlChar* built = xmlBuildURI(escaped ? escaped : reinterpret_cast<const xmlChar*>(written.c_str()),
                               reinterpret_cast<const xmlChar*>(baseText.c_str()));
  std::string out = built ? reinterpret_cast<const char*>(built) : written;
  xmlFree(built);
  xmlFree(escaped);
  return out;
}

// Visits every node in document order without recursion (pages may nest deeply).
template <class F>
void walk(xmlNode* root, F&& visit) {
  xmlNode* node = root;
  while (node) {
    bool descend = visit(node);
    if (descend && node->children) {
      node = node->children;
      continue;
    }
    while (node && node != root && !node->next) node = node->parent;
    if (!node || node == root) break;
    node = node->next;
  }
}

bool hidesText(const xmlNode* node) {
  return isAnyElement(node, {"script", "style", "head", "title", "template", "noscript"});
}

bool breaksText(const xmlNode* node) {
  return isAnyElement(node, {"br", "p", "div", "li", "tr", "td", "th", "h1", "h2", "h3", "h4", "h5", "h6", "ul",
                             "ol", "table", "section", "article", "header", "footer", "blockquote", "pre", "dt",
                             "dd", "hr"});
}

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

}  // namespace

WebView::Page WebView::parsePage(std::string_view html, std::string_view url) {
  Page page;
  page.url = std::string(url);
  if (html.empty()) return page;
  if (html.size() > kMaxHtmlBytes) html = html.substr(0, kMaxHtmlBytes);
  std::unique_ptr<xmlDoc, DocFree> doc(htmlReadMemory(
      html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
      HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
  if (!doc) return page;
  // The document node heads the walk, so that nodes beside the root element count too.
  xmlNode* root = reinterpret_cast<xmlNode*>(doc.get());

  std::string base = page.url;
  bool titleFound = false;
  bool baseFound = false;
  walk(root, [&](xmlNode* node) {
    if (!titleFound && isElement(node, "title")) {
      page.title = collapseSpaces(contentOf(node));
      titleFound = true;
    } else if (!baseFound && isElement(node, "base")) {
      if (auto href = attribute(node, "href")) {
        base = resolve(*href, page.url);
        baseFound = true;
      }
    }
    return true;
  });

  std::string text;
  walk(root, [&](xmlNode* node) {
    if (hidesText(node)) return false;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content) text += reinterpret_cast<const char*>(node->content);
    } else if (breaksText(node)) {
      text += ' ';
    }
    if (isAnyElement(node, {"a", "area"})) {
      if (auto href = attribute(node, "href")) page.links.push_back(WebLink{collapseSpaces(contentOf(node)), resolve(*href, base)});
    }
    return true;
  });
  page.text = collapseSpaces(text);
  return page;
}

WebView::WebView(Rect frame) : View(frame) {}

std::shared_ptr<WebView> WebView::create(Rect frame) { return std::make_shared<WebView>(frame); }

WebView::~WebView() { cancelPending(); }

std::shared_ptr<WebEngine> WebView::engine() const { return engine_ ? engine_ : defaultEngine(); }

void WebView::setDefaultEngine(std::shared_ptr<WebEngine> engine) {
  Process::current().shared<DefaultWebEngine>().engine = std::move(engine);
}

std::shared_ptr<WebEngine> WebView::defaultEngine() {
  auto& slot = Process::current().shared<DefaultWebEngine>();
  if (!slot.engine) slot.engine = std::make_shared<HttpWebEngine>();
  return slot.engine;
}

void WebView::loadRequest(const WebRequest& request) {
  startLoad(Entry{request, std::nullopt, {}}, WebNavigationType::Other, std::nullopt);
}

void WebView::loadHTMLString(std::string html, std::string baseUrl) {
  if (baseUrl.empty()) baseUrl = std::string(kBlankUrl);
  startLoad(Entry{WebRequest{std::move(baseUrl)}, std::move(html), {}}, WebNavigationType::Other, std::nullopt);
}

void WebView::stopLoading() { cancelPending(); }

void WebView::reload() {
  if (index_ >= 0) {
    Entry again = history_[static_cast<size_t>(index_)];
    startLoad(std::move(again), WebNavigationType::Reload, index_);
  } else if (lastStarted_) {
    Entry again = *lastStarted_;
    startLoad(std::move(again), WebNavigationType::Reload, std::nullopt);
  }
}

void WebView::goBack() {
  if (!canGoBack()) return;
  Entry entry = history_[static_cast<size_t>(index_ - 1)];
  startLoad(std::move(entry), WebNavigationType::BackForward, index_ - 1);
}

void WebView::goForward() {
  if (!canGoForward()) return;
  Entry entry = history_[static_cast<size_t>(index_ + 1)];
  startLoad(std::move(entry), WebNavigationType::BackForward, index_ + 1);
}

std::optional<WebRequest> WebView::request() const {
  if (index_ >= 0) return history_[static_cast<size_t>(index_)].request;
  if (lastStarted_) return lastStarted_->request;
  return std::nullopt;
}

const std::string& WebView::pageUrl() const {
  static const std::string none;
  return index_ >= 0 ? history_[static_cast<size_t>(index_)].page.url : none;
}

const std::string& WebView::pageTitle() const {
  static const std::string none;
  return index_ >= 0 ? history_[static_cast<size_t>(index_)].page.title : none;
}

const std::vector<WebLink>& WebView::links() const {
  static const std::vector<WebLink> none;
  return index_ >= 0 ? history_[static_cast<size_t>(index_)].page.links : none;
}

const std::string& WebView::pageText() const {
  static const std::string none;
  return index_ >= 0 ? history_[static_cast<size_t>(index_)].page.text : none;
}

std::string WebView::stringByEvaluatingJavaScriptFromString(std::string_view script) const {
  std::string_view s = trimSpaces(script);
  if (!s.empty() && s.back() == ';') s = trimSpaces(s.substr(0, s.size() - 1));
  if (s == "document.title") return pageTitle();
  return {};
}

bool WebView::followLink(const WebLink& link) {
  const auto& shown = links();
  if (std::find(shown.begin(), shown.end(), link) == shown.end()) return false;
  startLoad(Entry{WebRequest{link.href}, std::nullopt, {}}, WebNavigationType::LinkClicked, std::nullopt);
  return true;
}

void WebView::startLoad(Entry entry, WebNavigationType type, std::optional<int> historyIndex) {
  auto keep = weak_from_this().lock();   // a delegate may let go of the view while asked
  if (auto d = delegate_.lock()) {
    if (!d->webViewShouldStartLoad(*this, entry.request, type)) return;
  }
  cancelPending();
  const uint64_t id = nextLoadId_++;
  entry.page = {};
  lastStarted_ = entry;
  pending_ = Load{id, std::move(entry), type, historyIndex, {}};
  std::weak_ptr<View> weak = weak_from_this();
  dispatchMain([weak, id] {
    if (auto self = std::static_pointer_cast<WebView>(weak.lock())) self->beginLoad(id);
  });
}

void WebView::beginLoad(uint64_t id) {
  if (!pending_ || pending_->id != id) return;
  auto keep = weak_from_this().lock();
  if (auto d = delegate_.lock()) d->webViewDidStartLoad(*this);
  if (!pending_ || pending_->id != id) return;   // the delegate stopped or replaced it

  std::weak_ptr<View> weak = weak_from_this();
  if (pending_->entry.html) {
    dispatchMain([weak, id] {
      if (auto self = std::static_pointer_cast<WebView>(weak.lock())) self->finishLoad(id, WebResponse{std::nullopt, 200, {}});
    });
    return;
  }
  WebEngine::Cancel cancel = engine()->load(pending_->entry.request, [weak, id](WebResponse response) {
    if (auto self = std::static_pointer_cast<WebView>(weak.lock())) self->finishLoad(id, std::move(response));
  });
  if (pending_ && pending_->id == id) {
    pending_->cancel = std::move(cancel);
  } else if (cancel) {
    cancel();
  }
}

void WebView::finishLoad(uint64_t id, WebResponse response) {
  if (!pending_ || pending_->id != id) return;
  Load load = std::move(*pending_);
  pending_.reset();
  auto keep = weak_from_this().lock();
  auto d = delegate_.lock();
  if (response.error) {
    if (d) d->webViewDidFailLoad(*this, *response.error);
    return;
  }
  const std::string& html = load.entry.html ? *load.entry.html : response.body;
  load.entry.page = parsePage(html, load.entry.request.url);
  if (load.historyIndex && *load.historyIndex >= 0 && *load.historyIndex < static_cast<int>(history_.size())) {
    index_ = *load.historyIndex;
    history_[static_cast<size_t>(index_)] = std::move(load.entry);
  } else {
    history_.resize(static_cast<size_t>(index_ + 1));
    history_.push_back(std::move(load.entry));
    index_ = static_cast<int>(history_.size()) - 1;
  }
  if (d) d->webViewDidFinishLoad(*this);
}

void WebView::cancelPending() {
  if (!pending_) return;
  WebEngine::Cancel cancel = std::move(pending_->cancel);
  pending_.reset();
  if (cancel) cancel();
}

void WebView::describeExtras(std::string& out) const {
  if (hasPage()) {
    out += " url=" + quote(pageUrl());
    if (!pageTitle().empty()) out += " title=" + quote(pageTitle());
    if (!links().empty()) {
      out += " links=";
      for (size_t i = 0; i < links().size(); ++i) {
        if (i > 0) out += "|";
        out += quote(links()[i].text);
      }
    }
    if (!pageText().empty()) {
      // Cut at a character boundary.
      const std::string& text = pageText();
      size_t chars = 0;
      size_t cut = 0;
      while (cut < text.size() && chars < kDescribedTextChars) {
        ++cut;
        while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) ++cut;
        ++chars;
      }
      out += " text=" + quote(cut < text.size() ? text.substr(0, cut) + "…" : text);
    }
  }
  if (isLoading()) out += " [loading]";
}

}  // namespace platform::ui
