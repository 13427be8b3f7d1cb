#include "BenchJobs.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "engine/FolderMirror.h"
#ifndef _WIN32
#include "platform/posix/HostPath.h"
#endif

namespace bench {

std::optional<Jobs> ParseJobs(int argc, char** argv) {
    Jobs jobs;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--recursive") == 0) {
            jobs.recursive = true;
        } else if (std::strcmp(argv[i], "--root") == 0 && i + 1 < argc) {
#ifdef _WIN32
            ++i;  // the system resolves drives and shares itself
#else
            platform::SetDosDevicesRoot(argv[++i]);
#endif
        } else {
            paths.emplace_back(argv[i]);
        }
    }
    if (paths.empty() || paths.size() % 2 != 0) {
        std::fprintf(stderr,
                     "usage: %s [--root DOSDEVICES] [--recursive] SOURCE DESTINATION "
                     "[SOURCE DESTINATION ...]\n",
                     argc > 0 ? argv[0] : "duplora_bench");
        return std::nullopt;
    }
    for (std::size_t i = 0; i < paths.size(); i += 2)
        jobs.folders.emplace_back(paths[i], paths[i + 1]);
    return jobs;
}

Outcome Run(const Jobs& jobs, ProgressView& view) {
    Outcome outcome;
    FolderMirror mirror(view);
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [source, destination] : jobs.folders) {
        outcome.complete =
            mirror.MeasureAndMirror(source, destination, jobs.recursive) && outcome.complete;
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.copiedMB = mirror.CopiedMB;
    outcome.totalMB = mirror.TotalMB;
    return outcome;
}

void Print(const char* name, double value) {
    std::printf("%s=%.6f\n", name, value);
    std::fflush(stdout);
}

}  // namespace bench
