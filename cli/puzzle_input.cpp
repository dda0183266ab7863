#include "cli/puzzle_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <deque>
#include <nlohmann/json.hpp>
#include <string_view>

#include "cli/board_image.h"
#include "cli/tool.h"

namespace {

// Cell values by character: 1..9 for digits, 0 for the empty-cell marks, -1 otherwise.
constexpr std::array<signed char, 256> make_cell_values() {
  std::array<signed char, 256> v{};
  for (auto& x : v) x = -1;
  for (int d = 1; d <= 9; ++d) v['0' + d] = static_cast<signed char>(d);
  v['.'] = v['0'] = v['-'] = 0;
  return v;
}
constexpr std::array<signed char, 256> kCellValue = make_cell_values();

int cell_value(char ch) { return kCellValue[static_cast<unsigned char>(ch)]; }

std::string cell_name(int c) { return "r" + std::to_string(c / 9 + 1) + "c" + std::to_string(c % 9 + 1); }

bool is_blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// Cells of text with blanks and '|' skipped: true when there are exactly n of them.
bool read_cells(std::string_view text, int n, int* out) {
  int k = 0;
  for (char ch : text) {
    if (is_blank(ch) || ch == '|') continue;
    int const v = cell_value(ch);
    if (v < 0 || k == n) return false;
    out[k++] = v;
  }
  return k == n;
}

// A line that uses the board-in-play cells: "+5" (an answer) or "[129]" (pencil marks).
bool looks_like_board(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '[' || (text[i] == '+' && i + 1 < text.size() && cell_value(text[i + 1]) > 0)) return true;
  return false;
}

// Pencil marks as digits ("129"; blanks and commas skipped), each at most once.
bool read_marks(std::string_view digits, uint16_t& mask) {
  mask = 0;
  for (char ch : digits) {
    if (is_blank(ch) || ch == ',') continue;
    int const d = ch - '0';
    if (d < 1 || d > 9 || (mask >> d & 1)) return false;
    mask = static_cast<uint16_t>(mask | 1u << d);
  }
  return true;
}

// Cells of a board in play: a given digit or an empty mark, "+5" (the player's answer)
// or "[129]" (an empty cell showing those pencil marks); blanks and '|' skipped between
// cells. True when there are exactly n.
bool read_board_cells(std::string_view text, int n, int* clues, int8_t* answers, uint16_t* marks) {
  int k = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char const ch = text[i];
    if (is_blank(ch) || ch == '|') continue;
    if (k == n) return false;
    clues[k] = answers[k] = 0;
    marks[k] = 0;
    if (ch == '+') {
      if (i + 1 == text.size() || cell_value(text[i + 1]) < 1) return false;
      answers[k] = static_cast<int8_t>(cell_value(text[++i]));
    } else if (ch == '[') {
      std::size_t const close = text.find(']', i);
      if (close == std::string_view::npos || !read_marks(text.substr(i + 1, close - i - 1), marks[k])) return false;
      i = close;
    } else {
      int const v = cell_value(ch);
      if (v < 0) return false;
      clues[k] = v;
    }
    ++k;
  }
  return k == n;
}

void clear_board(ReadPuzzle& p) {
  std::memset(p.answers, 0, sizeof p.answers);
  std::memset(p.marks, 0, sizeof p.marks);
}

std::vector<std::string_view> tokens_of(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && is_blank(text[i])) ++i;
    std::size_t const start = i;
    while (i < text.size() && !is_blank(text[i])) ++i;
    if (i > start && text.substr(start, i - start) != "|") tokens.push_back(text.substr(start, i - start));
  }
  return tokens;
}

bool is_frame(std::string_view text) {
  if (text.empty()) return false;
  for (char ch : text)
    if (ch != '-' && ch != '+' && ch != '=' && ch != '|' && !is_blank(ch)) return false;
  return true;
}

// A labelled line the tool prints around grids ("box: 12 30 400 410", "digits: 28",
// "regions: 3x3 boxes", "solution:"): a word or words, a colon, anything.
bool is_label(std::string_view text) {
  std::size_t const colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
    return false;
  for (std::size_t i = 0; i < colon; ++i)
    if (!std::isalpha(static_cast<unsigned char>(text[i])) && text[i] != ' ' && text[i] != '_') return false;
  return colon + 1 == text.size() || text[colon + 1] == ' ';
}

// Why a line is no puzzle, for its message.
std::string not_a_puzzle(std::string_view text) {
  int cells = 0;
  for (char ch : text) {
    if (is_blank(ch) || ch == '|') continue;
    if (cell_value(ch) < 0) return "not a puzzle: '" + tool::escaped(text, 60) + "'";
    ++cells;
  }
  return "expected 81 cells, got " + std::to_string(cells);
}

// Lines of a file descriptor or of a text, read in large blocks.
class LineSource {
 public:
  explicit LineSource(int fd) : fd_(fd), buffer_(kCapacity) {}
  explicit LineSource(std::string const& text) : fd_(-1), buffer_(text.begin(), text.end()), end_(text.size()) {}
  ~LineSource() {
    if (fd_ > 0) ::close(fd_);
  }

  // The next line without its newline; false at the end (read_error() tells a failure).
  bool next(std::string_view& line) {
    for (;;) {
      char* const data = buffer_.data();
      if (void const* nl = std::memchr(data + begin_, '\n', end_ - begin_)) {
        std::size_t const at = static_cast<std::size_t>(static_cast<char const*>(nl) - data);
        line = std::string_view(data + begin_, at - begin_);
        begin_ = at + 1;
        ++number_;
        if (skipping_) {  // the rest of an over-long line
          skipping_ = false;
          --number_;
          continue;
        }
        return true;
      }
      if (fd_ < 0 || eof_) {
        if (begin_ == end_) return false;
        line = std::string_view(data + begin_, end_ - begin_);
        begin_ = end_;
        if (skipping_) return false;
        ++number_;
        return true;
      }
      if (begin_ == 0 && end_ == buffer_.size()) {  // a line longer than the buffer: keep its start
        line = std::string_view(data, end_);
        begin_ = end_ = 0;
        ++number_;
        skipping_ = true;
        return true;
      }
      std::memmove(data, data + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
      ssize_t const n = ::read(fd_, data + end_, buffer_.size() - end_);
      if (n > 0) {
        end_ += static_cast<std::size_t>(n);
      } else if (n == 0) {
        eof_ = true;
      } else if (errno != EINTR) {
        read_error_ = std::strerror(errno);
        eof_ = true;
      }
    }
  }
  long number() const { return number_; }
  std::string const& read_error() const { return read_error_; }

 private:
  static constexpr std::size_t kCapacity = 1 << 20;
  int fd_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0, end_ = 0;
  long number_ = 0;
  bool eof_ = false, skipping_ = false;
  std::string read_error_;
};

struct Event {
  bool error = false;
  ReadPuzzle puzzle;
  std::string message;
};

// Turns lines into puzzles and messages, in input order.
class Parser {
 public:
  explicit Parser(std::string const* origin) : origin_(origin) {}

  void line(std::string_view raw, long number) {
    std::string_view const text = trimmed(raw);
    if (text.empty() || text[0] == '#') return;
    if (text.size() == 81 && whole_line(text, number)) return;
    if (text[0] == '{') return json_line(text, number);
    if (row_line(text, number)) return;
    if (is_frame(text) || is_label(text)) return;
    if (board_line(text, number)) return;
    if (puzzle_line(text, number)) return;
    header_candidate(text, number);
  }

  void finish() {
    end_block();
    flush_headers();
  }

  // A saved board (the whole input of a file).
  void board_image(std::vector<unsigned char> const& bytes) {
    ReadPuzzle p;
    std::string why;
    if (!read_board_image(bytes.data(), bytes.size(), p, why)) return error(0, why);
    emit(p, 0);
  }

  std::deque<Event> events;

 private:
  bool whole_line(std::string_view text, long number) {
    ReadPuzzle p;
    if (!read_cells(text, 81, p.clues)) return false;
    before_puzzle();
    emit(p, number);
    return true;
  }

  void json_line(std::string_view text, long number) {
    before_puzzle();
    auto const j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return error(number, "not valid JSON");
    ReadPuzzle p;
    nlohmann::json const* cells = nullptr;
    for (char const* key : {"clues", "puzzle", "digits"})
      if (auto it = j.find(key); it != j.end() && it->is_string()) {
        cells = &*it;
        break;
      }
    if (!cells) return error(number, "JSON object without a \"clues\", \"puzzle\" or \"digits\" string");
    std::string const& s = cells->get_ref<std::string const&>();
    if (!read_cells(s, 81, p.clues)) return error(number, not_a_puzzle(s));
    if (auto it = j.find("groups"); it != j.end() && !it->is_null()) {
      std::string why;
      if (!it->is_string() || !parse_group_map(it->get<std::string>(), p.groups, why))
        return error(number, "bad \"groups\": " + (why.empty() ? std::string("not a string") : why));
      p.has_groups = true;
    }
    if (auto it = j.find("x"); it != j.end() && it->is_boolean()) p.x = it->get<bool>();
    std::string why;
    if (!json_board(j, p, why)) return error(number, why);
    emit(p, number);
  }

  // "answers" and "marks" of a board in play; false with why set when they are malformed
  // or put an answer or marks on a given (or marks on an answer).
  static bool json_board(nlohmann::json const& j, ReadPuzzle& p, std::string& why) {
    auto const answers = j.find("answers"), marks = j.find("marks");
    bool const has_answers = answers != j.end() && !answers->is_null();
    bool const has_marks = marks != j.end() && !marks->is_null();
    if (!has_answers && !has_marks) return true;
    p.has_board = true;
    clear_board(p);
    if (has_answers) {
      int cells[81];
      if (!answers->is_string()) return (why = "bad \"answers\": not a string"), false;
      std::string const& text = answers->get_ref<std::string const&>();
      if (!read_cells(text, 81, cells)) return (why = "bad \"answers\": " + not_a_puzzle(text)), false;
      for (int c = 0; c < 81; ++c) p.answers[c] = static_cast<int8_t>(cells[c]);
    }
    if (has_marks) {
      if (!marks->is_array() || marks->size() != 81)
        return (why = "bad \"marks\": not a list of 81 entries"), false;
      for (int c = 0; c < 81; ++c) {
        auto const& m = (*marks)[static_cast<std::size_t>(c)];
        if (m.is_number_unsigned() && m.get<uint64_t>() <= 0x3FE && !(m.get<uint64_t>() & 1)) {
          p.marks[c] = static_cast<uint16_t>(m.get<uint64_t>());
        } else if (!m.is_string() || !read_marks(m.get_ref<std::string const&>(), p.marks[c])) {
          return (why = "bad \"marks\" of " + cell_name(c) + ": digits 1-9 or a mask of bits 1-9"), false;
        }
      }
    }
    for (int c = 0; c < 81; ++c) {
      if (p.clues[c] && (p.answers[c] || p.marks[c]))
        return (why = cell_name(c) + " is a given and holds " + (p.answers[c] ? "an answer" : "pencil marks")), false;
      if (p.answers[c] && p.marks[c]) return (why = cell_name(c) + " holds both an answer and pencil marks"), false;
    }
    return true;
  }

  // A row of nine cells ("5 3 . | . 7 ." or "530070000"), of cells with region letters
  // ("5a 3a .b") or of a board in play ("5 +3 [129] ...").
  bool row_line(std::string_view text, long number) {
    int cells[9], groups[9];
    int8_t answers[9] = {};
    uint16_t marks[9] = {};
    bool lettered = false, board = false;
    if (!read_cells(text, 9, cells)) {
      board = looks_like_board(text) && read_board_cells(text, 9, cells, answers, marks);
      if (!board) {
        auto const tokens = tokens_of(text);
        if (tokens.size() != 9) return false;
        for (int k = 0; k < 9; ++k) {
          if (tokens[k].size() != 2 || cell_value(tokens[k][0]) < 0 || tokens[k][1] < 'a' || tokens[k][1] > 'i')
            return false;
          cells[k] = cell_value(tokens[k][0]);
          groups[k] = tokens[k][1] - 'a';
        }
        lettered = true;
      }
    }
    if (rows_ == 0) {
      headers_.clear();  // they were the block's header lines
      block_start_ = number;
      block_lettered_ = lettered;
      block_.has_board = false;
    } else if (lettered != block_lettered_) {
      block_mixed_ = true;
    }
    std::copy(cells, cells + 9, block_.clues + 9 * rows_);
    std::copy(answers, answers + 9, block_.answers + 9 * rows_);
    std::copy(marks, marks + 9, block_.marks + 9 * rows_);
    block_.has_board = block_.has_board || board;
    if (lettered) std::copy(groups, groups + 9, block_.groups + 9 * rows_);
    if (++rows_ < 9) return true;
    rows_ = 0;
    if (block_mixed_) {
      block_mixed_ = false;
      error(block_start_, "nine rows that mix region letters and plain cells");
      return true;
    }
    ReadPuzzle p = block_;
    if (block_lettered_) {
      std::string map(81, '0'), why;
      for (int c = 0; c < 81; ++c) map[c] = static_cast<char>('0' + p.groups[c]);
      if (!parse_group_map(map, p.groups, why)) {
        error(block_start_, "region letters: " + why);
        return true;
      }
      p.has_groups = true;
    }
    emit(p, block_start_);
    return true;
  }

  // A board in play on one line: 81 cells (answers "+5", marks "[129]"), optionally
  // followed by 81 group digits and "x".
  bool board_line(std::string_view text, long number) {
    if (!looks_like_board(text)) return false;
    auto tokens = tokens_of(text);
    ReadPuzzle p;
    p.has_board = true;
    if (tokens.size() > 1 && tokens.back() == "x") {
      p.x = true;
      tokens.pop_back();
    }
    auto cells_read = [&](std::size_t n_tokens) {
      std::string joined;
      for (std::size_t i = 0; i < n_tokens; ++i) joined += tokens[i];
      return read_board_cells(joined, 81, p.clues, p.answers, p.marks);
    };
    if (!tokens.empty() && cells_read(tokens.size())) {
      before_puzzle();
      emit(p, number);
      return true;
    }
    if (tokens.size() < 2 || tokens.back().size() != 81 || !cells_read(tokens.size() - 1)) return false;
    before_puzzle();
    std::string why;
    if (!parse_group_map(std::string(tokens.back()), p.groups, why)) {
      error(number, "bad groups: " + why);
      return true;
    }
    p.has_groups = true;
    emit(p, number);
    return true;
  }

  // "CELLS", "CELLS GROUPS", either after a solution count ("1 CELLS") or before "x"
  // (the diagonals are units, as `nonet ocr` prints a reading).
  bool puzzle_line(std::string_view text, long number) {
    auto tokens = tokens_of(text);
    if (tokens.size() > 1 && (tokens[0] == "0" || tokens[0] == "1" || tokens[0] == "2+")) tokens.erase(tokens.begin());
    ReadPuzzle p;
    if (tokens.size() > 1 && tokens.back() == "x") {
      p.x = true;
      tokens.pop_back();
    }
    if (tokens.size() == 2 && read_cells(tokens[0], 81, p.clues) && tokens[1].size() == 81) {
      before_puzzle();
      std::string why;
      if (!parse_group_map(std::string(tokens[1]), p.groups, why)) {
        error(number, "bad groups: " + why);
        return true;
      }
      p.has_groups = true;
      emit(p, number);
      return true;
    }
    std::string joined;
    for (auto t : tokens) joined += t;
    if (!read_cells(joined, 81, p.clues)) return false;
    before_puzzle();
    emit(p, number);
    return true;
  }

  // A line that is no puzzle: a header when rows follow it, else a bad line.
  void header_candidate(std::string_view text, long number) {
    end_block();
    if (headers_.size() == 2) {
      error(headers_.front().first, not_a_puzzle(headers_.front().second));
      headers_.pop_front();
    }
    headers_.emplace_back(number, std::string(text.substr(0, 200)));
  }

  void before_puzzle() {
    end_block();
    flush_headers();
  }

  void end_block() {
    if (rows_ == 0) return;
    error(block_start_, "puzzle of nine rows ends after " + std::to_string(rows_) + (rows_ == 1 ? " row" : " rows"));
    rows_ = 0;
    block_mixed_ = false;
  }

  void flush_headers() {
    for (auto const& [number, text] : headers_) error(number, not_a_puzzle(text));
    headers_.clear();
  }

  void emit(ReadPuzzle& p, long number) {
    p.origin = origin_;
    p.line = number;
    Event& e = events.emplace_back();
    e.puzzle = p;
  }

  void error(long number, std::string message) {
    Event& e = events.emplace_back();
    e.error = true;
    e.message = source_of(*origin_, number) + ": " + message;
  }

  std::string const* origin_;
  ReadPuzzle block_;
  int rows_ = 0;
  long block_start_ = 0;
  bool block_lettered_ = false, block_mixed_ = false;
  std::deque<std::pair<long, std::string>> headers_;
};

}  // namespace

std::string source_of(std::string const& origin, long line) {
  if (line == 0) return origin;
  if (origin.empty()) return "line " + std::to_string(line);
  return origin + " line " + std::to_string(line);
}

PuzzleInput text_of(ReadPuzzle const& p) {
  std::string grid(81, '.');
  for (int c = 0; c < 81; ++c)
    if (p.clues[c]) grid[c] = static_cast<char>('0' + p.clues[c]);
  return {grid, source_of(p)};
}

struct PuzzleStream::Source {
  std::string name;  // origin of the puzzles; stable while the stream lives
  std::unique_ptr<LineSource> lines;
  std::unique_ptr<Parser> parser;
  bool argument = false;
  bool finished = false;
};

PuzzleStream::PuzzleStream(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {
  if (arguments_.empty()) arguments_.push_back("-");
}

PuzzleStream::~PuzzleStream() = default;

std::string PuzzleStream::description() const {
  if (arguments_.size() == 1 && arguments_[0] == "-") return "standard input";
  return "the input";
}

namespace {

// An argument is read as a puzzle when it holds line breaks, starts like JSON or
// holds 81 cells, or when no such file exists and it does not look like a path
// (no '/', no ".ext"); else it names a file.
bool argument_is_puzzle_text(std::string const& arg) {
  if (arg.find('\n') != std::string::npos || (!arg.empty() && arg[0] == '{')) return true;
  int cells = 0;
  for (char ch : arg) cells += cell_value(ch) >= 0;
  if (cells >= 81) return true;
  if (::access(arg.c_str(), F_OK) == 0) return false;
  bool looks_like_path = arg.find('/') != std::string::npos;
  for (std::size_t i = 0; i + 1 < arg.size() && !looks_like_path; ++i)
    looks_like_path = arg[i] == '.' && std::isalpha(static_cast<unsigned char>(arg[i + 1]));
  return !looks_like_path;
}

}  // namespace

// Opens the next argument; false with error set when it cannot be read.
bool PuzzleStream::open_next(std::string& error) {
  std::string const& arg = arguments_[next_argument_];
  auto source = std::make_unique<Source>();
  std::size_t const number = next_argument_ + 1;
  ++next_argument_;
  if (arg == "-") {
    source->lines = std::make_unique<LineSource>(0);
  } else if (argument_is_puzzle_text(arg)) {
    source->name = "argument " + std::to_string(number);
    source->argument = true;
    source->lines = std::make_unique<LineSource>(arg);
  } else {
    source->name = arg;
    int const fd = ::open(arg.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    bool const have_stat = fd >= 0 && ::fstat(fd, &st) == 0;
    if (fd < 0 || (have_stat && S_ISDIR(st.st_mode))) {
      error = tool::escaped(arg) + ": " + (fd < 0 ? std::strerror(errno) : std::strerror(EISDIR));
      if (fd >= 0) ::close(fd);
      source_.reset();
      return false;
    }
    if (have_stat && S_ISREG(st.st_mode) &&
        (static_cast<std::size_t>(st.st_size) == board_image_size() ||
         static_cast<std::size_t>(st.st_size) == cell_bytes_size()))
      return open_board_image(std::move(source), fd, error);
    source->lines = std::make_unique<LineSource>(fd);
  }
  // Parsers keep a pointer to the name: sources are kept until the stream ends.
  source_ = std::move(source);
  source_->parser = std::make_unique<Parser>(&source_->name);
  return true;
}

// A file of a board image's size: the saved board when it is one, else read as text.
bool PuzzleStream::open_board_image(std::unique_ptr<Source> source, int fd, std::string& error) {
  std::vector<unsigned char> bytes(board_image_size());
  ssize_t n;
  do {
    n = ::pread(fd, bytes.data(), bytes.size(), 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    error = tool::escaped(source->name) + ": " + std::strerror(errno);
    ::close(fd);
    source_.reset();
    return false;
  }
  bytes.resize(static_cast<std::size_t>(n));
  if (!is_board_image(bytes.data(), bytes.size())) {
    source->lines = std::make_unique<LineSource>(fd);
  } else {
    ::close(fd);
    source->lines = std::make_unique<LineSource>(std::string());
    source->finished = true;
  }
  source_ = std::move(source);
  source_->parser = std::make_unique<Parser>(&source_->name);
  if (source_->finished) source_->parser->board_image(bytes);
  return true;
}

PuzzleStream::Result PuzzleStream::next(ReadPuzzle& puzzle, std::string& error) {
  for (;;) {
    if (source_) {
      std::deque<Event>& events = source_->parser->events;
      if (!events.empty()) {
        Event& e = events.front();
        Result const result = e.error ? kError : kPuzzle;
        if (e.error)
          error = std::move(e.message);
        else
          puzzle = e.puzzle;
        events.pop_front();
        return result;
      }
      if (!source_->finished) {
        std::string_view line;
        if (source_->lines->next(line)) {
          // An argument is one puzzle whatever its line breaks: its messages name the argument.
          source_->parser->line(line, source_->argument ? 0 : source_->lines->number());
          continue;
        }
        source_->finished = true;
        source_->parser->finish();
        if (!source_->lines->read_error().empty()) {
          std::string const name = source_->name.empty() ? "standard input" : tool::escaped(source_->name);
          Event& e = source_->parser->events.emplace_back();
          e.error = true;
          e.message = name + ": " + source_->lines->read_error();
        }
        continue;
      }
      source_->lines.reset();
      source_->parser.reset();
      retired_.push_back(std::move(source_));
    }
    if (next_argument_ == arguments_.size()) return kEnd;
    if (!open_next(error)) return kError;
  }
}

bool PuzzleStream::next_reported(ReadPuzzle& puzzle, char const* who, bool& problems) {
  std::string error;
  for (;;) {
    Result const r = next(puzzle, error);
    if (r != kError) return r == kPuzzle;
    problems = true;
    tool::say(who, error);
  }
}

std::optional<std::string> parse_grid_line(std::string const& text, std::string& error) {
  int cells[81];
  if (!read_cells(text, 81, cells)) {
    error = not_a_puzzle(text);
    return std::nullopt;
  }
  std::string grid(81, '.');
  for (int c = 0; c < 81; ++c)
    if (cells[c]) grid[c] = static_cast<char>('0' + cells[c]);
  return grid;
}

bool parse_group_map(std::string const& text, int groups[81], std::string& error) {
  int n = 0;
  int used[9] = {};
  for (char ch : text) {
    if (is_blank(ch)) continue;
    if (ch < '0' || ch > '8') {
      error = "unexpected character '" + tool::escaped(std::string_view(&ch, 1)) + "' (groups are 0-8)";
      return false;
    }
    if (n == 81) {
      error = "more than 81 group digits";
      return false;
    }
    groups[n] = ch - '0';
    ++used[groups[n++]];
  }
  if (n != 81) {
    error = "expected 81 group digits, got " + std::to_string(n);
    return false;
  }
  for (int g = 0; g < 9; ++g)
    if (used[g] != 9) {
      error = "group " + std::to_string(g) + " has " + std::to_string(used[g]) + " cells, not 9";
      return false;
    }
  return true;
}

std::string repeated_given(int const clues[81], int const* groups, bool diagonals) {
  for (int unit = 0; unit < (diagonals ? 29 : 27); ++unit) {
    int first_of[10];
    std::fill(first_of, first_of + 10, -1);
    for (int c = 0; c < 81; ++c) {
      int const r = c / 9, col = c % 9;
      int const g = groups ? groups[c] : 3 * (r / 3) + col / 3;
      bool const in = unit < 9 ? r == unit : unit < 18 ? col == unit - 9 : unit < 27 ? g == unit - 18
                                                        : unit == 27     ? r == col
                                                                         : r + col == 8;
      int const d = clues[c];
      if (!in || !d) continue;
      if (first_of[d] < 0) {
        first_of[d] = c;
        continue;
      }
      std::string const where = unit < 9    ? "row " + std::to_string(unit + 1)
                                : unit < 18 ? "column " + std::to_string(unit - 8)
                                : unit < 27 ? (groups ? "region " : "box ") + std::to_string(unit - 17)
                                : unit == 27 ? std::string("the main diagonal")
                                             : std::string("the anti-diagonal");
      return "digit " + std::to_string(d) + " twice in " + where + " (" + cell_name(first_of[d]) + ", " +
             cell_name(c) + ")";
    }
  }
  return "";
}
