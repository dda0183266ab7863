// The engine side of nonet.pool: a fill of a pool store by its plan (the client's part,
// which alone writes the store) and one job of the plan (a worker's part). Jobs and their
// outcomes cross processes as short texts.
#include <memory>
#include <stdexcept>

#include "pool/pool_fill.h"
#include "python/bindings.h"

namespace nonet_py {

namespace {

class Fill {
 public:
  Fill(std::string const& path, std::vector<long> const& targets, bool jigsaw, bool x, uint64_t seed, int shard,
       int shards, int batch_jobs, int budget, bool choose_by_cpu) {
    if (targets.size() != pool::kBuckets) throw py::value_error("targets: ten counts, one per bucket");
    if (shards < 1 || shard < 0 || shard >= shards) throw py::value_error("shard: 0 <= shard < shards");
    if (batch_jobs < 1 || batch_jobs > 4096) throw py::value_error("batch_jobs: 1..4096");
    if (budget < 1) throw py::value_error("budget: at least 1");
    if (!seed) throw py::value_error("seed: 1..2**64-1");
    pool::FillPlan plan;
    plan.kind = pool::PoolKind{jigsaw, x};
    plan.seed = seed;
    plan.shard = shard;
    plan.shards = shards;
    plan.batch_jobs = batch_jobs;
    plan.budget = budget;
    plan.choose_by_cpu = choose_by_cpu;
    for (int b = 0; b < pool::kBuckets; ++b) {
      if (targets[b] < 0) throw py::value_error("targets: counts of at least 0");
      plan.targets[b] = targets[b];
    }
    std::string why;
    store_ = pool::PoolStore::open(path, true, why);
    if (!store_) throw std::runtime_error(path + ": " + why);
    fill_ = std::make_unique<pool::PoolFill>(*store_, plan);
  }

  bool done() const { return fill_->done(); }
  int stalled_bucket() const { return fill_->stalled_bucket(); }
  long next_batch_index() const { return fill_->state().next_batch; }
  std::vector<std::string> next_batch() const {
    std::vector<std::string> texts;
    for (pool::PoolJob const& job : fill_->next_batch()) texts.push_back(job.text());
    return texts;
  }
  long commit(std::vector<std::string> const& texts) {
    std::vector<pool::JobOutcome> outcomes(texts.size());
    for (size_t k = 0; k < texts.size(); ++k)
      if (!pool::parse_outcome(texts[k], outcomes[k])) throw py::value_error("outcome " + std::to_string(k) + " is not a job outcome");
    return fill_->commit(outcomes);
  }
  std::vector<long> counts() const { return {fill_->counts().begin(), fill_->counts().end()}; }
  std::vector<long> shares() const {
    std::vector<long> s;
    for (int b = 0; b < pool::kBuckets; ++b) s.push_back(fill_->share(b));
    return s;
  }

 private:
  std::unique_ptr<pool::PoolStore> store_;
  std::unique_ptr<pool::PoolFill> fill_;
};

std::string run_job(std::string const& text) {
  pool::PoolJob job;
  if (!pool::parse_job(text, job)) throw py::value_error("not a pool job: " + text.substr(0, 80));
  pool::JobOutcome outcome;
  {
    py::gil_scoped_release release;
    outcome = pool::run_pool_job(job);
  }
  return outcome.text();
}

}  // namespace

void register_pool(py::module_& m) {
  py::class_<Fill>(m, "_PoolFill", "A fill of a pool store by its plan (used by nonet.pool).")
      .def(py::init<std::string const&, std::vector<long> const&, bool, bool, uint64_t, int, int, int, int, bool>(),
           py::arg("path"), py::arg("targets"), py::arg("jigsaw"), py::arg("x"), py::arg("seed"), py::arg("shard"),
           py::arg("shards"), py::arg("batch_jobs"), py::arg("budget"), py::arg("choose_by_cpu") = false)
      .def("done", &Fill::done, "True when every bucket has its share of the targets.")
      .def("stalled_bucket", &Fill::stalled_bucket, "A short bucket no job has produced after many jobs, or -1.")
      .def_property_readonly("next_batch_index", &Fill::next_batch_index)
      .def("next_batch", &Fill::next_batch, "The next batch's jobs, as texts for _pool_run_job.")
      .def("commit", &Fill::commit, py::arg("outcomes"),
           "Stores the outcomes of next_batch()'s jobs (in job order) in one transaction; returns puzzles stored.")
      .def_property_readonly("counts", &Fill::counts, "Puzzles per bucket toward the targets.")
      .def_property_readonly("shares", &Fill::shares, "This shard's share of each target.");
  m.def("_pool_run_job", &run_job, py::arg("job"),
        "Runs one job of a pool fill (its text from _PoolFill.next_batch) without the GIL; returns its outcome text.");
}

}  // namespace nonet_py
