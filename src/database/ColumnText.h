#pragma once
// A fetched column value as text, the way the folder list reads it.
//
//   VARCHAR                  the stored bytes, exactly as many as the stored length says
//   CHAR                     the stored bytes, blank-padded to the declared length in bytes
//   null                     the empty text
//   SMALLINT/INTEGER/BIGINT  decimal digits, with the scale's decimal places ("-12.50")
//   FLOAT/DOUBLE PRECISION   the shortest decimal text that reads back as the same value
//   DATE, TIME, TIMESTAMP    "YYYY-MM-DD", "HH:MM:SS", "YYYY-MM-DD HH:MM:SS"
//   BOOLEAN                  "True" or "False"
//   BLOB, ARRAY, others      the empty text (their contents live outside the row)
//
// The text ends at the first zero byte when the value holds one.

#include <ibase.h>

#include <string>

std::string ColumnText(const XSQLVAR& column);
