#!/usr/bin/env bash
# Builds a self-contained demo world in the folder given (default ./demo), laid out the way
# Duplora resolves Windows paths (see docs/platform-on-posix.md):
#   wine/dosdevices/unc/srv01/c/Tavix/   the server's system folder (\\SRV01\C\Tavix\): a nested
#                                        tree with a hidden file and a hidden folder
#   wine/dosdevices/unc/srv01/d/Músicas/ the server's music folders (\\SRV01\D\Músicas\...,
#                                        Forró among them), listed in a WIN1252 column
#   wine/dosdevices/unc/srv01/c/Banco/Rádio São João/
#                                        the playout database on the server (embedded Firebird)
#   wine/dosdevices/c:, d:               this machine's drives, where the copies go
#   bin/Duplora, bin/Duplora.ini         the program and its settings beside it, in Windows-1252
#                                        as a Windows editor saves them
#   current/Duplora.bat                  the batch file of step 3 (a shell script here)
# Usage: make-demo-world.sh [folder] [Duplora executable]
set -euo pipefail

world=$(realpath -m "${1:-demo}")
program=${2:-}
rm -rf "$world"
root=$world/wine/dosdevices
server=$root/unc/srv01
mkdir -p "$root/c:" "$root/d:" "$world/bin" "$world/current"

file() {  # file PATH SIZE-IN-KB [TOUCH-DATE]
    mkdir -p "$(dirname "$1")"
    head -c "$(($2 * 1024))" /dev/urandom >"$1"
    touch -d "${3:-2026-11-20 08:00:00}" "$1"
}

file "$server/c/Tavix/Sonvira/Player.exe" 900
file "$server/c/Tavix/Sonvira/Player.ini" 2
file "$server/c/Tavix/Sonvira/Plugins/Vinhetas.dll" 300
file "$server/c/Tavix/Sonvira/Plugins/Efeitos/Eco.dll" 120
file "$server/c/Tavix/Sonvira/.lock" 1
file "$server/c/Tavix/Relatorios/2026-11.txt" 40
file "$server/c/Tavix/.cache/thumbs.db" 500  # a hidden folder: never mirrored
for n in 01 02 03 04 05 06; do file "$server/d/Músicas/Rock/Faixa $n.mp3" 3072; done
for n in 01 02 03 04; do file "$server/d/Músicas/Pop/Sucesso $n.mp3" 2048; done
for n in 01 02 03; do file "$server/d/Músicas/Forró/Xote $n.mp3" 2560; done
for n in 01 02; do file "$server/d/Vinhetas/Vinheta $n.mp3" 512; done

# The playout system is a Windows program: its texts are in Windows-1252.
cp1252() { iconv -f UTF-8 -t CP1252; }
# A folder as an SQL literal of its exact Windows-1252 bytes.
folder_literal() { printf "_WIN1252 x'%s'" "$(printf '%s' "$1" | cp1252 | od -An -tx1 | tr -d ' \n')"; }

database="$server/c/Banco/Rádio São João/TAVIXAUDIO.FDB"
mkdir -p "$(dirname "$database")"
LC_ALL=C.UTF-8 isql-fb -q -b -user SYSDBA -password plumcider <<SQL >/dev/null
CREATE DATABASE '$database' PAGE_SIZE 4096 DEFAULT CHARACTER SET NONE;
CREATE TABLE Tb_Pastas (Pas_Codigo INTEGER NOT NULL PRIMARY KEY,
                        Pas_Path VARCHAR(255) CHARACTER SET WIN1252);
INSERT INTO Tb_Pastas VALUES (1, $(folder_literal '\\SRV01\D\Músicas\Rock\'));
INSERT INTO Tb_Pastas VALUES (2, $(folder_literal '\\SRV01\D\Músicas\Pop'));
INSERT INTO Tb_Pastas VALUES (3, $(folder_literal '\\SRV01\D\Músicas\Forró\'));
INSERT INTO Tb_Pastas VALUES (4, $(folder_literal '\\SRV01\D\Vinhetas\'));
COMMIT;
SQL

cp1252 >"$world/bin/Duplora.ini" <<INI
[BANCO]
CAMINHO=$database
[SERVIDOR]
NOME=SRV01
PASTA_SISTEMA=\\\\SRV01\\C\\Tavix
[CONFIG]
diario=S
horario=07:30
INI

mkdir -p "$root/c:/Tavix/Sonvira/Tavixdb"
cat >"$world/current/Duplora.bat" <<BAT
# Step 3: copies the playout database from the server into the local Tavixdb folder.
cp -p '$database' '$root/c:/Tavix/Sonvira/Tavixdb/TAVIXAUDIO.FDB'
BAT

if [ -n "$program" ]; then cp "$program" "$world/bin/Duplora"; fi
echo "$world"
