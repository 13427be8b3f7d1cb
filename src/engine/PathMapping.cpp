#include "engine/PathMapping.h"

namespace {

// The text after the first two characters and, when it holds one, after its first backslash.
std::string AfterServerName(const std::string& path) {
    const std::string afterLead = path.size() > 2 ? path.substr(2) : std::string();
    const std::size_t backslash = afterLead.find('\\');
    return backslash == std::string::npos ? afterLead : afterLead.substr(backslash + 1);
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// An administrative share, "D$": the whole drive of its letter.
bool IsAdministrativeShare(const std::string& share) {
    return share.size() == 2 && IsAsciiLetter(share[0]) && share[1] == '$';
}

}  // namespace

std::string MapServerFolder(const std::string& path) {
    const std::string v = AfterServerName(path);
    if (v.empty())
        throw MappingError("A configuração PASTA_SISTEMA (\"" + path +
                           "\") não indica uma pasta no servidor. Informe-a em Duplora.ini na "
                           "forma \\\\SERVIDOR\\C\\Pasta");
    const std::string share = v.substr(0, v.find('\\'));
    if (IsAdministrativeShare(share)) return share.substr(0, 1) + ":" + v.substr(2);
    if (share.size() != 1 || !IsAsciiLetter(share[0]))
        throw MappingError("O compartilhamento \"" + share + "\" de PASTA_SISTEMA (\"" + path +
                           "\") não é uma unidade do servidor (C ou C$): não há pasta local "
                           "que lhe corresponda. Informe-a em Duplora.ini na forma "
                           "\\\\SERVIDOR\\C\\Pasta");
    return v.substr(0, 1) + ":" + v.substr(1);
}

std::string MapMusicFolder(const std::string& path) {
    const std::string v = AfterServerName(path);
    const std::size_t backslash = v.find('\\');
    std::string share = backslash == std::string::npos ? std::string() : v.substr(0, backslash);
    if (IsAdministrativeShare(share)) share.pop_back();
    const std::string rest = backslash == std::string::npos ? v : v.substr(backslash);
    const std::string mapped = share + ":" + rest;
    const std::size_t last = mapped.rfind('\\');
    return last == std::string::npos ? mapped : mapped.substr(0, last + 1);
}
