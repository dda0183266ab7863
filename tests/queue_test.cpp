// Queue blobs: packing, strict loading, the C interface and queue files.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "api/engine_api.h"
#include "groupmap_test_support.h"
#include "queue/queue_data.h"
#include "util/random.h"

namespace {

// A record whose every byte depends on its tag, with readable trailing fields.
PuzzleData make_record(int tag) {
  PuzzleData d;
  auto* bytes = reinterpret_cast<unsigned char*>(&d);
  for (size_t i = 0; i < sizeof d; ++i) bytes[i] = static_cast<unsigned char>(i * 31 + tag * 7);
  for (int g = 0; g < 9; ++g) d.color_map[g] = (g + tag) % 4;
  d.map_type = static_cast<MAP_TYPE>(tag % 2);
  d.adjacency_type = static_cast<ADJACENCY_TYPE>((tag / 2) % 2);
  d.difficulty = static_cast<UI_DIFFICULTY>(tag % 10);
  return d;
}

std::vector<unsigned char> blob_with_header(char const* header20, size_t records) {
  std::vector<unsigned char> blob(kQueueHeaderSize + kQueueRecordSize * records, 0);
  std::memcpy(blob.data(), header20, 20);
  for (size_t i = kQueueHeaderSize; i < blob.size(); ++i) blob[i] = static_cast<unsigned char>(i);
  return blob;
}

}  // namespace

TEST(QueueBlob, PackAndLoadRoundTrip) {
  queue_data q(2, 1, 3);
  size_t length = 0;
  unsigned char* blob = q.as_data(length);
  EXPECT_EQ(length, 80u + 5232u * 6);
  EXPECT_EQ(q.total_length(), length);
  EXPECT_EQ(q.data_length(), 5232u * 6);
  EXPECT_EQ(q.data_array(), blob + 80);
  EXPECT_EQ(std::memcmp(blob, "SQD0.002   2   1   3", 20), 0);
  for (int i = 20; i < 80; ++i) EXPECT_EQ(blob[i], 0);
  q.set_solution(make_record(0), 0);
  q.set_solution(make_record(1), 1);
  q.set_puzzle(make_record(2), 0);
  for (int i = 0; i < 3; ++i) q.set_game(make_record(3 + i), i);

  void *s, *p, *g;
  size_t sl, pl, gl;
  q.get_data(s, sl, p, pl, g, gl);
  EXPECT_EQ(s, blob + 80);
  EXPECT_EQ(sl, 2 * 5232u);
  EXPECT_EQ(p, blob + 80 + 2 * 5232);
  EXPECT_EQ(pl, 5232u);
  EXPECT_EQ(g, blob + 80 + 3 * 5232);
  EXPECT_EQ(gl, 3 * 5232u);

  SudokuQueue* h = sudoku_queue_load(blob, static_cast<long long>(length));
  ASSERT_NE(h, nullptr);
  auto* loaded = reinterpret_cast<queue_data*>(h);
  EXPECT_EQ(loaded->n_solutions, 2u);
  EXPECT_EQ(loaded->n_puzzles, 1u);
  EXPECT_EQ(loaded->n_games, 3u);
  EXPECT_EQ(std::memcmp(loaded->data, blob, length), 0);
  EXPECT_NE(loaded->data, blob);  // a copy
  EXPECT_EQ(sudoku_queue_game_count(h), 3);
  for (int i = 0; i < 3; ++i) {
    PuzzleData const expected = make_record(3 + i);
    unsigned char cells[5184];
    int colours[9], kind = -1, adjacency = -1, difficulty = -1;
    ASSERT_EQ(sudoku_queue_get_game(h, i, cells, colours, &kind, &adjacency, &difficulty), 1);
    EXPECT_EQ(std::memcmp(cells, expected.cells, 5184), 0);
    EXPECT_EQ(std::memcmp(colours, expected.color_map, 36), 0);
    EXPECT_EQ(kind, expected.map_type);
    EXPECT_EQ(adjacency, expected.adjacency_type);
    EXPECT_EQ(difficulty, expected.difficulty);
  }
  sudoku_queue_free(h);
  sudoku_queue_free(nullptr);
}

TEST(QueueBlob, EmptyBlobAndIndexBounds) {
  auto blob = blob_with_header("SQD0.002   0   0   0", 0);
  ASSERT_EQ(blob.size(), 80u);
  SudokuQueue* h = sudoku_queue_load(blob.data(), 80);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(sudoku_queue_game_count(h), 0);
  unsigned char cells[5184];
  int colours[9], a = 7, b = 7, c = 7;
  EXPECT_EQ(sudoku_queue_get_game(h, 0, cells, colours, &a, &b, &c), 0);
  sudoku_queue_free(h);

  auto two = blob_with_header("SQD0.002   0   0   2", 2);
  h = sudoku_queue_load(two.data(), static_cast<long long>(two.size()));
  ASSERT_NE(h, nullptr);
  std::memset(cells, 0xAB, sizeof cells);
  EXPECT_EQ(sudoku_queue_get_game(h, -1, cells, colours, &a, &b, &c), 0);
  EXPECT_EQ(sudoku_queue_get_game(h, 2, cells, colours, &a, &b, &c), 0);
  EXPECT_EQ(a + b + c, 21);  // nothing written
  EXPECT_EQ(cells[0], 0xAB);
  EXPECT_EQ(sudoku_queue_get_game(h, 1, cells, colours, &a, &b, &c), 1);
  EXPECT_EQ(cells[0], two[80 + 5232]);
  sudoku_queue_free(h);
}

TEST(QueueBlob, HeaderFields) {
  unsigned s = 9, p = 9, g = 9;
  EXPECT_TRUE(queue_data::parse_header("SQD0.0020003   3 1 2", s, p, g));
  EXPECT_EQ(s, 3u);
  EXPECT_EQ(p, 3u);
  EXPECT_EQ(g, 1u);  // conversion stops at the space
  EXPECT_TRUE(queue_data::parse_header("SQD0.002        9999", s, p, g));
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(g, 9999u);
  EXPECT_FALSE(queue_data::parse_header("SQD0.002   a   0   0", s, p, g));
  EXPECT_FALSE(queue_data::parse_header("SQD0.002   0   0  -1", s, p, g));
  EXPECT_FALSE(queue_data::parse_header("SQD0.003   0   0   0", s, p, g));
  EXPECT_FALSE(queue_data::parse_header("SQD0.002\t  0   0   0", s, p, g));

  auto zeros = blob_with_header("SQD0.002000000000003", 3);
  SudokuQueue* h = sudoku_queue_load(zeros.data(), static_cast<long long>(zeros.size()));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(sudoku_queue_game_count(h), 3);
  sudoku_queue_free(h);
  auto letter = blob_with_header("SQD0.002   0   0  3x", 3);
  EXPECT_EQ(sudoku_queue_load(letter.data(), static_cast<long long>(letter.size())), nullptr);
}

TEST(QueueBlob, LengthMustMatchExactly) {
  auto blob = blob_with_header("SQD0.002   1   1   1", 3);
  long long const n = static_cast<long long>(blob.size());
  blob.push_back(0);
  EXPECT_EQ(sudoku_queue_load(blob.data(), n + 1), nullptr);
  EXPECT_EQ(sudoku_queue_load(blob.data(), n - 1), nullptr);
  EXPECT_EQ(sudoku_queue_load(blob.data(), -1), nullptr);
  EXPECT_EQ(sudoku_queue_load(nullptr, 0), nullptr);
  SudokuQueue* h = sudoku_queue_load(blob.data(), n);
  EXPECT_NE(h, nullptr);
  sudoku_queue_free(h);
  // The largest counts claim 156 MB; a short blob must be refused without reading past it.
  auto huge = blob_with_header("SQD0.002999999999999", 0);
  EXPECT_EQ(sudoku_queue_load(huge.data(), static_cast<long long>(huge.size())), nullptr);
}

// Truncated and mutated blobs, each in a buffer of exactly its length (ASan catches any over-read).
TEST(QueueBlob, CorruptAndTruncatedInputs) {
  queue_data q(1, 0, 2);
  for (int i = 0; i < 2; ++i) q.set_game(make_record(i), i);
  q.set_solution(make_record(9), 0);
  size_t length = 0;
  unsigned char const* good = q.as_data(length);
  sudoku_seed_random(31);
  for (int trial = 0; trial < 300; ++trial) {
    size_t const cut = trial < 100 ? arc4random_uniform(static_cast<uint32_t>(length + 1)) : length;
    std::vector<unsigned char> copy(good, good + cut);
    if (trial >= 100 && !copy.empty())
      copy[arc4random_uniform(20)] = static_cast<unsigned char>(arc4random_uniform(256));
    std::unique_ptr<unsigned char[]> exact(new unsigned char[copy.size() + 1]);
    std::memcpy(exact.get(), copy.data(), copy.size());
    SudokuQueue* h = sudoku_queue_load(exact.get(), static_cast<long long>(copy.size()));
    if (h) {
      int const games = sudoku_queue_game_count(h);
      auto* loaded = reinterpret_cast<queue_data*>(h);
      EXPECT_EQ(loaded->total_length(), copy.size());
      unsigned char cells[5184];
      int colours[9], a, b, c;
      for (int i = -1; i <= games; ++i)
        EXPECT_EQ(sudoku_queue_get_game(h, i, cells, colours, &a, &b, &c), i >= 0 && i < games ? 1 : 0);
      sudoku_queue_free(h);
    } else {
      EXPECT_TRUE(cut != length || std::memcmp(copy.data(), good, 20) != 0);
    }
  }
  sudoku_seed_random(0);
}

TEST(QueueDepth, Tables) {
  EXPECT_EQ(sudoku_desired_queue_depth(1, 1, 9), 12);
  EXPECT_EQ(sudoku_desired_queue_depth(0, 0, 0), 3);
  EXPECT_EQ(sudoku_desired_queue_depth(2, 0, 0), 3);
  EXPECT_EQ(sudoku_desired_queue_depth(0, 0, 10), 3);
  EXPECT_EQ(sudoku_desired_queue_depth(static_cast<unsigned>(-1), 0, 0), 3);
  int const regular[10] = {3, 3, 3, 3, 4, 5, 6, 7, 9, 11};
  int const irregular[10] = {3, 3, 3, 3, 4, 6, 7, 8, 10, 12};
  for (unsigned b = 0; b < 2; ++b)
    for (unsigned d = 0; d < 10; ++d) {
      EXPECT_EQ(sudoku_desired_queue_depth(0, b, d), regular[d]);
      EXPECT_EQ(sudoku_desired_queue_depth(1, b, d), irregular[d]);
      EXPECT_EQ(desiredGameAlbumSize[d % 2][b][d], 2);
    }
  EXPECT_EQ(desiredSolutionQueueSize[0][0], 2);
  EXPECT_EQ(desiredSolutionQueueSize[0][1], 2);
  EXPECT_EQ(desiredSolutionQueueSize[1][0], 12);
  EXPECT_EQ(desiredSolutionQueueSize[1][1], 12);
}

TEST(QueueFile, LoadsFromTheGroupMapsDirectory) {
  groupmap_test::DirGuard guard;
  std::string const dir = groupmap_test::make_temp_dir();
  set_group_maps_dir(dir.c_str());
  auto fits = blob_with_header("SQD0.002   0   0 400", 400);  // 2,092,880 bytes
  groupmap_test::write_file(dir + "/fits.z", groupmap_test::deflate_bytes(fits));
  queue_data* q = queue_data_from_zipped_file("fits");
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->n_games, 400u);
  EXPECT_EQ(std::memcmp(q->data, fits.data(), fits.size()), 0);
  delete q;
  auto over = blob_with_header("SQD0.002   0   0 401", 401);  // 2,098,112 bytes: over the capacity
  groupmap_test::write_file(dir + "/over.z", groupmap_test::deflate_bytes(over));
  EXPECT_EQ(queue_data_from_zipped_file("over"), nullptr);
  EXPECT_EQ(queue_data_from_zipped_file("missing"), nullptr);
}
