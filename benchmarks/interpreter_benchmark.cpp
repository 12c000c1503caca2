// A 10,000-command script through the preparation pass and the command loop: blocks of Set Variable,
// If chains and a GoTo loop, against the 60 or so variables of a real run.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/interpreter.h"
#include "engine/preparation.h"

namespace {

struct ScriptBuilder {
  bw::ScriptItems items;
  void Add(const std::string& name, std::vector<std::string> parameters) {
    const std::string id = "{B0000000-0000-0000-0000-" +
                           std::string(12 - std::to_string(items.commandNames.size()).size(), '0') +
                           std::to_string(items.commandNames.size()) + "}";
    items.commandNames.push_back(name);
    items.commandIds.push_back(id);
    items.commandFlags.emplace_back();
    items.commandBlocks.emplace_back();
    if (parameters.empty()) return;
    items.parameterLines.push_back(id);
    for (std::string& parameter : parameters) items.parameterLines.push_back(std::move(parameter));
  }
};

bw::ScriptPackage TenThousandCommands() {
  ScriptBuilder script;
  script.items.buildMode = "0";
  script.Add("Set Variable", {"LOOPS", "0"});
  script.Add("Label", {"top"});
  while (script.items.commandNames.size() < 9990) {
    const std::string n = std::to_string(script.items.commandNames.size());
    script.Add("Set Variable", {"V" + n + "$KVOR$KVOR$FALSE", "value $LOOPS$ of " + n});
    script.Add("If", {"V" + n, "1", "value", "FALSE"});
    script.Add("Set Variable", {"R" + n, "yes"});
    script.Add("Else If", {"LOOPS", "2", "5", "FALSE"});
    script.Add("Set Variable", {"R" + n, "no"});
    script.Add("Else", {});
    script.Add("Comment", {"not reached"});
    script.Add("End", {});
  }
  script.Add("If", {"LOOPS", "0", "0", "FALSE"});
  script.Add("Set Variable", {"LOOPS", "1"});
  script.Add("GoTo Label", {"top"});
  script.Add("End", {});
  return bw::ScriptPackage::Load(bw::WriteScriptItems(script.items));
}

void BM_InterpreterTenThousandCommands(benchmark::State& state) {
  const bw::ScriptPackage package = TenThousandCommands();
  const bw::CommandTable commands;
  for (auto _ : state) {
    bw::VariableStore store;
    for (int i = 0; i < 60; ++i) store.Define("PREDEFINED" + std::to_string(i), "initial value", "Initialization");
    bw::Interpreter interpreter(package, store, commands);
    interpreter.CollectLabels();
    benchmark::DoNotOptimize(interpreter.RunLoop());
  }
  state.counters["commands"] = static_cast<double>(package.CommandCount());
}
BENCHMARK(BM_InterpreterTenThousandCommands)->Unit(benchmark::kMillisecond);

// The check that runs before every run, over the same script.
void BM_PrepareTenThousandCommands(benchmark::State& state) {
  const bw::ScriptPackage package = TenThousandCommands();
  if (!bw::Prepare(package).Passed()) state.SkipWithError("the script fails preparation");
  for (auto _ : state) benchmark::DoNotOptimize(bw::Prepare(package));
}
BENCHMARK(BM_PrepareTenThousandCommands)->Unit(benchmark::kMillisecond);

}  // namespace
