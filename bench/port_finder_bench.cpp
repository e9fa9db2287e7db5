// Finding controllers: one search over N virtual controllers on
// pseudo-terminals that all answer, from the opening of the ports to the
// last reply (the search ends as soon as every port has answered).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "link/port_finder.h"
#include "model/model_catalogue.h"
#include "sim/sim_controller.h"

namespace {

void BM_FindAnsweringControllers(benchmark::State& state) {
  const int model = vqled::ModelIndexByName("VQ-M13");
  std::vector<std::unique_ptr<vqled::SimController>> controllers;
  std::vector<vqled::PortRecord> ports;
  for (int i = 0; i < state.range(0); ++i) {
    vqled::SimOptions options;
    options.profile = vqled::CatalogueProfile(model);
    controllers.push_back(std::make_unique<vqled::SimController>(options));
    ports.push_back({controllers.back()->Start(), "", "", "", ""});
  }
  for (auto _ : state) {
    const std::vector<vqled::PortAnswer> answers = vqled::FindControllers(ports, model);
    for (const vqled::PortAnswer& answer : answers)
      if (answer.result != vqled::FIND_ANSWERED) state.SkipWithError("a controller did not answer");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindAnsweringControllers)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
