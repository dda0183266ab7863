// nonet solve: counts the solutions of puzzles (0, 1 or 2 and more) and prints the
// unique solution; optionally the canonical form. Streams its input in batches in
// constant memory; with -j N the batches are solved on N threads and printed in
// input order.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "api/engine_api.h"
#include "classify/canonical.h"
#include "cli/commands.h"
#include "cli/grid_format.h"
#include "cli/puzzle_input.h"
#include "cli/tool.h"

namespace {

constexpr char kWho[] = "nonet solve";
constexpr std::size_t kBatchSize = 4096;  // puzzles read ahead: bounds memory whatever the input's size
constexpr std::size_t kChunkSize = 64;    // puzzles a worker takes at a time

struct SolveOptions {
  std::vector<std::string> inputs;
  bool x = false;
  std::string groups;
  std::string format;
  bool canonical = false;
  int threads = 1;
};

// Settings every worker reads.
struct Job {
  SolveOptions const& options;
  int const* groups;  // --groups, or null for the boxes
};

// A message printed before the output of puzzle `before` of its batch.
struct Note {
  std::size_t before;
  std::string text;
};

struct Batch {
  std::vector<ReadPuzzle> puzzles;
  std::vector<Note> reading_notes;             // lines that were no puzzle, in order
  std::vector<std::string> chunk_out;          // printed form, one string per chunk
  std::vector<std::vector<Note>> chunk_notes;  // puzzles with repeated givens, per chunk
  std::vector<std::size_t> offset;             // where each puzzle's output starts in its chunk's string

  std::size_t chunks() const { return (puzzles.size() + kChunkSize - 1) / kChunkSize; }
  void clear() {
    puzzles.clear();
    reading_notes.clear();
  }
};

void put_digits(std::string& out, int const grid[81], bool dots) {
  std::size_t const at = out.size();
  out.resize(at + 81);
  for (int c = 0; c < 81; ++c) out[at + c] = grid[c] == 0 && dots ? '.' : static_cast<char>('0' + grid[c]);
}

std::string digits_of(int const grid[81], bool dots) {
  std::string s;
  put_digits(s, grid, dots);
  return s;
}

std::string digits_of(int const grid[9][9], bool dots) { return digits_of(&grid[0][0], dots); }

char const* count_word(int count) { return count == 0 ? "0" : count == 1 ? "1" : "2+"; }

// Solves one puzzle and appends its printed form; a puzzle whose givens repeat a
// digit also gets a note.
void solve_one(Job const& job, ReadPuzzle const& p, std::string& out, std::vector<Note>& notes, std::size_t index) {
  SolveOptions const& o = job.options;
  int const* groups = p.has_groups ? p.groups : job.groups;
  bool const x = o.x || p.x;
  int solution[81];
  int count = sudoku_count_solutions(p.clues, groups, x ? 1 : 0, 2, solution);
  if (count < 0) {  // not expected: the reader checks clues and groups
    notes.push_back({index, source_of(p) + ": " + tool::engine_reason("the puzzle cannot be counted")});
    count = 0;
  } else if (count == 0) {
    std::string const why = repeated_given(p.clues, groups, x);
    if (!why.empty()) notes.push_back({index, source_of(p) + ": " + why});
  }
  int transform = 0, relabel[10] = {};
  std::string canonical_clues, canonical_groups;
  if (o.canonical) {
    int clues[9][9], grp[9][9], cc[9][9], cg[9][9];
    for (int c = 0; c < 81; ++c) {
      clues[c / 9][c % 9] = p.clues[c];
      grp[c / 9][c % 9] = groups ? groups[c] : 3 * (c / 27) + (c % 9) / 3;
    }
    canonical_form(clues, grp, cc, cg, &transform, relabel);
    canonical_clues = digits_of(cc, true);
    canonical_groups = digits_of(cg, false);
  }
  std::string relabel_text;
  for (int d = 0; d < 10; ++d) relabel_text += static_cast<char>('0' + relabel[d]);

  if (o.format == "line") {
    out += count_word(count);
    if (count == 1) {
      out += ' ';
      put_digits(out, solution, false);
    }
    if (o.canonical)
      out += " canonical " + canonical_clues + " groups " + canonical_groups + " orientation " +
             std::to_string(transform) + " relabel " + relabel_text;
    out += '\n';
  } else if (o.format == "json") {
    out += "{\"source\":" + tool::json_string(source_of(p)) + ",\"puzzle\":\"" + digits_of(p.clues, true) + '"';
    if (groups) out += ",\"groups\":\"" + digits_of(groups, false) + '"';
    out += std::string(",\"x\":") + (x ? "true" : "false") + ",\"solutions\":" + std::to_string(count);
    if (count == 1) out += ",\"solution\":\"" + digits_of(solution, false) + '"';
    if (o.canonical) {
      out += ",\"canonical\":{\"clues\":\"" + canonical_clues + "\",\"groups\":\"" + canonical_groups +
             "\",\"orientation\":" + std::to_string(transform) + ",\"relabel\":[";
      for (int d = 0; d < 10; ++d) out += (d ? "," : "") + std::to_string(relabel[d]);
      out += "]}";
    }
    out += "}\n";
  } else {
    out += source_of(p) + ": " + count_word(count) + (count == 1 ? " solution\n" : " solutions\n");
    if (count == 1) out += format_grid_text(digits_of(solution, false), groups);
    if (o.canonical)
      out += "canonical form (orientation " + std::to_string(transform) + ", relabel " + relabel_text + "):\n" +
             format_grid_text(canonical_clues) + "canonical groups: " + canonical_groups + "\n";
  }
}

void solve_chunk(Job const& job, Batch& b, std::size_t chunk) {
  std::string& out = b.chunk_out[chunk];
  std::vector<Note>& notes = b.chunk_notes[chunk];
  out.clear();
  notes.clear();
  std::size_t const end = std::min(b.puzzles.size(), (chunk + 1) * kChunkSize);
  for (std::size_t i = chunk * kChunkSize; i < end; ++i) {
    b.offset[i] = out.size();
    solve_one(job, b.puzzles[i], out, notes, i);
  }
}

void prepare(Batch& b) {
  b.chunk_out.resize(std::max(b.chunk_out.size(), b.chunks()));
  b.chunk_notes.resize(std::max(b.chunk_notes.size(), b.chunks()));
  b.offset.resize(b.puzzles.size());
}

// Workers that solve one batch at a time; the calling thread reads and prints meanwhile.
class SolverPool {
 public:
  SolverPool(Job const& job, int n) : job_(job) {
    for (int t = 0; t < n; ++t) threads_.emplace_back([this] { work(); });
  }
  ~SolverPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
  }
  void start(Batch& b) {
    prepare(b);
    std::lock_guard<std::mutex> lock(mutex_);
    batch_ = &b;
    next_chunk_ = 0;
    pending_ = b.chunks();
    ++round_;
    wake_.notify_all();
  }
  void wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
  }

 private:
  // A chunk is taken under the lock together with a check of the round: a worker that
  // wakes late must not take a chunk of the next batch for the batch it saw.
  void work() {
    unsigned long seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
      if (stopping_) return;
      seen = round_;
      Batch* const b = batch_;
      while (round_ == seen && next_chunk_ < b->chunks()) {
        std::size_t const c = next_chunk_++;
        lock.unlock();
        solve_chunk(job_, *b, c);
        lock.lock();
        if (--pending_ == 0) done_.notify_all();
      }
    }
  }

  Job const& job_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  Batch* batch_ = nullptr;
  std::size_t next_chunk_ = 0;
  std::size_t pending_ = 0;
  unsigned long round_ = 0;
  bool stopping_ = false;
};

bool write_out(char const* data, std::size_t size) {
  while (size > 0) {
    ssize_t const n = ::write(1, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Prints a solved batch, each note before the output of its puzzle. False when the
// output cannot be written.
bool print_batch(Batch const& b, bool& problems) {
  std::size_t next_reading_note = 0;
  for (std::size_t chunk = 0; chunk < b.chunks(); ++chunk) {
    std::string const& out = b.chunk_out[chunk];
    std::size_t const first = chunk * kChunkSize, end = std::min(b.puzzles.size(), first + kChunkSize);
    std::size_t written = 0;
    auto const& solve_notes = b.chunk_notes[chunk];
    std::size_t next_solve_note = 0;
    for (;;) {
      // The next note of this chunk, from reading or from solving, by puzzle index.
      std::size_t const r = next_reading_note < b.reading_notes.size() ? b.reading_notes[next_reading_note].before
                                                                        : SIZE_MAX;
      std::size_t const s = next_solve_note < solve_notes.size() ? solve_notes[next_solve_note].before : SIZE_MAX;
      std::size_t const at = std::min(r, s);
      if (at >= end) break;
      std::size_t const offset = b.offset[at];
      if (!write_out(out.data() + written, offset - written)) return false;
      written = offset;
      problems = true;
      if (r <= s)
        tool::say(kWho, b.reading_notes[next_reading_note++].text);
      else
        tool::say(kWho, solve_notes[next_solve_note++].text);
    }
    if (!write_out(out.data() + written, out.size() - written)) return false;
  }
  for (; next_reading_note < b.reading_notes.size(); ++next_reading_note) {
    problems = true;
    tool::say(kWho, b.reading_notes[next_reading_note].text);
  }
  return true;
}

// Reads up to kBatchSize puzzles (and the messages between them); false at the end of the input.
bool read_batch(PuzzleStream& in, Batch& b) {
  b.clear();
  std::string error;
  while (b.puzzles.size() < kBatchSize) {
    ReadPuzzle& p = b.puzzles.emplace_back();
    PuzzleStream::Result const r = in.next(p, error);
    if (r == PuzzleStream::kPuzzle) continue;
    b.puzzles.pop_back();
    if (r == PuzzleStream::kEnd) break;
    b.reading_notes.push_back({b.puzzles.size(), std::move(error)});
  }
  return !b.puzzles.empty() || !b.reading_notes.empty();
}

int run_solve(SolveOptions const& opt) {
  int groups[81];
  bool const jigsaw = !opt.groups.empty();
  if (jigsaw) {
    std::string error;
    if (!parse_group_map(opt.groups, groups, error)) {
      tool::say(kWho, "bad --groups map: " + error);
      return tool::kExitUsage;
    }
  }
  Job const job{opt, jigsaw ? groups : nullptr};
  PuzzleStream in(opt.inputs);
  bool problems = false, any = false, output_ok = true;
  Batch a, b;
  if (opt.threads <= 1) {
    while (output_ok && read_batch(in, a)) {
      any = any || !a.puzzles.empty();
      prepare(a);
      for (std::size_t c = 0; c < a.chunks(); ++c) solve_chunk(job, a, c);
      output_ok = print_batch(a, problems);
    }
  } else {
    SolverPool pool(job, opt.threads);
    Batch* current = &a;
    Batch* following = &b;
    bool more = read_batch(in, *current);
    if (more) pool.start(*current);
    while (more) {
      any = any || !current->puzzles.empty();
      bool const next = output_ok && read_batch(in, *following);
      pool.wait();
      if (next) pool.start(*following);
      output_ok = output_ok && print_batch(*current, problems);
      more = next;
      std::swap(current, following);
    }
  }
  if (!output_ok) {
    tool::say(kWho, std::string("cannot write the output: ") + std::strerror(errno));
    return tool::kExitInputProblem;
  }
  if (!any && !problems) {
    tool::say(kWho, "no puzzle in " + in.description());
    return tool::kExitInputProblem;
  }
  return problems ? tool::kExitInputProblem : tool::kExitOk;
}

CommandRegistration solve_command{Command{
    "solve", "Count the solutions of puzzles (0, 1 or 2+) and print the unique solution",
    [](CLI::App& sub) -> std::function<int()> {
      auto opt = std::make_shared<SolveOptions>();
      sub.add_option("input", opt->inputs,
                     "Puzzles, files of puzzles, or '-' for standard input (the default). Reads 81 cells a line "
                     "('.', '0' or '-' empty; optionally followed by 81 group digits), nine rows of nine (with or "
                     "without the frame and region letters nonet prints, or a photo's .dat file) and JSON Lines");
      sub.add_flag("--x", opt->x, "The two main diagonals are units too");
      sub.add_option("--groups", opt->groups, "Jigsaw map for every puzzle: 81 group digits 0-8, each used nine times");
      tool::add_format_option(sub, opt->format, {"line", "text", "json"},
                              "line: '0', '2+' or '1 SOLUTION' a puzzle; text: grids; json: JSON Lines, one object "
                              "a puzzle {source, puzzle, groups, x, solutions (0, 1 or 2 = two or more), solution}");
      sub.add_flag("--canonical", opt->canonical, "Also print the canonical form, orientation and relabelling");
      sub.add_option("-j,--threads", opt->threads, "Threads that solve (output stays in input order)")
          ->check(CLI::Range(1, 256))
          ->capture_default_str();
      return [opt] { return run_solve(*opt); };
    }}};

}  // namespace
