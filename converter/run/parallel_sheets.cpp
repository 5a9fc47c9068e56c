// Sheets converted at the same time. Each worker thread has its own copy of the settings
// and coordinates, its own run context, point buffer and sheet file; the calling thread
// keeps the run's host (a window's labels and message boxes belong to its thread), hands
// on what the workers report, and merges their results in sheet order.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "converter/fgd/fgd_dispatch.h"
#include "converter/run/conversion_run.h"
#include "converter/run/help_board.h"

namespace run {

namespace {

using sheet::ProgressLine;
using Reports = std::vector<std::pair<std::string, bool>>;
constexpr std::size_t kLines = static_cast<std::size_t>(ProgressLine::File) + 1;
constexpr auto kDeliveryPeriod = std::chrono::milliseconds(25);

// What the workers say, kept until the calling thread passes it to the run's host.
class Relay {
 public:
  Relay(int workers, int sheets)
      : counters_(static_cast<std::size_t>(workers), 0), stages_(static_cast<std::size_t>(sheets)),
        finished_(static_cast<std::size_t>(sheets), false) {}

  void progress(int worker, ProgressLine line, const std::string& text) {
    std::lock_guard lock(mutex_);
    if (line == ProgressLine::Counter) {
      // The counter line shows the files visited by all workers together.
      try {
        counters_[static_cast<std::size_t>(worker)] = std::stoll(text);
        counterChanged_ = true;
      } catch (const std::exception&) {
      }
      return;
    }
    lines_[static_cast<std::size_t>(line)] = {text, true};
  }
  void stage(int sheet, const std::string& sheetFile, const std::string& stage) {
    std::lock_guard lock(mutex_);
    stages_[static_cast<std::size_t>(sheet)].emplace_back(sheetFile, stage);
  }
  void finished(int sheet) {
    std::lock_guard lock(mutex_);
    finished_[static_cast<std::size_t>(sheet)] = true;
  }
  void message(const std::string& caption, const std::string& text) {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(caption, text);
  }

  // On the calling thread.
  void deliver(sheet::RunHost& host) {
    std::vector<std::pair<ProgressLine, std::string>> lines;
    std::vector<std::pair<std::string, std::string>> stages, messages;
    std::int64_t visited = 0;
    bool counter;
    {
      std::lock_guard lock(mutex_);
      for (std::size_t i = 0; i < kLines; ++i) {
        if (!lines_[i].second) continue;
        lines.emplace_back(static_cast<ProgressLine>(i), lines_[i].first);
        lines_[i].second = false;
      }
      // Stages go out in sheet order, as one sheet after the other logs them: the first
      // unfinished sheet streams, later ones wait for it.
      for (; logged_ < stages_.size(); ++logged_, sent_ = 0) {
        const auto& lines = stages_[logged_];
        stages.insert(stages.end(), lines.begin() + static_cast<std::ptrdiff_t>(sent_), lines.end());
        sent_ = lines.size();
        if (!finished_[logged_]) break;
      }
      messages.swap(messages_);
      counter = std::exchange(counterChanged_, false);
      for (auto c : counters_) visited += c;
    }
    for (const auto& [line, text] : lines) host.progress(line, text);
    if (counter) host.progress(ProgressLine::Counter, std::to_string(visited));
    for (const auto& [file, stage] : stages) host.sheetStage(file, stage);
    for (const auto& [caption, text] : messages) host.message(caption, text);
  }

  // On the calling thread: until a worker ends or the period is over.
  void wait(std::chrono::milliseconds period) {
    std::unique_lock lock(mutex_);
    ended_.wait_for(lock, period, [&] { return workerEnded_; });
    workerEnded_ = false;
  }
  void workerEnded() {
    {
      std::lock_guard lock(mutex_);
      workerEnded_ = true;
    }
    ended_.notify_one();
  }

  std::atomic<bool> stop{false};  // an abort, or a sheet that ended the run

 private:
  std::mutex mutex_;
  std::condition_variable ended_;
  bool workerEnded_ = false;
  std::vector<std::int64_t> counters_;
  std::pair<std::string, bool> lines_[kLines];
  bool counterChanged_ = false;
  std::vector<std::vector<std::pair<std::string, std::string>>> stages_;  // by sheet
  std::vector<bool> finished_;
  std::size_t logged_ = 0, sent_ = 0;  // first sheet not wholly logged, its lines logged
  std::vector<std::pair<std::string, std::string>> messages_;
};

class WorkerHost : public sheet::RunHost {
 public:
  WorkerHost(Relay& relay, int worker) : relay_(relay), worker_(worker) {}
  void message(const std::string& caption, const std::string& text) override { relay_.message(caption, text); }
  bool ask(const std::string&, const std::string&, platform::Buttons) override { return false; }
  void setClipboard(const std::string&) override {}
  bool abortRequested() const override { return relay_.stop; }
  void progress(ProgressLine line, const std::string& text) override { relay_.progress(worker_, line, text); }
  void sheetStage(const std::string& sheetFile, const std::string& stage) override {
    relay_.stage(sheet, sheetFile, stage);
  }
  int sheet = 0;  // the worker's current sheet

 private:
  Relay& relay_;
  int worker_;
};

struct Worker {
  Worker(const sheet::RunContext& run, Relay& relay, int index)
      : settings(run.settings), coordinates(run.coordinates), host(relay, index),
        ctx(settings, run.values, coordinates, host) {
    static_cast<sheet::RunLayout&>(ctx) = run;
    ctx.anomalyMessage = run.anomalyMessage;
    ctx.sheetLegendInterval = run.sheetLegendInterval;
    ctx.sheetLegendBottom = run.sheetLegendBottom;
    ctx.sheetLegendDecimals = run.sheetLegendDecimals;
    ctx.reportLog = &reports;
    ctx.listedFiles = run.listedFiles;  // the counting pass listed every folder already
  }
  settings::DrawingSettings settings;
  geo::PlaneCoordinates coordinates;
  WorkerHost host;
  sheet::RunContext ctx;
  Reports reports;
  bool failed = false;
  std::exception_ptr error;
};

// What a sheet leaves for the run: its problems and, from the automatic legend, its cells.
struct SheetResult {
  bool started = false, completed = false;
  std::optional<dxfio::FileSink::Handover> file;  // complete, not yet under its name
  Reports reports;
  std::string intervalCell, bottomCell;
  geo::SheetLegend legend{1, 0, 0};
};

}  // namespace

bool ConversionRun::sheetsInParallel(int workers) {
  const auto& v = ctx_.values;
  const int sheets = v.sheetRows * v.sheetColumns;
  Relay relay(workers, sheets);
  std::vector<std::unique_ptr<Worker>> crew;
  for (int w = 0; w < workers; ++w) {
    crew.push_back(std::make_unique<Worker>(ctx_, relay, w));
  }
  // The run's own buffer goes to the first worker and comes back after the sheets; the
  // others fill theirs in their own thread.
  const std::size_t bufferSize = ctx_.pointBuffer.size();
  crew[0]->ctx.pointBuffer = std::move(ctx_.pointBuffer);

  std::vector<SheetResult> results(static_cast<std::size_t>(sheets));
  std::atomic<int> next{0}, running{workers}, drawing{0};
  // The index drawing waits for no sheet: the first worker without a sheet makes it.
  std::atomic<bool> indexTaken{false};
  auto index = std::make_unique<IndexAhead>();
  bool indexMade = false;
  // A worker past the last sheet helps the sheets still being drawn; the board closes
  // when no sheet is left to start or draw.
  HelpBoard board;
  std::vector<std::thread> threads;
  auto work = [&](int w) {
    Worker& me = *crew[static_cast<std::size_t>(w)];
    ConversionRun run(me.ctx, options_);
    run.runTotal_ = runTotal_;
    run.abandonCutSheets_ = true;
    run.helpBoard_ = &board;
    try {
      if (me.ctx.pointBuffer.size() != bufferSize) me.ctx.pointBuffer = geo::PointBuffer(bufferSize);
      // Sheets are taken in order, so a worker's earlier sheets are earlier sheets.
      for (;;) {
        ++drawing;  // counted from before the take, so the board cannot close in between
        const int k = relay.stop ? sheets : next++;
        if (k >= sheets) break;
        SheetResult& result = results[static_cast<std::size_t>(k)];
        const int row = k / v.sheetColumns, column = k % v.sheetColumns;
        result.started = true;
        me.host.sheet = k;
        result.completed = run.sheet(row, column);
        result.file = std::exchange(run.handedOver_, std::nullopt);
        relay.finished(k);
        result.reports = std::exchange(me.reports, {});
        result.intervalCell = me.settings.legendIntervals.cell(row, column);
        result.bottomCell = me.settings.legendBottoms.cell(row, column);
        result.legend = {me.ctx.sheetLegendInterval[static_cast<std::size_t>(k)],
                         me.ctx.sheetLegendBottom[static_cast<std::size_t>(k)],
                         me.ctx.sheetLegendDecimals[static_cast<std::size_t>(k)]};
        if (!result.completed) relay.stop = true;
        --drawing;
      }
      if (--drawing == 0 || relay.stop) board.close();
      if (!relay.stop && !indexTaken.exchange(true)) {
        try {
          indexMade = decor::drawIndexAhead(me.ctx, options_.title, index->file);
        } catch (...) {  // drawn again after the sheets, where a failure shows as it always did
          indexMade = false;
        }
        if (indexMade) index->reports = std::exchange(me.reports, {});
        me.reports.clear();
      }
      while (auto offer = board.take()) fgd::convertAhead(*offer);
    } catch (...) {
      me.error = std::current_exception();
      relay.stop = true;
      board.close();
    }
    me.failed = run.failed_;
    --running;
    relay.workerEnded();
  };
  try {
    for (int w = 0; w < workers; ++w) threads.emplace_back(work, w);
  } catch (...) {  // no thread to be had: the ones started stop at their next check
    relay.stop = true;
    running -= workers - static_cast<int>(threads.size());
    for (auto& t : threads) t.join();
    ctx_.pointBuffer = std::move(crew[0]->ctx.pointBuffer);
    throw;
  }
  while (running > 0) {
    ctx_.pump();
    if (!ctx_.runContinue) relay.stop = true;
    relay.deliver(ctx_.host);
    relay.wait(kDeliveryPeriod);
  }
  for (auto& t : threads) t.join();
  relay.deliver(ctx_.host);

  ctx_.pointBuffer = std::move(crew[0]->ctx.pointBuffer);
  ctx_.fileCounter = 0;
  for (const auto& w : crew) {
    if (w->error) std::rethrow_exception(w->error);
    failed_ = failed_ || w->failed;
    ctx_.fileCounter += w->ctx.fileCounter;
  }
  // Problems, legends and files in sheet order, as one sheet after the other would leave
  // them: the sheets up to the first that did not complete take their names, the later
  // ones are removed.
  bool all = true;
  for (int k = 0; k < sheets; ++k) {
    SheetResult& result = results[static_cast<std::size_t>(k)];
    if (result.file) {
      std::string error;
      if (!all || !result.completed) {
        result.file->discard();
      } else if (!result.file->commit(error)) {
        stopOnWriteError(result.file->file, error);
        result.completed = false;
      }
    }
    all = all && result.completed;
    if (!result.started) continue;
    for (const auto& [line, once] : result.reports) once ? ctx_.reportOnce(line) : ctx_.report(line);
    const int row = k / v.sheetColumns, column = k % v.sheetColumns;
    if (ctx_.settings.legendAuto) {
      ctx_.settings.legendIntervals.setCell(row, column, result.intervalCell);
      ctx_.settings.legendBottoms.setCell(row, column, result.bottomCell);
    }
    const auto at = static_cast<std::size_t>(k);
    ctx_.sheetLegendInterval[at] = result.legend.interval;
    ctx_.sheetLegendBottom[at] = result.legend.bottom;
    ctx_.sheetLegendDecimals[at] = result.legend.decimals;
  }
  if (indexMade && all) indexAhead_ = std::move(index);
  return all && ctx_.runContinue;
}

}  // namespace run
