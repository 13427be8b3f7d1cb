#pragma once
// The texts the window shows of a mirror walk, decided by the window's logic from what the walk
// reports (ProgressView::MirrorProgress): lblProgresso and lblDestino. Written into buffers that
// keep their capacity: they are rewritten for every entry of a walk.

#include <string>

// "Copiando: A MB de B MB", each rounded half to even (2.5 gives 2, 3.5 gives 4), plain digits.
void FormatProgressText(std::string& text, double copiedMB, double totalMB);
// A destination file as lblDestino shows it: the whole path up to 55 characters, else "..." and
// its last 56 characters (in UTF-8, characters, not bytes: never one cut in two).
void FormatDestinationLine(std::string& line, const std::string& fullPath);

inline std::string ProgressText(double copiedMB, double totalMB) {
    std::string text;
    FormatProgressText(text, copiedMB, totalMB);
    return text;
}
inline std::string DestinationLine(const std::string& fullPath) {
    std::string line;
    FormatDestinationLine(line, fullPath);
    return line;
}
