#pragma once
// The jobs every bench program runs, and how it runs them: what the backup run does for one
// folder, the size total and then the mirror, through whatever view shows the progress.
//
//   PROGRAM [--root DOSDEVICES] [--recursive] SOURCE DESTINATION [SOURCE DESTINATION ...]
//
// Each pair is one job: TotalMB := FolderSizeMB(SOURCE), CopiedMB := 0, then
// MirrorFolder(SOURCE, DESTINATION). The system folder is one recursive pair; the music folders
// are one pair each, without recursion. Paths are Windows path texts (\\SERVER\share\...,
// C:\...), resolved under the dosdevices root on POSIX and by the system on Windows.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/ProgressView.h"

namespace bench {

struct Jobs {
    std::vector<std::pair<std::string, std::string>> folders;  // source, destination
    bool recursive = false;
};

// The jobs named on the command line; nullopt (after a usage line on stderr) when they are not
// well formed. Sets the dosdevices root when one is given.
std::optional<Jobs> ParseJobs(int argc, char** argv);

struct Outcome {
    bool complete = true;  // every mirror returned True
    double seconds = 0;    // the jobs alone, start-up of the program left out
    double copiedMB = 0;
    double totalMB = 0;
};

Outcome Run(const Jobs& jobs, ProgressView& view);

// What every bench program prints on stdout, one "name=value" per line, for bench/run.py.
void Print(const char* name, double value);

}  // namespace bench
