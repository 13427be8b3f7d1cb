// Runs what the backup run does for one folder job, headless: the size total, then the mirror.
//
//   duplora_bench [--root DOSDEVICES] [--recursive] SOURCE DESTINATION [SOURCE DESTINATION ...]
//
// Each pair is one job of the run: TotalMB := FolderSizeMB(SOURCE), CopiedMB := 0, then
// MirrorFolder(SOURCE, DESTINATION). The system folder is one recursive pair; the music folders
// are one pair each, without recursion. Paths are Windows path texts (\\SERVER\share\..., C:\...)
// resolved under the dosdevices root. Exit code 0 when every mirror returned True.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FolderMirror.h"
#include "FolderSize.h"
#include "HeadlessProgressView.h"
#include "Platform.h"

int main(int argc, char** argv) {
    bool recursive = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--recursive") == 0) {
            recursive = true;
        } else if (std::strcmp(argv[i], "--root") == 0 && i + 1 < argc) {
            platform::SetDosDevicesRoot(argv[++i]);
        } else {
            paths.emplace_back(argv[i]);
        }
    }
    if (paths.empty() || paths.size() % 2 != 0) {
        std::fprintf(stderr,
                     "usage: duplora_bench [--root DOSDEVICES] [--recursive] SOURCE DESTINATION "
                     "[SOURCE DESTINATION ...]\n");
        return 2;
    }

    HeadlessProgressView view;
    FolderMirror mirror(view);
    bool complete = true;
    for (std::size_t i = 0; i < paths.size(); i += 2) {
        mirror.TotalMB = FolderSizeMB(paths[i], recursive, view);
        mirror.CopiedMB = 0;
        complete = mirror.MirrorFolder(paths[i], paths[i + 1], recursive) && complete;
    }
    std::fprintf(stderr, "duplora_bench: %llu message steps, bar at %d px, %.1f of %.1f MB\n",
                 static_cast<unsigned long long>(view.MessageSteps()), view.BarPixels(),
                 mirror.CopiedMB, mirror.TotalMB);
    return complete ? 0 : 1;
}
