// Whole-process throughput of ostrak against cat on the same generated map.
//
//   throughput --ostrak PATH --generator PATH [--size 500M] [--runs 5]
//              [--seed 1] [--dir DIR] [--keep] [--baseline PATH] [--portable]
//              [--split PATH]
//
// Generates a Navitel-typeset map of the given size once, then runs
// "ostrak IN OUT" and "cat IN > OUT" alternately, after one warm-up run of
// each, and prints for each the median wall time, MB/s of input, the median
// user and system CPU time, peak resident memory, and the ratio of the
// medians of the wall times. --baseline runs a second ostrak (an earlier
// build, say) in the same rounds; --portable adds ostrak forced onto its
// portable line scanner; --split runs ostrak-split on ostrak's output, into
// a folder of tiles, against "cat" of that output. Every ostrak output must be the same bytes. The generated map and the outputs are removed unless
// --keep is given.
//
// First it checks how many processors the runs really get: it times one
// busy process alone and two at once. On two free processors both take as
// long as one alone; on one shared processor they take twice as long.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Sample {
  double Seconds;
  double UserSeconds;
  double SystemSeconds;
  long PeakKiB;
};

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

struct Options {
  std::string Ostrak;
  std::string Generator;
  std::string Baseline;
  std::string Split;
  std::string Size = "500M";
  std::string Seed = "1";
  std::string Dir;
  int Runs = 5;
  bool Keep = false;
  bool Portable = false;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "throughput: %s\n", message.c_str());
  std::exit(1);
}

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs a program with standard output sent to stdoutPath (or /dev/null) and
// the variables of environment set, and returns its wall time, CPU times and
// peak resident memory; fails unless it exits 0.
Sample Run(const std::vector<std::string>& command, const std::string& stdoutPath = "/dev/null",
           const Environment& environment = {}) {
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
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) Fail("wait failed");
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail(command[0] + " failed");
  return {elapsed.count(), Seconds(usage.ru_utime), Seconds(usage.ru_stime), usage.ru_maxrss};
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
    else if (name == "--baseline") options.Baseline = value();
    else if (name == "--split") options.Split = value();
    else if (name == "--size") options.Size = value();
    else if (name == "--seed") options.Seed = value();
    else if (name == "--dir") options.Dir = value();
    else if (name == "--runs") options.Runs = std::max(1, std::atoi(value().c_str()));
    else if (name == "--keep") options.Keep = true;
    else if (name == "--portable") options.Portable = true;
    else Fail("unknown option " + name);
  }
  if (options.Ostrak.empty() || options.Generator.empty()) Fail("--ostrak and --generator are required");
  return options;
}

// Wall seconds for count processes that each do the same fixed work at once.
double BusySeconds(int count) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    const pid_t child = fork();
    if (child < 0) Fail("fork failed");
    if (child == 0) {
      volatile std::uint64_t sum = 0;
      for (std::uint64_t n = 0; n < 300'000'000; ++n) sum = sum + n;
      _exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) waitpid(child, nullptr, 0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream first(a, std::ios::binary);
  std::ifstream second(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
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

  const double alone = BusySeconds(1);
  const double together = BusySeconds(2);
  std::printf("parallelism: two busy processes %.2f s, one alone %.2f s (ratio %.2f: 1 = two processors at once, "
              "2 = one)\n",
              together, alone, together / alone);

  if (!fs::exists(input)) Run({options.Generator, input, options.Size, options.Seed});
  const double megabytes = static_cast<double>(fs::file_size(input)) / 1e6;

  struct Contender {
    const char* Name;
    std::vector<std::string> Command;
    std::string StdoutPath;
    Environment Variables;
    std::vector<Sample> Samples;
  };
  std::vector<Contender> contenders = {{"ostrak", {options.Ostrak, input, ostrakOutput}, "/dev/null", {}, {}}};
  const auto addOstrak = [&](const char* name, const std::string& program, Environment variables) {
    contenders.push_back(
        {name, {program, input, (dir / (std::string(name) + "-out.mp")).string()}, "/dev/null", variables, {}});
  };
  if (options.Portable) addOstrak("portable", options.Ostrak, {{"OSTRAK_PORTABLE", "1"}});
  if (!options.Baseline.empty()) addOstrak("baseline", options.Baseline, {});
  const std::string tiles = (dir / "tiles").string();
  const std::string catConverted = (dir / "cat-converted.mp").string();
  if (!options.Split.empty()) {
    contenders.push_back({"split", {options.Split, ostrakOutput, tiles}, "/dev/null", {}, {}});
    contenders.push_back({"cat conv", {"/bin/cat", ostrakOutput}, catConverted, {}, {}});
  }
  contenders.push_back({"cat", {"/bin/cat", input}, catOutput, {}, {}});
  // One warm-up run each puts the map in the page cache and the outputs on
  // disk; then the programs take turns.
  for (const Contender& contender : contenders) Run(contender.Command, contender.StdoutPath, contender.Variables);
  for (int run = 0; run < options.Runs; ++run) {
    for (Contender& contender : contenders) {
      contender.Samples.push_back(Run(contender.Command, contender.StdoutPath, contender.Variables));
    }
  }
  // Every ostrak, the baseline included, writes the same bytes.
  for (const Contender& contender : contenders) {
    if (contender.StdoutPath == "/dev/null" && contender.Command.back() != tiles &&
        !SameBytes(contender.Command.back(), ostrakOutput)) {
      Fail(std::string(contender.Name) + " wrote other bytes than ostrak");
    }
  }
  const auto median = [](const std::vector<Sample>& samples, double Sample::*field) {
    std::vector<double> values;
    for (const Sample& sample : samples) values.push_back(sample.*field);
    return Median(values);
  };
  const auto peak = [](const std::vector<Sample>& samples) {
    long most = 0;
    for (const Sample& sample : samples) most = std::max(most, sample.PeakKiB);
    return most;
  };
  const double outputMegabytes = static_cast<double>(fs::file_size(ostrakOutput)) / 1e6;

  std::printf("input: %.1f MB generated map (seed %s), ostrak output %.1f MB, %d runs each\n", megabytes,
              options.Seed.c_str(), outputMegabytes, options.Runs);
  std::printf("%-8s %10s %10s %10s %10s %14s\n", "", "median s", "MB/s in", "user s", "system s", "peak RSS MiB");
  for (const Contender& contender : contenders) {
    const double wall = median(contender.Samples, &Sample::Seconds);
    std::printf("%-8s %10.3f %10.0f %10.3f %10.3f %14.1f\n", contender.Name, wall, megabytes / wall,
                median(contender.Samples, &Sample::UserSeconds), median(contender.Samples, &Sample::SystemSeconds),
                static_cast<double>(peak(contender.Samples)) / 1024.0);
  }
  const double catWall = median(contenders.back().Samples, &Sample::Seconds);
  for (std::size_t i = 0; i + 1 < contenders.size(); ++i) {
    const std::string name = contenders[i].Name;
    if (name == "split") {
      // Against cat of the same file, its input: the converted map.
      std::printf("ratio split/cat conv: %.2f\n",
                  median(contenders[i].Samples, &Sample::Seconds) / median(contenders[i + 1].Samples, &Sample::Seconds));
    }
    if (name == "split" || name == "cat conv") continue;
    std::printf("ratio %s/cat: %.2f\n", contenders[i].Name, median(contenders[i].Samples, &Sample::Seconds) / catWall);
  }
  std::printf("outputs: the same bytes\n");

  if (!options.Keep) {
    std::error_code ignored;
    fs::remove(input, ignored);
    fs::remove(catOutput, ignored);
    fs::remove(catConverted, ignored);
    fs::remove_all(tiles, ignored);
    for (const Contender& contender : contenders) {
      if (contender.StdoutPath == "/dev/null") fs::remove(contender.Command.back(), ignored);
    }
    if (options.Dir.empty()) fs::remove(dir, ignored);
  }
  return 0;
}
