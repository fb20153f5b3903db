// A list that grows a page of 20 rows at a time, as the list screens load their pages: the cost
// of loading n pages, with each page inserted (only its rows are built) and, for comparison, with
// the whole table reloaded after each page. Time per page stays flat when loading is linear.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/ui/TableView.h"

namespace {

using namespace platform::ui;

constexpr int kPage = 20;

class Pages : public TableViewDataSource {
 public:
  std::vector<std::string> titles;
  int numberOfRows(TableView&, int) override { return static_cast<int>(titles.size()); }
  std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath p) override {
    auto cell = TableViewCell::create(TableViewCellStyle::Subtitle);
    cell->textLabel()->setText(titles[static_cast<size_t>(p.row)]);
    cell->detailTextLabel()->setText("2014-05-06 10:11:12");
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    return cell;
  }
};

void loadPages(benchmark::State& state, bool insert) {
  const int pages = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto source = std::make_shared<Pages>();
    auto table = TableView::create({0, 64, 320, 504});
    table->setDataSource(source);
    table->reloadData();
    for (int page = 0; page < pages; ++page) {
      std::vector<IndexPath> added;
      for (int i = 0; i < kPage; ++i) {
        added.push_back(IndexPath{0, static_cast<int>(source->titles.size())});
        source->titles.push_back("记录 " + std::to_string(source->titles.size()));
      }
      if (insert) {
        table->insertRows(added, TableViewRowAnimation::None);
      } else {
        table->reloadData();
      }
    }
    benchmark::DoNotOptimize(table->contentSize());
  }
  // Seconds per page.
  state.counters["per_page"] = benchmark::Counter(
      pages, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PagesInserted(benchmark::State& state) { loadPages(state, true); }
void BM_PagesReloaded(benchmark::State& state) { loadPages(state, false); }
BENCHMARK(BM_PagesInserted)->ArgName("pages")->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagesReloaded)->ArgName("pages")->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
