#pragma once
// Shared by the database tests.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/TavixDatabase.h"

// Opens the run's folder query and reads every row's Pas_Path, as the backup run does.
inline std::vector<std::string> ReadFolders(TavixDatabase& db) {
    db.QryBusca.Close();
    db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    db.QryBusca.Open();
    db.QryBusca.First();
    std::vector<std::string> folders;
    while (!db.QryBusca.Eof()) {
        folders.push_back(db.QryBusca.FieldAsString("Pas_Path"));
        db.QryBusca.Next();
    }
    return folders;
}

// The error that `action` raises; one that raises none fails with std::runtime_error.
template <typename Error>
Error ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error;
    }
    throw std::runtime_error("no error raised");
}

// The text of the error that `action` raises.
template <typename Error>
std::string MessageOf(const std::function<void()>& action) {
    return ErrorOf<Error>(action).what();
}
