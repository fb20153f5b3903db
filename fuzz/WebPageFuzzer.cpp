// Fuzzes the reading of a page shown in a web view from arbitrary HTML: the title, the base
// address, the links and the visible text. The page is read twice, at a real address (links are
// resolved against it or the page's <base>) and as text given without one (links stay as
// written). Whatever the bytes, the page keeps its address and every text it reports is white
// space collapsed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ui/WebView.h"

namespace {

using platform::ui::WebView;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "web_page_fuzzer: %s\n", what.c_str());
  std::abort();
}

bool collapsed(const std::string& text) {
  if (text.find_first_of("\t\n\r\f") != std::string::npos) return false;
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return false;
  return text.find("  ") == std::string::npos;
}

void check(const WebView::Page& page, std::string_view url) {
  if (page.url != url) fail("the page lost its address");
  if (!collapsed(page.title)) fail("title not collapsed");
  if (!collapsed(page.text)) fail("text not collapsed");
  for (const auto& link : page.links) {
    if (!collapsed(link.text)) fail("link text not collapsed");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input's own buffer: a read past the page is caught.
  const std::string_view html(reinterpret_cast<const char*>(data), size);

  constexpr std::string_view kUrl = "https://m.nuvexa.test/pages/help/index.html?from=app#top";
  check(WebView::parsePage(html, kUrl), kUrl);

  const auto blank = WebView::parsePage(html, WebView::kBlankUrl);
  check(blank, WebView::kBlankUrl);
  return 0;
}
