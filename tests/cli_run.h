// Runs the built nonet tool as a program for the CLI tests: arguments, standard
// input from a string or a file, standard output and error captured, exit status.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace cli_run {

struct Result {
  std::string out, err;
  int status = -1;  // exit status; 128 + n after signal n
};

inline std::string nonet_path() { return std::string(NONET_BINARY_DIR) + "/cli/nonet"; }
inline bool have_cli() { return ::access(nonet_path().c_str(), X_OK) == 0; }

// A scratch path unique to this test process (ctest runs test processes in parallel).
inline std::string scratch(std::string const& name) {
  return std::string(NONET_BINARY_DIR) + "/cli_test_" + std::to_string(::getpid()) + "_" + name;
}

inline std::string slurp(std::string const& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void write_file(std::string const& path, std::string const& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Starts nonet with args (no shell); standard input reads stdin_path. With
// interrupt_after_ms >= 0 the process gets signal_number (SIGINT) after that many milliseconds.
inline Result run_args(std::vector<std::string> const& args, std::string const& stdin_path = "/dev/null",
                       int interrupt_after_ms = -1, int signal_number = SIGINT) {
  std::string const out_path = scratch("out"), err_path = scratch("err");
  Result r;
  pid_t const pid = ::fork();
  if (pid < 0) return r;
  if (pid == 0) {
    int const in = ::open(stdin_path.c_str(), O_RDONLY);
    int const out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int const err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    std::string const path = nonet_path();
    argv.push_back(const_cast<char*>(path.c_str()));
    for (auto const& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(path.c_str(), argv.data());
    ::_exit(127);
  }
  if (interrupt_after_ms >= 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(interrupt_after_ms));
    ::kill(pid, signal_number);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  r.out = slurp(out_path);
  r.err = slurp(err_path);
  ::unlink(out_path.c_str());
  ::unlink(err_path.c_str());
  return r;
}

// The same with standard input holding `input`.
inline Result run_input(std::vector<std::string> const& args, std::string const& input) {
  std::string const in_path = scratch("in");
  write_file(in_path, input);
  Result r = run_args(args, in_path);
  ::unlink(in_path.c_str());
  return r;
}

inline int count_lines(std::string const& s) {
  int n = 0;
  for (char ch : s) n += ch == '\n';
  return n;
}

}  // namespace cli_run
