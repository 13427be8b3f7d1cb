#pragma once
// A fetched column value as text, the way the folder list reads it.
//
//   VARCHAR                  the stored text, exactly as long as the stored length says
//   CHAR                     the stored text, blank-padded to the declared length (in bytes;
//                            in characters for a UTF8 column, which the client pads to four
//                            bytes per character)
//   null                     the empty text
//   SMALLINT/INTEGER/BIGINT  decimal digits, with the scale's decimal places ("-12.50")
//   FLOAT/DOUBLE PRECISION   the shortest decimal text that reads back as the same value
//   DATE, TIME, TIMESTAMP    "YYYY-MM-DD", "HH:MM:SS", "YYYY-MM-DD HH:MM:SS"
//   BOOLEAN                  "True" or "False"
//   BLOB, ARRAY, others      the empty text (their contents live outside the row)
//
// The text ends at the first zero byte when the value holds one. Texts come in the program's
// encoding (platform::InternalText): on Linux the connection asks the server for UTF-8, and
// what still arrives otherwise, from a column of character set NONE or OCTETS, is decoded as
// Windows-1252 unless it is UTF-8 already.

#include <ibase.h>

#include <string>

std::string ColumnText(const XSQLVAR& column);
