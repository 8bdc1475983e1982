// Whole-process throughput of ostrak against cat on the same generated map.
//
//   throughput --ostrak PATH --generator PATH [--size 500M] [--runs 5]
//              [--seed 1] [--dir DIR] [--keep]
//
// Generates a Navitel-typeset map of the given size once, then runs
// "ostrak IN OUT" and "cat IN > OUT" alternately, after one warm-up run of
// each, and prints for each the median wall time, MB/s of input, peak resident
// memory, and the ratio of the medians. The generated map and the outputs are
// removed unless --keep is given.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Sample {
  double Seconds;
  long PeakKiB;
};

struct Options {
  std::string Ostrak;
  std::string Generator;
  std::string Size = "500M";
  std::string Seed = "1";
  std::string Dir;
  int Runs = 5;
  bool Keep = false;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "throughput: %s\n", message.c_str());
  std::exit(1);
}

// Runs a program with standard output sent to stdoutPath (or /dev/null) and
// returns its wall time and peak resident memory; fails unless it exits 0.
Sample Run(const std::vector<std::string>& command, const std::string& stdoutPath = "/dev/null") {
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) Fail("fork failed");
  if (child == 0) {
    const int output = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output < 0) _exit(126);
    dup2(output, 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) Fail("wait failed");
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail(command[0] + " failed");
  return {elapsed.count(), usage.ru_maxrss};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail(name + " needs a value");
      return argv[++i];
    };
    if (name == "--ostrak") options.Ostrak = value();
    else if (name == "--generator") options.Generator = value();
    else if (name == "--size") options.Size = value();
    else if (name == "--seed") options.Seed = value();
    else if (name == "--dir") options.Dir = value();
    else if (name == "--runs") options.Runs = std::max(1, std::atoi(value().c_str()));
    else if (name == "--keep") options.Keep = true;
    else Fail("unknown option " + name);
  }
  if (options.Ostrak.empty() || options.Generator.empty()) Fail("--ostrak and --generator are required");
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  namespace fs = std::filesystem;
  const fs::path dir = options.Dir.empty() ? fs::temp_directory_path() / ("ostrak-bench-" + std::to_string(getpid()))
                                           : fs::path(options.Dir);
  fs::create_directories(dir);
  const std::string input = (dir / "map.mp").string();
  const std::string ostrakOutput = (dir / "ostrak-out.mp").string();
  const std::string catOutput = (dir / "cat-out.mp").string();

  if (!fs::exists(input)) Run({options.Generator, input, options.Size, options.Seed});
  const double megabytes = static_cast<double>(fs::file_size(input)) / 1e6;

  const std::vector<std::string> ostrak = {options.Ostrak, input, ostrakOutput};
  const std::vector<std::string> cat = {"/bin/cat", input};
  // One warm-up run each puts the map in the page cache and the outputs on disk.
  Run(ostrak);
  Run(cat, catOutput);
  std::vector<double> ostrakTimes;
  std::vector<double> catTimes;
  long ostrakPeak = 0;
  long catPeak = 0;
  for (int run = 0; run < options.Runs; ++run) {
    const Sample converted = Run(ostrak);
    const Sample copied = Run(cat, catOutput);
    ostrakTimes.push_back(converted.Seconds);
    catTimes.push_back(copied.Seconds);
    ostrakPeak = std::max(ostrakPeak, converted.PeakKiB);
    catPeak = std::max(catPeak, copied.PeakKiB);
  }
  const double ostrakMedian = Median(ostrakTimes);
  const double catMedian = Median(catTimes);
  const double outputMegabytes = static_cast<double>(fs::file_size(ostrakOutput)) / 1e6;

  std::printf("input: %.1f MB generated map (seed %s), ostrak output %.1f MB, %d runs each\n", megabytes,
              options.Seed.c_str(), outputMegabytes, options.Runs);
  std::printf("%-8s %12s %12s %14s\n", "", "median s", "MB/s in", "peak RSS MiB");
  std::printf("%-8s %12.3f %12.0f %14.1f\n", "ostrak", ostrakMedian, megabytes / ostrakMedian, ostrakPeak / 1024.0);
  std::printf("%-8s %12.3f %12.0f %14.1f\n", "cat", catMedian, megabytes / catMedian, catPeak / 1024.0);
  std::printf("ratio ostrak/cat: %.2f\n", ostrakMedian / catMedian);

  if (!options.Keep) {
    std::error_code ignored;
    fs::remove(input, ignored);
    fs::remove(ostrakOutput, ignored);
    fs::remove(catOutput, ignored);
    if (options.Dir.empty()) fs::remove(dir, ignored);
  }
  return 0;
}
