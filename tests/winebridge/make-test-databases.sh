#!/bin/sh
# Makes the databases of the Windows build's server tests in FOLDER (emptied first) with the
# host's isql-fb in embedded mode, so that no server is needed to make them; the server, which
# runs as another user, may read and write them.
#   VARCHAR.FDB, CHAR.FDB: Tb_Pastas (Pas_Path VARCHAR(60) or CHAR(60)) holding one path and NULL
set -eu
folder=${1:?usage: $0 FOLDER}
rm -rf "$folder"
mkdir -p "$folder"

make_database() {  # FILE COLUMN-TYPE
    cat >"$folder/$1.sql" <<SQL
SET SQL DIALECT 1;
CREATE DATABASE '$folder/$1' USER 'SYSDBA' PAGE_SIZE 4096;
CREATE TABLE Tb_Pastas (Pas_Path $2);
COMMIT;
INSERT INTO Tb_Pastas (Pas_Path) VALUES ('C:\Musicas\Rock\Pop\');
INSERT INTO Tb_Pastas (Pas_Path) VALUES (NULL);
COMMIT;
SQL
    isql-fb -q -b -i "$folder/$1.sql" </dev/null
    chmod a+rw "$folder/$1"
}

make_database VARCHAR.FDB 'VARCHAR(60)'
make_database CHAR.FDB 'CHAR(60)'
