// The generator's try loop on several threads (extension). Tries are numbered as the
// loop on the calling thread numbers them; try t draws from its own random stream,
// seeded from one value drawn from the calling thread's stream and from t, so its
// result does not depend on which thread runs it or when. Results are then taken in
// try order, exactly as the loop on one thread takes them: the best rating wins, the
// lower try number among equals, and an exact clue count ends the loop where the
// entry asks for it. A seeded call therefore gives the same puzzle for any number of
// threads from two up (one thread keeps the single stream of the plain loop).
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "generator/try_outcome.h"
#include "solver/peer_sets.h"
#include "util/clock.h"
#include "util/random.h"

using generation::BoardSave;
using generation::entry_for;
using generation::TryOutcome;
using generation::TryTally;

namespace {

// The seed of try t's stream (never 0, which would mean the system generator).
uint64_t try_seed(uint64_t base, int t) {
  uint64_t z = base + 0x9E3779B97F4A7C15ull * (static_cast<uint64_t>(t) + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z ? z : 1;
}

// Finished tries, taken in try order. Only the boards that may still win are kept: a
// try's board is dropped once a try with a lower number rates at least as well.
class TryLedger {
 public:
  TryLedger(int itries, CLUE_ATOM const& top, int n_clues)
      : outcomes_(static_cast<size_t>(itries)), boards_(static_cast<size_t>(itries)), top_(top), n_clues_(n_clues) {}

  // Records try t (its board is on p). Returns true when the loop may stop: the
  // tries taken so far end it (exact clue count).
  bool record(int t, Puzzle const& p, TryOutcome const& o) {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot& slot = outcomes_[static_cast<size_t>(t)];
    slot.outcome = o;
    slot.done = true;
    bool may_win = o.rating > best_rating_;
    for (int u = taken_; may_win && u < t; ++u) {
      Slot const& earlier = outcomes_[static_cast<size_t>(u)];
      if (earlier.done && earlier.outcome.rating >= o.rating) may_win = false;
    }
    if (may_win) {
      boards_[static_cast<size_t>(t)] = std::make_unique<BoardSave>();
      boards_[static_cast<size_t>(t)]->take(p);
    }
    // A later try that rates no better than this one can no longer win.
    for (int u = t + 1; u <= last_done_; ++u)
      if (boards_[static_cast<size_t>(u)] && outcomes_[static_cast<size_t>(u)].outcome.rating <= o.rating)
        boards_[static_cast<size_t>(u)].reset();
    if (t > last_done_) last_done_ = t;
    take_finished();
    return stopped_at_ >= 0;
  }

  // The tries taken: those before the first unfinished one, or up to an exact stop.
  int tries_made() const { return stopped_at_ >= 0 ? stopped_at_ : taken_; }
  int best_rating() const { return best_rating_; }
  BoardSave const* best_board() const { return best_try_ >= 0 ? boards_[static_cast<size_t>(best_try_)].get() : nullptr; }
  TryTally const& tally() const { return tally_; }

 private:
  struct Slot {
    bool done = false;
    TryOutcome outcome;
  };

  void take_finished() {
    while (stopped_at_ < 0 && taken_ < static_cast<int>(outcomes_.size()) && outcomes_[static_cast<size_t>(taken_)].done) {
      int const t = taken_;
      TryOutcome const& o = outcomes_[static_cast<size_t>(t)].outcome;
      if (o.rating > best_rating_) {
        if (best_try_ >= 0) boards_[static_cast<size_t>(best_try_)].reset();
        best_rating_ = o.rating;
        best_try_ = t;
        if (top_.stop_on_exact && o.clues == n_clues_) stopped_at_ = t;
      } else {
        tally_.add_losing_try(o, top_.max_clues);
        boards_[static_cast<size_t>(t)].reset();
      }
      ++taken_;
    }
  }

  std::mutex mutex_;
  std::vector<Slot> outcomes_;
  std::vector<std::unique_ptr<BoardSave>> boards_;
  CLUE_ATOM const& top_;
  int const n_clues_;
  int taken_ = 0;
  int best_rating_ = 0;
  int best_try_ = -1;
  int stopped_at_ = -1;
  int last_done_ = -1;
  TryTally tally_;
};

}  // namespace

int Puzzle::make_puzzle_on_threads(UI_QUALITY quality, int n_threads) {
  CLUE_ATOM const& top = entry_for(*this).top_atom();
  int const itries = top.tries[quality];
  time_t const start = std::time(nullptr);
  uint64_t const base = static_cast<uint64_t>(arc4random()) << 32 | arc4random();

  TryLedger ledger(itries, top, n_clues);
  std::atomic<int> next_try{0};
  std::atomic<bool> stop{false};
  std::vector<std::unique_ptr<Puzzle>> boards;
  for (int k = 0; k < n_threads; ++k) {
    boards.push_back(std::make_unique<Puzzle>(*this));
    boards.back()->generation_threads = 0;
    boards.back()->store_both_stop_flags(false);
  }

  auto run_tries = [&](Puzzle& board) {
    peer_sets::PeerSetsScope const peers(board);  // one board, one geometry, for all its tries
    for (int t = next_try.fetch_add(1); t < itries && !stop.load() && !cancel_is_requested();
         t = next_try.fetch_add(1)) {
      sudoku_seed_random(try_seed(base, t));
      board.make_solvable_puzzle();
      int const r = board.remove_clues_returning_rating(std::time(nullptr) + 600, 1);
      if (board.cancel_is_requested()) break;  // a stopped try's result means nothing
      if (ledger.record(t, board, TryOutcome::of(board, r))) stop.store(true);
    }
    sudoku_seed_random(0);
  };

  std::mutex done_mutex;
  std::condition_variable done_signal;
  int running = 0;
  std::vector<std::thread> workers;
  for (int k = 0; k < n_threads; ++k) {
    std::lock_guard<std::mutex> lock(done_mutex);
    try {
      workers.emplace_back([&, k] {
        run_tries(*boards[static_cast<size_t>(k)]);
        std::lock_guard<std::mutex> done(done_mutex);
        if (--running == 0) done_signal.notify_one();
      });
      ++running;
    } catch (std::system_error const&) {
      break;  // no more threads: the ones started share the tries
    }
  }
  if (workers.empty()) {
    run_tries(*boards[0]);
  } else {
    // The calling thread passes a cancel, or the deadline, on to every try that runs.
    std::unique_lock<std::mutex> lock(done_mutex);
    while (running > 0) {
      done_signal.wait_for(lock, std::chrono::milliseconds(10));
      if (deadline_ms > 0 && !deadline_has_passed() && steady_now_ms() >= deadline_ms) set_deadline_passed();
      if (cancel_is_requested() || deadline_has_passed()) {
        stop.store(true);
        for (auto& b : boards) b->set_cancel_requested(true);
      }
    }
  }
  for (auto& w : workers) w.join();

  bool const stopped = cancel_is_requested() || deadline_has_passed();
  return generation::finish_tries(*this, ledger.best_rating(), ledger.best_board(), ledger.tries_made(), itries,
                                  start, stopped, ledger.tally());
}
