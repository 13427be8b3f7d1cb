// The jobs of BenchJobs.h through the headless progress view: the engine's own cost.
#include <cstdio>

#include "BenchJobs.h"
#include "HeadlessProgressView.h"

int main(int argc, char** argv) {
    const auto jobs = bench::ParseJobs(argc, argv);
    if (!jobs) return 2;
    HeadlessProgressView view;
    const bench::Outcome outcome = bench::Run(*jobs, view);
    bench::Print("run_seconds", outcome.seconds);
    std::fprintf(stderr, "duplora_bench: %llu message steps, bar at %d px, %.1f of %.1f MB\n",
                 static_cast<unsigned long long>(view.MessageSteps()), view.BarPixels(),
                 outcome.copiedMB, outcome.totalMB);
    return outcome.complete ? 0 : 1;
}
