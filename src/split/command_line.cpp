#include "split/command_line.hpp"

#include <charconv>

#include "split/split_error.hpp"

namespace ostrak::split {

namespace {

constexpr std::string_view SeeHelp = " (ostrak-split --help shows the usage)";

std::uint64_t Number(std::string_view option, std::string_view text, std::uint64_t max) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value == 0 || value > max) {
    RaiseSplitError({"invalid value for ", option, ": \"", text, "\"", SeeHelp});
  }
  return value;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
  CommandLine result;
  std::vector<std::string_view> names;
  if (arguments.empty()) result.ShowUsage = true;
  bool optionsEnded = false;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string_view argument = arguments[k];
    if (optionsEnded || !argument.starts_with("-") || argument == "-") {
      names.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      result.ShowUsage = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string_view option = argument.substr(0, equals);
    if (option != "--max-objects" && option != "--mapname") {
      RaiseSplitError({"unknown option ", option, SeeHelp});
    }
    std::string_view value;
    if (equals != std::string_view::npos) {
      value = argument.substr(equals + 1);
    } else if (k + 1 < arguments.size()) {
      value = arguments[++k];
    } else {
      RaiseSplitError({option, " needs a value", SeeHelp});
    }
    if (option == "--max-objects") {
      result.Options.MaxObjects = Number(option, value, 0x7FFFFFFF);
    } else {
      if (value.size() != 8) RaiseSplitError({"--mapname takes a number of 8 digits, not \"", value, "\"", SeeHelp});
      result.Options.MapName = static_cast<std::uint32_t>(Number(option, value, 99999999));
    }
  }
  if (result.ShowUsage) return result;
  if (names.size() != 2) {
    RaiseSplitError({names.size() < 2 ? "missing " : "too many names; expected ", "INPUT.mp and OUTPUT-FOLDER",
                     SeeHelp});
  }
  result.Options.Input = names[0];
  result.Options.OutputFolder = names[1];
  if (result.Options.Input.empty() || result.Options.OutputFolder.empty()) RaiseSplitError({"empty name", SeeHelp});
  return result;
}

std::string UsageText() {
  const std::string max = std::to_string(SplitOptions::DefaultMaxObjects);
  return "Usage: ostrak-split [options] INPUT.mp OUTPUT-FOLDER\n"
         "\n"
         "Cuts a Polish-format map into tiles of at most N map objects each, so that\n"
         "a map compiler takes every tile in one piece. Writes OUTPUT-FOLDER/63240001.mp,\n"
         "63240002.mp, ..., areas.list and template.args; makes the folder if missing\n"
         "and replaces an earlier tile set there whole.\n"
         "\n"
         "  --max-objects N   at most N objects ([POI], [POLYGON], [POLYLINE]) per tile\n"
         "                    (default " + max + ")\n"
         "  --mapname NUMBER  the 8-digit map number of the first tile (default 63240001)\n"
         "  --help            show this text\n"
         "\n"
         "Then compile the tiles in the folder:\n"
         "  cd OUTPUT-FOLDER && mkgmap <options> -c template.args\n";
}

}  // namespace ostrak::split
