// Expansion of a 200-character parameter text with three references against
// a store of 500 variables: the indexed expansion against the literal one.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/variable_store.h"

namespace {

void Fill(bw::VariableStore& store) {
  for (int i = 0; i < 500; ++i) {
    store.Define("VARIABLE_NUMBER_" + std::to_string(i), "value of variable " + std::to_string(i), "Benchmark");
  }
}

std::string ParameterText() {
  std::string text = "Install $VARIABLE_NUMBER_17$ into $VARIABLE_NUMBER_250$ for $VARIABLE_NUMBER_499$ ";
  while (text.size() < 200) text += "and some more plain text ";
  return text.substr(0, 200);
}

void BM_ExpandIndexed(benchmark::State& state) {
  bw::VariableStore store;
  Fill(store);
  const std::string text = ParameterText();
  for (auto _ : state) benchmark::DoNotOptimize(store.Expand(text));
}
BENCHMARK(BM_ExpandIndexed);

void BM_ExpandLiteral(benchmark::State& state) {
  bw::VariableStore store;
  Fill(store);
  const std::string text = ParameterText();
  for (auto _ : state) benchmark::DoNotOptimize(store.ExpandLiteral(text));
}
BENCHMARK(BM_ExpandLiteral);

}  // namespace
